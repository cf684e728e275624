// Answer frames and the answer buffer, byte for byte, for the frozen idle engine.
#include "line_fixture.h"

namespace {

class AnswerLayout : public LineTest {
 protected:
  void SetUp() override {
    LineTest::SetUp();
    ASSERT_EQ(VciCarOption("engine", "idle-fixed"), 0);
  }
  Bytes read(std::uint8_t lid) {
    EXPECT_EQ(request({0x82, 0x10, 0xF1, 0x21, lid}), 1);
    return answer_frame();
  }
};

// D5 .. D36 of the frozen idle block (M1.5.4 and add-on).
const Bytes kIdleBlock{0x00, 0x00, 0x25, 0x1C, 0x00, 0x00, 0x00, 0x00, 0x82, 0x0A, 0x00, 0x15, 0x54, 0x1E, 0x1E, 0x80,
                       0x18, 0x00, 0xB0, 0x54, 0x45, 0x01, 0x5A, 0x00, 0x00, 0x02, 0x28, 0x00, 0x00, 0x00, 0x40, 0x00};

Bytes long_answer(const Bytes &service) {
  Bytes f{0x80, 0xF1, 0x10, static_cast<std::uint8_t>(service.size())};
  f.insert(f.end(), service.begin(), service.end());
  return with_checksum(f);
}

Bytes block(const Bytes &record) {
  Bytes s{0x61, 0x01};
  s.insert(s.end(), record.begin(), record.end());
  return s;
}

TEST_F(AnswerLayout, DataBlockLongFormFillsTheBufferExactly) {
  connect();
  ASSERT_EQ(request({0x82, 0x10, 0xF1, 0x21, 0x01}), 1);
  Bytes expected{0x01, 0x27};
  const Bytes frame = long_answer(block(kIdleBlock));
  ASSERT_EQ(frame[3], 0x22);
  expected.insert(expected.end(), frame.begin(), frame.end());
  EXPECT_EQ(Bytes(ans, ans + expected.size()), expected);
  EXPECT_EQ(ans[expected.size()], 0xCC) << "nothing written past the answer";
}

TEST_F(AnswerLayout, AddOnSharesTheBlock) {
  ASSERT_EQ(VciSelectCar("m154-add"), 0);
  ASSERT_EQ(VciCarOption("engine", "idle-fixed"), 0);
  connect();
  EXPECT_EQ(read(0x01), long_answer(block(kIdleBlock)));
}

TEST_F(AnswerLayout, M154NBlockHas0x24Bytes) {
  ASSERT_EQ(VciSelectCar("m154n"), 0);
  ASSERT_EQ(VciCarOption("engine", "idle-fixed"), 0);
  connect();
  const Bytes record{0x00, 0x00, 0x25, 0x1C, 0x00, 0x00, 0x00, 0x00, 0x82, 0x80, 0x00, 0x15,
                     0x54, 0x1E, 0x1E, 0x80, 0x18, 0x00, 0xB0, 0x54, 0x5B, 0x03, 0x45, 0x01,
                     0x5A, 0x00, 0x00, 0x02, 0x28, 0x00, 0x00, 0x00, 0x40, 0x00};
  const Bytes frame = read(0x01);
  EXPECT_EQ(frame[3], 0x24);
  EXPECT_EQ(frame, long_answer(block(record)));
}

TEST_F(AnswerLayout, ConverterBlock) {
  connect();
  EXPECT_EQ(read(0x03), long_answer({0x61, 0x03, 0x1F, 0x46, 0x1A, 0xB3, 0x17, 0x80, 0x0A}));
}

TEST_F(AnswerLayout, ShortHeaderOption) {
  ASSERT_EQ(VciCarOption("header", "short"), 0);
  connect();
  Bytes expected{0xA2, 0xF1, 0x10};
  const Bytes s = block(kIdleBlock);
  expected.insert(expected.end(), s.begin(), s.end());
  EXPECT_EQ(read(0x01), with_checksum(expected));
}

TEST_F(AnswerLayout, UnknownLocalIdentifierIsRefused) {
  connect();
  EXPECT_EQ(read(0x02), with_checksum({0x83, 0xF1, 0x10, 0x7F, 0x21, 0x12}));
}

TEST_F(AnswerLayout, UnsupportedServiceIsRefused) {
  connect();
  EXPECT_EQ(request({0x82, 0x10, 0xF1, 0x10, 0x81}), 1);
  EXPECT_EQ(answer_frame(), with_checksum({0x83, 0xF1, 0x10, 0x7F, 0x10, 0x11}));
}

TEST_F(AnswerLayout, TesterPresentWithAndWithoutParameter) {
  connect();
  EXPECT_EQ(request({0x81, 0x10, 0xF1, 0x3E}), 1);
  EXPECT_EQ(answer_frame(), with_checksum({0x81, 0xF1, 0x10, 0x7E}));
  EXPECT_EQ(request({0x82, 0x10, 0xF1, 0x3E, 0x01}), 1);
  EXPECT_EQ(answer_frame(), with_checksum({0x81, 0xF1, 0x10, 0x7E}));
}

Bytes ident_answer(std::uint8_t option, const std::string &text) {
  Bytes s{0x5A, option};
  s.insert(s.end(), text.begin(), text.end());
  return long_answer(s);
}

TEST_F(AnswerLayout, IdentificationTextsAndKey) {
  connect();
  ASSERT_EQ(request({0x82, 0x10, 0xF1, 0x1A, 0x9A}), 1);
  EXPECT_EQ(answer_frame(), ident_answer(0x9A, "M1.5.4 V05"));
  ASSERT_EQ(request({0x82, 0x10, 0xF1, 0x1A, 0x90}), 1);
  EXPECT_EQ(answer_frame(), ident_answer(0x90, "XTA21099043512345  "));
  ASSERT_EQ(VciCarOption("id-key", "V5"), 0);
  ASSERT_EQ(request({0x82, 0x10, 0xF1, 0x1A, 0x9A}), 1);
  EXPECT_EQ(answer_frame(), ident_answer(0x9A, "V5.5.4 V05"));
  ASSERT_EQ(request({0x82, 0x10, 0xF1, 0x1A, 0x9B}), 1);
  EXPECT_EQ(answer_frame(), with_checksum({0x83, 0xF1, 0x10, 0x7F, 0x1A, 0x12}));
}

TEST_F(AnswerLayout, EveryIdentificationFieldIsLongEnough) {
  static constexpr int kField[11] = {19, 16, 10, 10, 15, 7, 10, 8, 7, 7, 10};
  for (const char *car : {"m154", "m154-add", "m154n"}) {
    ASSERT_EQ(VciSelectCar(car), 0);
    connect();
    for (int k = 0; k < 11; ++k) {
      ASSERT_EQ(request({0x82, 0x10, 0xF1, 0x1A, static_cast<std::uint8_t>(0x90 + k)}), 1) << car << " " << k;
      const Bytes f = answer_frame();
      EXPECT_GE(f[3], 2 + kField[k]) << car << " option " << k;
    }
  }
}

TEST_F(AnswerLayout, AddOnAndNHaveTheirOwnFirmwareTexts) {
  ASSERT_EQ(VciSelectCar("m154-add"), 0);
  connect();
  ASSERT_EQ(request({0x82, 0x10, 0xF1, 0x1A, 0x9A}), 1);
  EXPECT_EQ(answer_frame(), ident_answer(0x9A, "J5 V06 ADD"));
  ASSERT_EQ(VciSelectCar("m154n"), 0);
  connect();
  ASSERT_EQ(request({0x82, 0x10, 0xF1, 0x1A, 0x9A}), 1);
  EXPECT_EQ(answer_frame(), ident_answer(0x9A, "M1.5.4N V7"));
}

TEST_F(AnswerLayout, OutputControlAndReset) {
  connect();
  EXPECT_EQ(request({0x84, 0x10, 0xF1, 0x30, 0x01, 0x06, 0x01}), 1);
  EXPECT_EQ(answer_frame(), with_checksum({0x84, 0xF1, 0x10, 0x70, 0x01, 0x06, 0x01}));
  EXPECT_EQ(request({0x82, 0x10, 0xF1, 0x11, 0x00}), 1);
  EXPECT_EQ(answer_frame(), with_checksum({0x82, 0xF1, 0x10, 0x51, 0x00}));
  EXPECT_EQ(request({0x82, 0x10, 0xF1, 0x21, 0x01}), 1) << "11 00 keeps the M1.5.4's session";
  EXPECT_EQ(request({0x82, 0x10, 0xF1, 0x11, 0x01}), 1);
  EXPECT_EQ(answer_frame(), with_checksum({0x82, 0xF1, 0x10, 0x51, 0x01}));
  EXPECT_EQ(request({0x82, 0x10, 0xF1, 0x21, 0x01}), -1) << "any other reset needs a new fast init";
}

// "refuse": the listed services are answered 7F sid nrc and not carried out; bad values are
// refused when set.
TEST_F(AnswerLayout, RefuseOptionAnswersNegativelyAndIsCheckedWhenSet) {
  ASSERT_EQ(VciCarOption("refuse", "30:22, 11:33"), 0);
  connect();
  EXPECT_EQ(request({0x84, 0x10, 0xF1, 0x30, 0x09, 0x06, 0x01}), 1);
  EXPECT_EQ(answer_frame(), with_checksum({0x83, 0xF1, 0x10, 0x7F, 0x30, 0x22}));
  EXPECT_EQ(request({0x82, 0x10, 0xF1, 0x11, 0x00}), 1);
  EXPECT_EQ(answer_frame(), with_checksum({0x83, 0xF1, 0x10, 0x7F, 0x11, 0x33}));
  EXPECT_EQ(request({0x82, 0x10, 0xF1, 0x21, 0x01}), 1) << "other services as before";
  ASSERT_EQ(VciCarOption("refuse", ""), 0);
  EXPECT_EQ(request({0x82, 0x10, 0xF1, 0x11, 0x00}), 1);
  EXPECT_EQ(answer_frame(), with_checksum({0x82, 0xF1, 0x10, 0x51, 0x00}));
  for (const char *bad : {"30", "30:2", "3:22", "30:22,", "30-22", "zz:22", "30:22:1"})
    EXPECT_EQ(VciCarOption("refuse", bad), -1) << bad;
}

}  // namespace
