// Stored codes (18 00 FF 00), current fault bits in the data block, and clearing (14 FF 00).
#include "line_fixture.h"

namespace {

const Bytes kReadCodes{0x84, 0x10, 0xF1, 0x18, 0x00, 0xFF, 0x00};
const Bytes kClear{0x83, 0x10, 0xF1, 0x14, 0xFF, 0x00};
const Bytes kRead{0x82, 0x10, 0xF1, 0x21, 0x01};

TEST_F(LineTest, StoredCodesCurrentBitsAndClear) {
  ASSERT_EQ(VciCarOption("dtc", "0102,0325,0443"), 0);
  ASSERT_EQ(VciCarOption("faults", "01 00 04"), 0);
  connect();
  ASSERT_EQ(request(kReadCodes), 1);
  EXPECT_EQ(answer_frame(),
            with_checksum({0x8B, 0xF1, 0x10, 0x58, 0x03, 0x01, 0x02, 0xE0, 0x03, 0x25, 0xE0, 0x04, 0x43, 0xE0}))
      << "short header: the plug-in's record decoder reads the short form";
  ASSERT_EQ(request(kRead), 1);
  // Buffer: count, length, 80 F1 10 22 61 01 D5 ...; D[k] of the long form is ans[3 + k].
  EXPECT_EQ(ans[3 + 9], 0x01);
  EXPECT_EQ(ans[3 + 10], 0x00);
  EXPECT_EQ(ans[3 + 11], 0x04);
  EXPECT_TRUE(ans[3 + 7] & 0x40) << "check engine lamp on";

  ASSERT_EQ(request(kClear), 1);
  EXPECT_EQ(answer_frame(), with_checksum({0x83, 0xF1, 0x10, 0x54, 0xFF, 0x00}));
  ASSERT_EQ(request(kReadCodes), 1);
  EXPECT_EQ(answer_frame(), with_checksum({0x82, 0xF1, 0x10, 0x58, 0x00}));
  ASSERT_EQ(request(kRead), 1);
  EXPECT_EQ(ans[3 + 9] | ans[3 + 10] | ans[3 + 11], 0);
  EXPECT_FALSE(ans[3 + 7] & 0x40);
}

TEST_F(LineTest, ClearWithOtherParametersIsRefused) {
  connect();
  ASSERT_EQ(request({0x83, 0x10, 0xF1, 0x14, 0x00, 0x00}), 1);
  EXPECT_EQ(answer_frame(), with_checksum({0x83, 0xF1, 0x10, 0x7F, 0x14, 0x12}));
}

TEST_F(LineTest, CodeOptionsAreValidated) {
  EXPECT_EQ(VciCarOption("dtc", ""), 0);
  EXPECT_EQ(VciCarOption("dtc", "01O2"), -1);
  EXPECT_EQ(VciCarOption("dtc", "102"), -1);
  std::string many;
  for (int i = 0; i < 21; ++i) many += (i ? ",0" : "0") + std::to_string(100 + i);
  EXPECT_EQ(VciCarOption("dtc", many.c_str()), -1) << "more codes than a short-form answer holds";
  EXPECT_EQ(VciCarOption("faults", "01 00"), -1);
  EXPECT_EQ(VciCarOption("faults", "01 00 100"), -1);
  EXPECT_EQ(VciCarOption("faults", "ff 80 01"), 0);
}

}  // namespace
