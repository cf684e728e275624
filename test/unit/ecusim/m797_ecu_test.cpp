// Simulated Bosch M7.9.7 E2 and E3 at address 0x10: direct session and timing, the eleven
// identification fields, data, converter and immobiliser blocks, codes, on the virtual clock.
#include "m7_fixture.h"

namespace {

class M797 : public M7Line {
 protected:
  void SetUp() override {
    M7Line::SetUp();
    use_car("m797-e2", 0x10);
  }
};

// D5 .. D69 of the frozen idle E2 block (m797_layout.md); E3 changes D69 and adds D70 .. D76.
const Bytes kE2Idle{0x02, 0xB8, 0x6D, 0x5B, 0xBD, 0x00, 0x00, 0x15, 0x20, 0xF0, 0x10, 0x00, 0x01,
                    0x82, 0x1B, 0x00, 0x19, 0x4B, 0x54, 0x1E, 0x04, 0x91, 0x10, 0x02, 0x7B, 0x80,
                    0x80, 0x00, 0x00, 0x00, 0x00, 0x29, 0x11, 0xB3, 0x00, 0x3D, 0x00, 0x00, 0x00,
                    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x64, 0x00, 0x40, 0x02, 0x40,
                    0x12, 0x01, 0xED, 0x00, 0x62, 0x80, 0x80, 0x00, 0x09, 0x00, 0x0B, 0xD7, 0x01};

TEST_F(M797, DirectSessionAndTimingWithStoredChecksums) {
  connect_m797();
  const std::string t = trace();
  EXPECT_NE(t.find("T> 81 10 F1 81 03"), std::string::npos);
  EXPECT_NE(t.find("T> 83 10 F1 10 81 14 29"), std::string::npos);
  EXPECT_NE(t.find("T> 87 10 F1 83 03 00 02 00 14 00 24"), std::string::npos);
  EXPECT_NE(t.find("E< 82 F1 10 C3 03 49"), std::string::npos);
  ASSERT_EQ(ask({0x3E, 0x01}), 1);
  EXPECT_EQ(answer_service(), (Bytes{0x7E}));
}

TEST_F(M797, ElevenIdentificationFieldsAtLeastAsLongAsTheFieldsCopied) {
  connect_m797();
  const std::size_t lengths[] = {17, 16, 12, 10, 15, 9, 10, 10, 7, 7, 10};
  for (std::uint8_t i = 0; i < 11; ++i) {
    ASSERT_EQ(ask({0x1A, static_cast<std::uint8_t>(0x90 + i)}), 1);
    EXPECT_EQ(answer_frame()[0], 0x80) << "identification answers use the long header";
    EXPECT_GE(answer_text().size(), lengths[i]) << int(i);
  }
  ASSERT_EQ(ask({0x1A, 0x9A}), 1);
  EXPECT_EQ(answer_text(), "B110E20604");
  ASSERT_EQ(ask({0x1A, 0x90}), 1);
  EXPECT_EQ(answer_text(), "XTA21703070345678");
  ASSERT_EQ(ask({0x1A, 0x9B}), 1);
  EXPECT_EQ(answer_frame(), short_frame({0x7F, 0x1A, 0x12}));
}

TEST_F(M797, E2BlockHas0x43ServiceBytes) {
  connect_m797();
  ASSERT_EQ(ask({0x21, 0x01}), 1);
  EXPECT_EQ(answer_frame(), long_frame(block(0x01, kE2Idle)));
  EXPECT_EQ(ans[2 + 3], 0x43);
}

TEST_F(M797, E3BlockHas0x4AServiceBytes) {
  use_car("m797-e3", 0x10);
  connect_m797();
  ASSERT_EQ(ask({0x21, 0x01}), 1);
  Bytes record(kE2Idle);
  record.back() = 0x0B;  // D69: immobiliser released, catalyst and oxygen sensor diagnosis done
  for (std::uint8_t b : {0x5E, 0xA3, 0x3C, 0x00, 0x00, 0x00, 0x00}) record.push_back(b);  // D70 .. D76
  EXPECT_EQ(answer_frame(), long_frame(block(0x01, record)));
  EXPECT_EQ(ans[2 + 3], 0x4A);
  ASSERT_EQ(ask({0x1A, 0x9A}), 1);
  EXPECT_EQ(answer_text(), "B110E30712");
}

TEST_F(M797, ConverterAndImmobiliserBlocks) {
  connect_m797();
  ASSERT_EQ(ask({0x21, 0x03}), 1);
  EXPECT_EQ(answer_frame(), long_frame(block(0x03, {0x01, 0xFF, 0x1A, 0x00, 0x7C, 0x17, 0x17, 0x01, 0xC4, 0x0A, 0x02,
                                                    0xCE, 0x02, 0x53, 0x00, 0x00, 0x00, 0x00, 0x00})));
  ASSERT_EQ(ask({0x21, 0xA0}), 1);
  EXPECT_EQ(answer_frame(), long_frame(block(0xA0, {0x2A, 0x5C, 0x0F, 0x00, 0x00})));
  ASSERT_EQ(ask({0x21, 0x02}), 1);
  EXPECT_EQ(answer_frame(), short_frame({0x7F, 0x21, 0x12}));
  ASSERT_EQ(ask({0x23, 0x00, 0xF8, 0x40, 0x01}), 1);
  EXPECT_EQ(answer_frame(), short_frame({0x7F, 0x23, 0x11})) << "no memory reads on the M7.9.7";
}

TEST_F(M797, StoredCodesAndClear) {
  ASSERT_EQ(VciCarOption("dtc", "0171"), 0);
  connect_m797();
  ASSERT_EQ(ask({0x18, 0x00, 0xFF, 0x00}), 1);
  EXPECT_EQ(answer_frame(), short_frame({0x58, 0x01, 0x01, 0x71, 0xE0}));
  ASSERT_EQ(ask({0x21, 0x01}), 1);
  EXPECT_TRUE(answer_service()[67 - 3] & 0x80) << "check engine lamp, D67 bit 7";
  ASSERT_EQ(ask({0x14, 0xFF, 0x00}), 1);
  ASSERT_EQ(ask({0x18, 0x00, 0xFF, 0x00}), 1);
  EXPECT_EQ(answer_frame(), short_frame({0x58, 0x00}));
  EXPECT_EQ(VciCarOption("faults", "01"), -1);
}

TEST_F(M797, OutputControlIsEchoed) {
  connect_m797();
  ASSERT_EQ(ask({0x30, 0x01, 0x06, 0xFF}), 1);
  EXPECT_EQ(answer_frame(), short_frame({0x70, 0x01, 0x06, 0xFF}));
}

}  // namespace
