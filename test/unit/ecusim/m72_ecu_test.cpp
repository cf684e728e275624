// Simulated Bosch M7.2 at address 0x10: served like the M1.5.4 family, with four current-fault
// bytes S[9..12] in its block and the identification key "I2", on the virtual clock.
#include "m7_fixture.h"

namespace {

class M72 : public M7Line {
 protected:
  void SetUp() override {
    M7Line::SetUp();
    use_car("m72", 0x10);
  }
};

// D5 .. D39 of the frozen idle block (m72_layout.md), faults clear.
const Bytes kIdle{0x00, 0x00, 0x25, 0x1C, 0x00, 0x00, 0x00, 0x00, 0x82, 0x80, 0x00, 0x15,
                  0x54, 0x1E, 0x1E, 0x80, 0x18, 0x00, 0xB0, 0x54, 0x5B, 0x02, 0x01, 0x45,
                  0x00, 0x5A, 0x02, 0x04, 0x00, 0x28, 0x00, 0x00, 0x00, 0x40, 0x4A};

TEST_F(M72, NoDiagnosticSession) {
  connect_plain();
  ASSERT_EQ(ask({0x10, 0x81}), 1);
  EXPECT_EQ(answer_frame(), short_frame({0x7F, 0x10, 0x11}));
  ASSERT_EQ(ask({0x83, 0x03, 0x00, 0x02, 0x00, 0x14, 0x00}), 1);
  EXPECT_EQ(answer_frame(), short_frame({0x7F, 0x83, 0x11}));
}

TEST_F(M72, IdentificationOfTheM154CommandList) {
  connect_plain();
  const std::size_t lengths[] = {19, 16, 10, 10, 15, 7, 10, 8, 7, 7, 10};
  for (std::uint8_t i = 0; i < 11; ++i) {
    ASSERT_EQ(ask({0x1A, static_cast<std::uint8_t>(0x90 + i)}), 1);
    EXPECT_GE(answer_text().size(), lengths[i]) << int(i);
  }
  ASSERT_EQ(ask({0x1A, 0x9A}), 1);
  EXPECT_EQ(answer_frame(), long_frame({0x5A, 0x9A, 'I', '2', ' ', 'M', '7', '.', '2', ' ', 'V', '7'}));
}

TEST_F(M72, IdleBlockHas0x25ServiceBytes) {
  connect_plain();
  ASSERT_EQ(ask({0x21, 0x01}), 1);
  EXPECT_EQ(answer_frame(), long_frame(block(0x01, kIdle)));
  EXPECT_EQ(ans[2 + 3], 0x25);
  ASSERT_EQ(ask({0x21, 0x03}), 1);
  EXPECT_EQ(answer_frame(),
            long_frame(block(0x03, {0x1F, 0x46, 0x1A, 0xB3, 0x17, 0x0A, 0x00, 0x00, 0x00, 0x00, 0x71})));
  ASSERT_EQ(ask({0x21, 0xA0}), 1);
  EXPECT_EQ(answer_frame(), short_frame({0x7F, 0x21, 0x12}));
}

TEST_F(M72, CurrentFaultBitsFillS9ToS12UntilCleared) {
  ASSERT_EQ(VciCarOption("faults", "01 00 04 80"), 0);
  ASSERT_EQ(VciCarOption("dtc", "0115"), 0);
  connect_plain();
  ASSERT_EQ(ask({0x21, 0x01}), 1);
  // Shifted answer S (service byte at S[3]): S[k] is byte k - 3 of the service bytes.
  const Bytes s = answer_service();
  EXPECT_EQ(Bytes(s.begin() + 6, s.begin() + 10), (Bytes{0x01, 0x00, 0x04, 0x80}));
  EXPECT_TRUE(s[7 - 3] & 0x40) << "check engine lamp, D7 bit 6";
  ASSERT_EQ(ask({0x18, 0x00, 0xFF, 0x00}), 1);
  EXPECT_EQ(answer_frame(), short_frame({0x58, 0x01, 0x01, 0x15, 0xE0}));
  ASSERT_EQ(ask({0x14, 0xFF, 0x00}), 1);
  ASSERT_EQ(ask({0x21, 0x01}), 1);
  EXPECT_EQ(answer_frame(), long_frame(block(0x01, kIdle)));
}

TEST_F(M72, FaultOptionTakesFourBytes) {
  EXPECT_EQ(VciCarOption("faults", "01 00 04"), -1);
  EXPECT_EQ(VciCarOption("faults", "01 00 04 00 00"), -1);
  EXPECT_EQ(VciCarOption("faults", "01 00 04 1FF"), -1);
  EXPECT_EQ(VciCarOption("faults", " ff 80 01 02 "), 0);
}

}  // namespace
