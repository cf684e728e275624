// The GM ISFI and EFI models through the ALDL line: idle-fixed blocks byte for byte, code
// options and clearing, tester control visible in the next block, the running engine.
#include "aldl_fixture.h"

namespace {

// Idle-fixed data bytes A[3] .. (gm_layout.md).
const AldlBytes kIsfiIdle{0x17, 0xA2, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                          0x00, 0x00, 0x00, 0xAE, 0x5E, 0xAE, 0x1A, 0x00, 0x43, 0x12, 0x49, 0x00, 0x63,
                          0x20, 0x80, 0x80, 0x10, 0x1E, 0x1E, 0x00, 0x00, 0x00, 0x8C, 0x00, 0x22, 0x00,
                          0xAA, 0x00, 0x6F, 0x02, 0x58, 0x02, 0x80, 0x21, 0x00, 0x12, 0x63, 0x0D, 0x01,
                          0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0xA8, 0x00, 0x00, 0x00, 0x00, 0x00};
const AldlBytes kEfiIdle{0x0C, 0x1E, 0x00, 0x00, 0x00, 0xAE, 0x5E, 0x1A, 0x00, 0x22, 0x2E, 0x15, 0x00,
                         0x00, 0x65, 0x20, 0x80, 0x80, 0x10, 0x1F, 0x1E, 0x1E, 0x22, 0x00, 0x41, 0x33,
                         0xFD, 0xFD, 0xAE, 0x1F, 0x8C, 0x9A, 0x00, 0x00, 0x4C, 0xCD, 0x1A, 0x20, 0x02,
                         0x58, 0x80, 0x00, 0x04, 0xB7, 0x00, 0x00, 0x1A, 0x00, 0x00, 0x23, 0x00, 0x00,
                         0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

// Head bytes then data (built by appending, which keeps GCC's bounds analysis quiet).
AldlBytes joined(std::initializer_list<std::uint8_t> head, const AldlBytes &data) {
  AldlBytes f;
  f.reserve(head.size() + data.size() + 1);
  for (auto b : head) f.push_back(b);
  for (auto b : data) f.push_back(b);
  return f;
}

AldlBytes framed(std::uint8_t length_code, const AldlBytes &data) {
  return aldl_sum(joined({0xF4, length_code, 0x01}, data));
}

class GmModelTest : public AldlTest {
 protected:
  // A[k] of the stripped answer after one data read.
  AldlBytes read_block() {
    EXPECT_EQ(request(isfi_ ? kIsfiRead : kEfiRead), 1);
    return answer_frame();
  }
  void start_car(bool isfi, bool idle_fixed = true) {
    isfi_ = isfi;
    start(isfi ? "gm-isfi" : "gm-efi", idle_fixed);
    open_line();
  }
  // A mode 4 frame with ten data bytes; the ECU acknowledges with F4 56 04 B2.
  void control(const AldlBytes &d) {
    ASSERT_EQ(request(joined({0xF4, 0x60, 0x04}, d)), 1);
    EXPECT_EQ(answer_frame(), (AldlBytes{0xF4, 0x56, 0x04, 0xB2}));
  }
  static bool bit(const AldlBytes &a, int k, int b) { return (a[static_cast<std::size_t>(k)] >> b) & 1; }
  static unsigned word(const AldlBytes &a, int k) {
    return a[static_cast<std::size_t>(k)] * 256u + a[static_cast<std::size_t>(k) + 1];
  }

  bool isfi_ = true;
};

TEST_F(GmModelTest, IdleFixedBlocksAreByteExact) {
  start_car(true);
  EXPECT_EQ(read_block(), framed(0x96, kIsfiIdle));
  start_car(false);
  EXPECT_EQ(read_block(), framed(0x97, kEfiIdle));
}

TEST_F(GmModelTest, IsfiAnswersOnlyMessageZeroAndKnownModes) {
  start_car(true);
  EXPECT_EQ(request({0xF4, 0x57, 0x01, 0x01}), -1);
  EXPECT_EQ(request({0xF4, 0x56, 0x02}), -1);
  EXPECT_EQ(request({0xF4, 0x56, 0x01}), -1) << "the EFI request is not an ISFI one";
}

TEST_F(GmModelTest, IsfiCodesShowAsCurrentAndStoredAndClear) {
  start_car(true);
  ASSERT_EQ(VciCarOption("faults", "05 00 00 00 00 00"), 0);
  ASSERT_EQ(VciCarOption("dtc", "33,71"), 0);
  AldlBytes a = read_block();
  EXPECT_EQ(AldlBytes(a.begin() + 5, a.begin() + 11), (AldlBytes{0x05, 0, 0, 0, 0, 0}));
  EXPECT_EQ(AldlBytes(a.begin() + 12, a.begin() + 18), (AldlBytes{0x05, 0x02, 0, 0, 0x01, 0}));
  EXPECT_TRUE(bit(a, 53, 4)) << "check engine lamp";
  EXPECT_TRUE(bit(a, 65, 2)) << "current code present";
  ASSERT_EQ(request({0xF4, 0x56, 0x0A}), 1);
  EXPECT_EQ(answer_frame(), (AldlBytes{0xF4, 0x56, 0x0A, 0xAC}));
  a = read_block();
  EXPECT_EQ(AldlBytes(a.begin() + 5, a.begin() + 18), AldlBytes(13, 0));
  EXPECT_FALSE(bit(a, 53, 4));
  EXPECT_TRUE(bit(a, 65, 7)) << "first run after clear";
}

TEST_F(GmModelTest, CodeOptionsAreChecked) {
  start_car(true);
  EXPECT_EQ(VciCarOption("dtc", "16"), -1) << "no ISFI code 16";
  EXPECT_EQ(VciCarOption("faults", "01 02"), -1);
  EXPECT_EQ(VciCarOption("header", "short"), -1);
  EXPECT_EQ(VciCarOption("engine", "racing"), -1);
  start_car(false);
  ASSERT_EQ(VciCarOption("dtc", "14,33,55"), 0);
  const AldlBytes a = read_block();
  EXPECT_EQ(AldlBytes(a.begin() + 5, a.begin() + 8), (AldlBytes{0x02, 0x01, 0x08}));
  EXPECT_EQ(VciCarOption("dtc", "71"), -1) << "no EFI code 71";
}

TEST_F(GmModelTest, IsfiTesterControlShowsInTheNextBlock) {
  start_car(true);
  control({0x01, 0x01, 0, 0, 0, 0, 0, 0, 0, 0});  // check engine lamp on
  AldlBytes a = read_block();
  EXPECT_TRUE(bit(a, 53, 4));
  EXPECT_TRUE(bit(a, 57, 7)) << "tester control active";
  control({0x01, 0x00, 0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_FALSE(bit(read_block(), 53, 4));

  control({0x03, 0x01, 0, 0, 0, 0, 0, 0, 0, 0});  // the fuel pump test
  EXPECT_FALSE(bit(read_block(), 53, 0));
  control({0x3F, 0x37, 0, 0, 0, 0, 0, 0, 0, 0});  // cooling fan on
  EXPECT_TRUE(bit(read_block(), 54, 5));

  control({0x7F, 0x77, 0x01, 0x00, 0x00, 0x19, 0x40, 0x00, 0x36, 0x00});  // idle speed 800 rpm
  a = read_block();
  EXPECT_EQ(a[24], 0x40);
  EXPECT_EQ(word(a, 25), 4915u) << "3932100 / 800";
  EXPECT_TRUE(bit(a, 58, 5));

  control({0x7F, 0x77, 0x00, 0x00, 0x00, 0x1B, 0x14, 0x00, 0x38, 0x00});  // spark advance 20 degrees
  a = read_block();
  EXPECT_EQ(word(a, 39), 57u) << "20 * 256 / 90";
  EXPECT_TRUE(bit(a, 58, 4));

  control({0x7F, 0x77, 0x01, 0x00, 0x00, 0x59, 0x4D, 0x00, 0x36, 0x08});  // injector 2 off
  a = read_block();
  EXPECT_TRUE(bit(a, 58, 1));
  EXPECT_FALSE(bit(a, 58, 0));
  EXPECT_EQ(word(a, 25), 5243u) << "750 rpm with one injector off";

  control({0x7F, 0x77, 0x00, 0x00, 0x00, 0x03, 0x28, 0x00, 0x00, 0x00});  // idle air control 40 steps
  EXPECT_EQ(read_block()[33], 40);
  control(AldlBytes(10, 0));  // released
  EXPECT_EQ(read_block(), framed(0x96, kIsfiIdle));
}

TEST_F(GmModelTest, EfiClearsCodesWithModeFour) {
  start_car(false);
  ASSERT_EQ(VciCarOption("faults", "02 01 00"), 0);
  AldlBytes a = read_block();
  EXPECT_EQ(a[5], 0x02);
  EXPECT_TRUE(bit(a, 51, 6)) << "check engine lamp";
  control({0, 0, 0x40, 0, 0, 0, 0, 0, 0, 0});
  a = read_block();
  EXPECT_EQ(AldlBytes(a.begin() + 5, a.begin() + 8), AldlBytes(3, 0));
  EXPECT_FALSE(bit(a, 51, 6));
}

TEST_F(GmModelTest, EfiTesterControlShowsInTheNextBlock) {
  start_car(false);
  control({0, 0, 0, 0, 0, 0, 0x02, 0x20, 0x00, 0xA8});  // idle 800 rpm
  AldlBytes a = read_block();
  EXPECT_EQ(a[25], 0x20);
  EXPECT_EQ(a[12], 0x20);
  control({0, 0, 0, 0, 0, 0, 0x08, 0x00, 0x00, 0x9F});  // ignition advance 10 degrees
  EXPECT_EQ(read_block()[34], 0x9F);
  control({0x02, 0x02, 0, 0, 0, 0, 0, 0, 0, 0xA8});  // cooling fan on
  EXPECT_TRUE(bit(read_block(), 40, 1));
  control({0x08, 0x00, 0, 0, 0, 0, 0, 0, 0, 0xA8});  // oxygen feedback off: open loop
  EXPECT_FALSE(bit(read_block(), 40, 5));

  control({0, 0, 0x01, 0, 0, 0, 0, 0, 0, 0xA8});  // fuel feed 1 test, 5 s
  a = read_block();
  EXPECT_TRUE(bit(a, 56, 6));
  EXPECT_EQ(a[12], 28) << "700 rpm";
  VciAdvanceClock(5000);
  a = read_block();
  EXPECT_FALSE(bit(a, 56, 6));
  EXPECT_EQ(a[12], 0x22);
}

TEST_F(GmModelTest, RunningEngineChangesWithTheClockAndRepeats) {
  start_car(true, false);
  const AldlBytes first = read_block();
  VciAdvanceClock(30000);
  const AldlBytes later = read_block();
  EXPECT_NE(first, later);
  EXPECT_EQ(word(later, 45), 30u) << "engine run time in seconds";
  EXPECT_GT(later[19], first[19]) << "the coolant warms up";
  start_car(true, false);
  EXPECT_EQ(read_block(), first) << "same clock, same block";
}

}  // namespace
