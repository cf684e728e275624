// A temporary directory tree for one test, removed with everything in it.
#ifndef VAZ_TEST_CONFIG_TEMP_TREE_H
#define VAZ_TEST_CONFIG_TEMP_TREE_H

#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace vaz_test {

namespace fs = std::filesystem;

class TempTree {
 public:
  TempTree() {
    static std::atomic<int> serial{0};
    root_ = fs::temp_directory_path() / ("vaz_config_" + std::to_string(getpid()) + "_" + std::to_string(serial++));
    fs::create_directories(root_);
  }
  ~TempTree() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  TempTree(const TempTree &) = delete;
  TempTree &operator=(const TempTree &) = delete;

  const fs::path &root() const { return root_; }

  // Writes `content` to root/relative, creating the folders on the way.
  fs::path write(const fs::path &relative, std::string_view content) const {
    const fs::path file = root_ / relative;
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return file;
  }

  fs::path write(const fs::path &relative, const std::vector<std::uint8_t> &bytes) const {
    return write(relative, std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size()));
  }

 private:
  fs::path root_;
};

}  // namespace vaz_test

#endif
