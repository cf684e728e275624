// Request assembly from single bytes: every frame form of both lines, split anywhere,
// pauses below and above the gap limit.
#include "request_assembler.h"

#include <gtest/gtest.h>

#include <vector>

namespace ecusim::wire {
namespace {

constexpr double kByteMs = 0.96;  // one byte at 10416 baud

Bytes with_checksum(Bytes b) {
  b.push_back(checksum(b.data(), b.size()));
  return b;
}

struct Form {
  const char *name;
  Framing framing;
  Bytes frame;
};

std::vector<Form> forms() {
  Bytes long_form{0x80, 0x10, 0xF1, 0x40};
  for (int i = 0; i < 0x40; ++i) long_form.push_back(static_cast<std::uint8_t>(0x21 + i));
  return {
      {"short header", Framing::Kwp, {0x82, 0x10, 0xF1, 0x21, 0x01, 0xA5}},
      {"StartCommunication", Framing::Kwp, {0x81, 0x10, 0xF1, 0x81, 0x03}},
      {"long form, 64 service bytes", Framing::Kwp, with_checksum(long_form)},
      {"no addresses", Framing::Kwp, with_checksum({0x02, 0x21, 0x01})},
      {"no addresses, length byte", Framing::Kwp, with_checksum({0x00, 0x02, 0x21, 0x01})},
      {"functional address", Framing::Kwp, with_checksum({0xC1, 0x33, 0xF1, 0x81})},
      {"ALDL mode 1", Framing::Aldl, {0xF4, 0x57, 0x01, 0x00, 0xB4}},
      {"ALDL mode 10", Framing::Aldl, {0xF4, 0x56, 0x0A, 0xAC}},
  };
}

// Feeds 'frames' back to back, a byte time apart, with 'pause_ms' before byte number 'at'.
std::vector<RequestAssembler::Step> feed(RequestAssembler &a, const Bytes &bytes, std::size_t at, double pause_ms) {
  std::vector<RequestAssembler::Step> steps;
  double t = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    t += i == at ? pause_ms : kByteMs;
    steps.push_back(a.push(bytes[i], t));
  }
  return steps;
}

TEST(RequestAssembler, EveryFormCompletesAtItsLastByteWhereverAPauseFalls) {
  for (const Form &f : forms()) {
    Bytes twice = f.frame;
    twice.insert(twice.end(), f.frame.begin(), f.frame.end());
    for (std::size_t at = 1; at < twice.size(); ++at) {
      RequestAssembler a(f.framing);
      const auto steps = feed(a, twice, at, kFrameGapMs - 1);  // just under the gap limit
      for (std::size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(std::string(f.name) + ", pause before byte " + std::to_string(at) + ", byte " + std::to_string(i));
        EXPECT_FALSE(steps[i].dropped.has_value());
        const bool last_of_a_frame = (i + 1) % f.frame.size() == 0;
        ASSERT_EQ(steps[i].request.has_value(), last_of_a_frame);
        if (last_of_a_frame) { EXPECT_EQ(steps[i].request->frame, f.frame); }
      }
      EXPECT_EQ(a.pending(), 0u);
    }
  }
}

TEST(RequestAssembler, APauseAboveTheGapLimitDropsTheBytesBeforeIt) {
  for (const Form &f : forms()) {
    for (std::size_t at = 1; at < f.frame.size(); ++at) {
      SCOPED_TRACE(std::string(f.name) + ", pause before byte " + std::to_string(at));
      // The first 'at' bytes, a pause just over the limit, then the whole frame anew.
      Bytes bytes(f.frame.begin(), f.frame.begin() + static_cast<std::ptrdiff_t>(at));
      bytes.insert(bytes.end(), f.frame.begin(), f.frame.end());
      RequestAssembler a(f.framing);
      const auto steps = feed(a, bytes, at, kFrameGapMs + 1);
      ASSERT_TRUE(steps[at].dropped);
      EXPECT_EQ(steps[at].dropped->why, Dropped::Why::Gap);
      EXPECT_EQ(steps[at].dropped->bytes, at);
      EXPECT_DOUBLE_EQ(steps[at].dropped->gap_ms, kFrameGapMs + 1);
      ASSERT_TRUE(steps.back().request);
      EXPECT_EQ(steps.back().request->frame, f.frame);
    }
  }
}

TEST(RequestAssembler, SilenceAloneDropsAPartialFrameAtTheGapLimit) {
  RequestAssembler a(Framing::Kwp);
  a.push(0x82, 10.0);
  a.push(0x10, 11.0);
  ASSERT_EQ(a.deadline(), 11.0 + kFrameGapMs);
  EXPECT_FALSE(a.expire(10.9 + kFrameGapMs));
  const auto dropped = a.expire(11.0 + kFrameGapMs);
  ASSERT_TRUE(dropped);
  EXPECT_EQ(dropped->bytes, 2u);
  EXPECT_EQ(a.pending(), 0u);
  EXPECT_FALSE(a.deadline());
}

TEST(RequestAssembler, LengthsFromTheFirstBytes) {
  struct Case {
    Bytes head;
    std::size_t length;  // 0: not known yet
  };
  const Case kwp[] = {
      {{0x81}, 5}, {{0xBF}, 67}, {{0x80, 0x10, 0xF1}, 0}, {{0x80, 0x10, 0xF1, 0xFF}, 260},
      {{0x05}, 7}, {{0x00}, 0},  {{0x00, 0x03}, 6},       {{0xC2}, 6},
  };
  for (const Case &c : kwp) EXPECT_EQ(kwp_request_length(c.head.data(), c.head.size()), c.length) << int(c.head[0]);

  const Bytes one{0xF4};
  EXPECT_EQ(aldl_request_length(one.data(), 1), 0u);
  const Bytes longest{0xF4, 0xFF};
  EXPECT_EQ(aldl_request_length(longest.data(), 2), 173u);
  const Bytes no_mode{0xF4, 0x55};
  EXPECT_FALSE(aldl_request_length(no_mode.data(), 2));
}

TEST(RequestAssembler, AnAldlLengthCodeWithoutModeIsDroppedAtOnce) {
  RequestAssembler a(Framing::Aldl);
  a.push(0xF4, 0);
  const auto step = a.push(0x40, 1);
  ASSERT_TRUE(step.dropped);
  EXPECT_EQ(step.dropped->why, Dropped::Why::BadLengthCode);
  EXPECT_EQ(step.dropped->code, 0x40);
  EXPECT_EQ(a.pending(), 0u);
  // The next request is read normally.
  const Bytes frame{0xF4, 0x56, 0x0A, 0xAC};
  RequestAssembler::Step last;
  for (auto b : frame) last = a.push(b, 2);
  ASSERT_TRUE(last.request);
  EXPECT_EQ(last.request->frame, frame);
}

}  // namespace
}  // namespace ecusim::wire
