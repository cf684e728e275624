// Builds the bytes of an ECU parameter file: little-endian fields placed at
// fixed offsets, the gaps filled with a marker byte.
#ifndef VAZ_TEST_CONFIG_PARAM_BYTES_H
#define VAZ_TEST_CONFIG_PARAM_BYTES_H

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace vaz_test {

class ParamBytes {
 public:
  static constexpr std::uint8_t kGap = 0xEE;

  ParamBytes &u8(std::size_t at, std::uint8_t v) { return put(at, v, 1); }
  ParamBytes &u16(std::size_t at, std::uint16_t v) { return put(at, v, 2); }
  ParamBytes &u32(std::size_t at, std::uint32_t v) { return put(at, v, 4); }
  ParamBytes &bytes(std::size_t at, std::initializer_list<std::uint8_t> list) {
    for (std::uint8_t b : list) u8(at++, b);
    return *this;
  }
  const std::vector<std::uint8_t> &data() const { return data_; }

 private:
  ParamBytes &put(std::size_t at, std::uint32_t v, int width) {
    if (data_.size() < at + width) data_.resize(at + width, kGap);
    for (int i = 0; i < width; ++i) data_[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    return *this;
  }
  std::vector<std::uint8_t> data_;
};

}  // namespace vaz_test

#endif
