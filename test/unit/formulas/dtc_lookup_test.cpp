// The trouble-code text lookup and the key layout of text IDs.
#include <gtest/gtest.h>

#include "dtc_fakes.h"

namespace vaz::test {
namespace {

class DtcLookup : public ::testing::Test {
 protected:
  void SetUp() override { file.bind(); }
  void TearDown() override { FakeCodeFile::unbind(); }
  FakeCodeFile file;
};

TEST(ChangeIdToPoint, WritesMostSignificantByteFirst) {
  u8 out[4] = {};
  Change_ID_to_point(0x58300501, out);
  EXPECT_EQ(out[0], 0x58);
  EXPECT_EQ(out[1], 0x30);
  EXPECT_EQ(out[2], 0x05);
  EXPECT_EQ(out[3], 0x01);
}

TEST_F(DtcLookup, FoundAndAbsentCodesCloseTheFile) {
  file.known = {0x58300501};
  EXPECT_EQ(Find_dtc_in_libfile(0x58300501), 1);
  EXPECT_EQ(file.openedPath, file.path);
  EXPECT_EQ(file.lastKey[0], 0x58);
  EXPECT_EQ(file.lastKey[3], 0x01);
  EXPECT_EQ(file.lastMaxLength, 1);
  EXPECT_EQ(file.lastOutByte, 0) << "the record buffer is cleared before the search";
  EXPECT_EQ(Find_dtc_in_libfile(0x58300502), -1);
  EXPECT_EQ(file.opens, 2);
  EXPECT_EQ(file.closes, 2);
}

TEST_F(DtcLookup, PathLengthLimit) {
  file.known = {1};
  file.path = "/" + std::string(78, 'p');  // 79 characters fit the 80-byte buffer
  EXPECT_EQ(Find_dtc_in_libfile(1), 1);
  EXPECT_EQ(file.openedPath, file.path);
  file.path += "x";  // 80 characters: refused, not cut short
  EXPECT_EQ(Find_dtc_in_libfile(1), -1);
  EXPECT_EQ(file.opens, 1);
}

TEST_F(DtcLookup, FailuresGiveMinusOne) {
  file.known = {1};
  file.nullPath = true;
  EXPECT_EQ(Find_dtc_in_libfile(1), -1);
  EXPECT_EQ(file.opens, 0);

  file.nullPath = false;
  file.openFails = true;
  EXPECT_EQ(Find_dtc_in_libfile(1), -1);
  EXPECT_EQ(file.searches, 0);
  EXPECT_EQ(file.closes, 0);

  file.openFails = false;
  IdSearch = nullptr;
  EXPECT_EQ(Find_dtc_in_libfile(1), -1);
  EXPECT_EQ(file.opens, 1) << "no file is opened when the search cannot run";

  FakeCodeFile::unbind();
  EXPECT_EQ(Find_dtc_in_libfile(1), -1);
}

}  // namespace
}  // namespace vaz::test
