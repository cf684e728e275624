// Simulated Bosch M7.0 E2 and E3 at address 0x11: connect sequence, identification,
// data blocks, converter cells, stored codes and clearing, on the virtual clock.
#include "m7_fixture.h"

namespace {

class M70 : public M7Line {
 protected:
  void SetUp() override {
    M7Line::SetUp();
    use_car("m70-e2", 0x11);
  }
};

// D5 .. D46 of the frozen idle block (m70_layout.md).
const Bytes kE2Idle{0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x17, 0x34, 0x94, 0xB7, 0x80, 0x00, 0x33,
                    0x45, 0x15, 0x01, 0x77, 0x1E, 0x54, 0x00, 0x80, 0x54, 0x03, 0x00, 0xE5, 0x1E, 0x40,
                    0x00, 0x00, 0x00, 0x00, 0x81, 0x40, 0x00, 0x00, 0x00, 0x24, 0x00, 0x00, 0x00, 0x00};
// D5 .. D87 of the frozen idle E3 block.
const Bytes kE3Idle{0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x17, 0x34, 0x94, 0xB7, 0x80, 0x00, 0x33,
                    0x45, 0x15, 0x01, 0x77, 0x1E, 0x54, 0x80, 0x80, 0x54, 0x03, 0x00, 0xE5, 0x53, 0xFF,
                    0x80, 0x00, 0x07, 0x0C, 0xD7, 0x43, 0x00, 0x65, 0x00, 0x00, 0x00, 0x00, 0x5A, 0x06,
                    0x6E, 0x52, 0x44, 0x80, 0x34, 0x80, 0x2A, 0x2A, 0x04, 0xD2, 0x02, 0x58, 0x52, 0x56,
                    0x5A, 0x5E, 0x90, 0x90, 0x90, 0x90, 0x80, 0x03, 0x41, 0x7C, 0x10, 0x00, 0x78, 0x0F,
                    0x58, 0x42, 0x80, 0x00, 0x00, 0x00, 0x80, 0x80, 0x80, 0x00, 0x32, 0x00, 0x9D};

TEST_F(M70, ConnectSequenceOfTheM70Routine) {
  connect_m70();
  const std::string t = trace();
  EXPECT_NE(t.find("T> 81 11 F1 81 04"), std::string::npos);
  EXPECT_NE(t.find("E< 83 F1 11 C1 EF 8F C4"), std::string::npos);
  EXPECT_NE(t.find("T> 83 11 F1 10 81 14 2A"), std::string::npos);
  EXPECT_NE(t.find("T> 87 11 F1 83 03 32 50 01 14 00 A6"), std::string::npos);
  // The keep-alive of the M7.0 routine is TesterPresent without a parameter.
  Bytes tp{0x81, 0x11, 0xF1, 0x3E, 0xC1};
  ASSERT_EQ(SetLinkKeep(tp.data(), 5, 5, 200), 0);
  VciAdvanceClock(7000);
  EXPECT_EQ(ask({0x21, 0x01}), 1) << "the keep-alive held the ECU awake";
  EXPECT_NE(trace().find("E< 81 F1 11 7E"), std::string::npos);
}

TEST_F(M70, NothingAnswersAtTheOtherAddress) {
  open_line_m7(80);
  addr = 0x10;
  EXPECT_EQ(wake(25, 25), -1) << "the M1.5.4 probe of the detection finds nobody";
  addr = 0x11;
  EXPECT_EQ(wake(26, 25), 1) << "the M7.0 probe right after it wakes the ECU";
}

TEST_F(M70, SessionAndTimingRefuseOtherForms) {
  connect_m70();
  ASSERT_EQ(ask({0x10, 0x85}), 1);
  EXPECT_EQ(answer_frame(), short_frame({0x7F, 0x10, 0x12}));
  ASSERT_EQ(ask({0x83, 0x00}), 1);
  EXPECT_EQ(answer_frame(), short_frame({0x7F, 0x83, 0x12}));
  ASSERT_EQ(ask({0x20}), 1) << "StopDiagnosticSession is answered by every K-line ECU";
  EXPECT_EQ(answer_service(), (Bytes{0x60}));
}

TEST_F(M70, IdentificationAnswersPerOption) {
  connect_m70();
  ASSERT_EQ(ask({0x1A, 0x9A}), 1);
  EXPECT_EQ(answer_frame(), long_frame({0x5A, 0x9A, 'M', '7', '.', '0', 'E', '2'}));
  const std::pair<std::uint8_t, std::string> fields[] = {{0x90, "XTA21124050234567"},
                                                         {0x91, "2112-1411020"},
                                                         {0x92, "0261206942"},
                                                         {0x94, "1037352104"},
                                                         {0x98, "2"},
                                                         {0x99, std::string("\x20\x03\x05\x14")}};
  for (const auto &[option, text] : fields) {
    ASSERT_EQ(ask({0x1A, option}), 1);
    EXPECT_EQ(answer_service()[1], option);
    EXPECT_EQ(answer_text(), text) << std::hex << int(option);
  }
  ASSERT_EQ(ask({0x1A, 0x93}), 1);
  EXPECT_EQ(answer_frame(), short_frame({0x7F, 0x1A, 0x12}));
  ASSERT_EQ(VciCarOption("id-key", "XY"), 0);
  ASSERT_EQ(ask({0x1A, 0x9A}), 1);
  EXPECT_EQ(answer_text(), "XY.0E2");
}

TEST_F(M70, E2IdleBlockIsExactAndShortEnoughForTheE2Key) {
  connect_m70();
  ASSERT_EQ(ask({0x21, 0x01}), 1);
  EXPECT_EQ(answer_frame(), long_frame(block(0x01, kE2Idle)));
  EXPECT_EQ(ans[2 + 3], 0x2C) << "length key of the detection: 0x4F or less is M7.0 E2";
  ASSERT_EQ(VciCarOption("header", "short"), 0);
  ASSERT_EQ(ask({0x21, 0x01}), 1);
  EXPECT_EQ(answer_frame(), short_frame(block(0x01, kE2Idle))) << "44 service bytes fit the short header";
}

TEST_F(M70, E3IdleBlockReachesD87) {
  use_car("m70-e3", 0x11);
  connect_m70();
  ASSERT_EQ(ask({0x21, 0x01}), 1);
  EXPECT_EQ(answer_frame(), long_frame(block(0x01, kE3Idle)));
  EXPECT_EQ(ans[2 + 3], 0x55) << "length key 0x51 or more is M7.0 E3";
  ASSERT_EQ(ask({0x1A, 0x9A}), 1);
  EXPECT_EQ(answer_text(), "M7.0E3");
  ASSERT_EQ(VciCarOption("header", "short"), 0);
  ASSERT_EQ(ask({0x21, 0x01}), 1);
  EXPECT_EQ(answer_frame()[0], 0x80) << "85 service bytes need the long header whatever the option";
}

TEST_F(M70, ConverterCellsAnswerTheReadingRightAfterTheServiceByte) {
  connect_m70();
  const Bytes readings{0x1F, 0x46, 0x1A, 0x93, 0x63, 0x71};  // coolant .. intake air sensor
  for (std::uint8_t i = 0; i < 6; ++i) {
    ASSERT_EQ(ask({0x23, 0x00, 0xF8, static_cast<std::uint8_t>(0x40 + i), 0x01}), 1);
    EXPECT_EQ(answer_frame(), short_frame({0x63, readings[i]})) << int(i);
  }
  ASSERT_EQ(ask({0x23, 0x00, 0xF8, 0x46, 0x01}), 1);
  EXPECT_EQ(answer_frame(), short_frame({0x7F, 0x23, 0x31}));
  ASSERT_EQ(ask({0x23, 0x00, 0xF8, 0x40, 0x02}), 1);
  EXPECT_EQ(answer_frame(), short_frame({0x7F, 0x23, 0x12}));
  ASSERT_EQ(ask({0x21, 0x03}), 1);
  EXPECT_EQ(answer_frame(), short_frame({0x7F, 0x21, 0x12})) << "no 21 03 block on the M7.0";
  ASSERT_EQ(ask({0x21, 0xA0}), 1);
  EXPECT_EQ(answer_frame(), short_frame({0x7F, 0x21, 0x12}));
}

TEST_F(M70, StoredCodesLightTheLampUntilCleared) {
  ASSERT_EQ(VciCarOption("dtc", "0300,0420"), 0);
  connect_m70();
  ASSERT_EQ(ask({0x18, 0x00, 0xFF, 0x00}), 1);
  EXPECT_EQ(answer_frame(), short_frame({0x58, 0x02, 0x03, 0x00, 0xE0, 0x04, 0x20, 0xE0}));
  ASSERT_EQ(ask({0x21, 0x01}), 1);
  EXPECT_TRUE(answer_service()[37 - 3] & 0x08) << "check engine lamp, D37 bit 3";
  ASSERT_EQ(ask({0x14, 0xFF, 0x00}), 1);
  EXPECT_EQ(answer_frame(), short_frame({0x54, 0xFF, 0x00}));
  ASSERT_EQ(ask({0x18, 0x00, 0xFF, 0x00}), 1);
  EXPECT_EQ(answer_frame(), short_frame({0x58, 0x00}));
  ASSERT_EQ(ask({0x21, 0x01}), 1);
  EXPECT_FALSE(answer_service()[37 - 3] & 0x08);
  ASSERT_EQ(ask({0x14, 0x00, 0x00}), 1);
  EXPECT_EQ(answer_frame(), short_frame({0x7F, 0x14, 0x12}));
}

TEST_F(M70, OptionsWithoutCurrentFaultBits) {
  EXPECT_EQ(VciCarOption("faults", "01 00 00 00"), -1);
  EXPECT_NE(std::string(VciLastError()).find("no current-fault bits"), std::string::npos);
  EXPECT_EQ(VciCarOption("dtc", "0300,"), -1);
  EXPECT_EQ(VciCarOption("id-key", "M"), -1);
  EXPECT_EQ(VciCarOption("engine", "idle"), -1);
  EXPECT_EQ(VciCarOption("header", "short"), 0);
}

TEST_F(M70, RunningEngineChangesOverTime) {
  use_car("m70-e3", 0x11, false);
  connect_m70();
  ASSERT_EQ(ask({0x21, 0x01}), 1);
  const Bytes first = answer_service();
  VciAdvanceClock(4000);
  ASSERT_EQ(ask({0x21, 0x01}), 1);
  const Bytes later = answer_service();
  ASSERT_EQ(first.size(), later.size());
  EXPECT_NE(first, later);
  const int coolant_first = first[15 - 3], coolant_later = later[15 - 3];
  EXPECT_GT(coolant_later, coolant_first) << "the engine warms up";
}

}  // namespace
