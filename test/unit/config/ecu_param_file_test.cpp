// Loading an ECU's directory record, data-stream table and actuator table from
// an ECU parameter file into the session record.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "param_bytes.h"
#include "temp_tree.h"
#include "vaz_old.h"

namespace {

using vaz_test::ParamBytes;
using vaz_test::TempTree;

constexpr u32 kCdTable = 0x100;
constexpr u32 kActTable = 0x180;

// Directory: variant 2 (no tables), variant 5 (both tables), end marker.
ParamBytes sample_file() {
  ParamBytes f;
  f.u16(0, 2).u16(2, 0xA1A2).u32(4, 0x11).u32(8, 0).u32(12, 0x22).u32(16, 0x33).u32(20, 0);
  f.u16(24, 5).u16(26, 0x0102).u32(28, 0x300).u32(32, kCdTable).u32(36, 0x400).u32(40, 0x500).u32(44, kActTable);
  f.u16(48, 0xFFFF);
  // Data-stream table: 2 items, 3 header bytes after two unread ones.
  f.u16(kCdTable, 2).u8(kCdTable + 2, 3).bytes(kCdTable + 5, {0xC1, 0xC2, 0xC3});
  const u32 items = kCdTable + 8;
  f.u32(items, 0x58200401).u8(items + 4, 0x07).u16(items + 5, 0x1234).u8(items + 7, 0x09).u32(items + 8, 0x58300401);
  f.u32(items + 12, 0x58200402)
      .u8(items + 16, 0x17)
      .u16(items + 17, 0xBEEF)
      .u8(items + 19, 0x19)
      .u32(items + 20, 0x58300402);
  // Actuator table: 2 records of 9 bytes.
  f.u8(kActTable, 2).u32(kActTable + 3, 0x58400001).bytes(kActTable + 7, {1, 2, 3, 4, 5});
  f.u32(kActTable + 12, 0x58400002).bytes(kActTable + 16, {6, 7, 8, 9, 10});
  return f;
}

class EcuParamFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(&TOKEN_OLD, 0, sizeof TOKEN_OLD);
    path_ = tree_.write("ecu.bin", sample_file().data()).string();
  }
  std::string write(const ParamBytes &f) { return tree_.write("other.bin", f.data()).string(); }

  TempTree tree_;
  std::string path_;
};

TEST_F(EcuParamFile, PositionedReadOfABlock) {
  u8 block[4] = {};
  EXPECT_EQ(ECU_move_lib_data(path_.c_str(), 26, block, 4), 0);
  EXPECT_EQ(block[0], 0x02);
  EXPECT_EQ(block[1], 0x01);
  EXPECT_EQ(block[2], 0x00);
  EXPECT_EQ(block[3], 0x03);
}

TEST_F(EcuParamFile, ShortMissingOrMisplacedReadFails) {
  const int size = static_cast<int>(sample_file().data().size());
  u8 block[8] = {};
  EXPECT_EQ(ECU_move_lib_data(path_.c_str(), size - 2, block, 4), -1);
  EXPECT_EQ(ECU_move_lib_data(path_.c_str(), -4, block, 4), -1);
  EXPECT_EQ(ECU_move_lib_data((tree_.root() / "none.bin").c_str(), 0, block, 4), -1);
}

TEST_F(EcuParamFile, DirectoryRecordOfCurrentVariant) {
  TOKEN_OLD.wEcuVariant = 5;
  EXPECT_EQ(ECU_GetDataAddr(path_.c_str()), 0);
  EXPECT_EQ(TOKEN_OLD.wLibParam, 0x0102);
  EXPECT_EQ(TOKEN_OLD.dwLibDtcAddr, 0x300u);
  EXPECT_EQ(TOKEN_OLD.dwLibCdAddr, kCdTable);
  EXPECT_EQ(TOKEN_OLD.dwLibAddr2, 0x400u);
  EXPECT_EQ(TOKEN_OLD.dwLibAddr3, 0x500u);
  EXPECT_EQ(TOKEN_OLD.dwLibActAddr, kActTable);
}

TEST_F(EcuParamFile, VariantMissingFromDirectory) {
  TOKEN_OLD.wEcuVariant = 3;
  TOKEN_OLD.dwLibCdAddr = 0x77;
  EXPECT_EQ(ECU_GetDataAddr(path_.c_str()), -1);
  EXPECT_EQ(TOKEN_OLD.dwLibCdAddr, 0x77u);
  EXPECT_EQ(TOKEN_OLD.wLibParam, 0);
  EXPECT_EQ(ECU_GetDataAddr((tree_.root() / "none.bin").c_str()), -1);
  // A directory without its end marker ends at the end of the file.
  EXPECT_EQ(ECU_GetDataAddr(write(ParamBytes().u16(0, 1).u32(20, 0)).c_str()), -1);
}

TEST_F(EcuParamFile, TablesNamedByTheDirectory) {
  TOKEN_OLD.wEcuVariant = 5;
  ASSERT_EQ(ECU_GetDataAddr(path_.c_str()), 0);
  EXPECT_EQ(ECU_GetData(path_.c_str()), 0);

  EXPECT_EQ(TOKEN_OLD.wCdNum, 2);
  EXPECT_EQ(TOKEN_OLD.cCdHeadLen, 3);
  EXPECT_EQ(TOKEN_OLD.bCdHead[0], 0xC1);
  EXPECT_EQ(TOKEN_OLD.bCdHead[2], 0xC3);
  EXPECT_EQ(TOKEN_OLD.bCdHead[3], 0x00);
  const CD_ITEM &a = TOKEN_OLD.CdItem[0];
  EXPECT_EQ(a.dwTextId, 0x58200401u);
  EXPECT_EQ(a.cItemType, 0x07);
  EXPECT_EQ(a.wItemParam, 0x1234);
  EXPECT_EQ(a.cItemParam2, 0x09);
  EXPECT_EQ(a.dwCmdId, 0x58300401u);
  const CD_ITEM &b = TOKEN_OLD.CdItem[1];
  EXPECT_EQ(b.dwTextId, 0x58200402u);
  EXPECT_EQ(b.cItemType, 0x17);
  EXPECT_EQ(b.wItemParam, 0xBEEF);
  EXPECT_EQ(b.cItemParam2, 0x19);
  EXPECT_EQ(b.dwCmdId, 0x58300402u);
  EXPECT_EQ(TOKEN_OLD.CdItem[2].dwTextId, 0u);

  EXPECT_EQ(TOKEN_OLD.cActNum, 2);
  EXPECT_EQ(TOKEN_OLD.ActItem[0].dwTextId, 0x58400001u);
  EXPECT_EQ(TOKEN_OLD.ActItem[1].dwTextId, 0x58400002u);
  EXPECT_EQ(TOKEN_OLD.ActItem[0].bParam[0], 0);  // only the text ID is loaded
}

TEST_F(EcuParamFile, NoTablesNamedReadsNothing) {
  TOKEN_OLD.wEcuVariant = 2;
  ASSERT_EQ(ECU_GetDataAddr(path_.c_str()), 0);
  EXPECT_EQ(TOKEN_OLD.wLibParam, 0xA1A2);
  TOKEN_OLD.wCdNum = 9;
  TOKEN_OLD.cActNum = 4;
  EXPECT_EQ(ECU_GetData((tree_.root() / "none.bin").c_str()), 0);
  EXPECT_EQ(ECU_GetData(path_.c_str()), 0);
  EXPECT_EQ(TOKEN_OLD.wCdNum, 9);
  EXPECT_EQ(TOKEN_OLD.cActNum, 4);
}

TEST_F(EcuParamFile, TablePastTheEndLeavesTheRecordAsItWas) {
  TOKEN_OLD.wCdNum = 1;
  TOKEN_OLD.CdItem[0].dwTextId = 0x1234;
  TOKEN_OLD.cActNum = 1;
  EXPECT_EQ(ECU_GetData_CD(path_.c_str(), 0x10000), 0);
  EXPECT_EQ(ECU_GetData_ACT(path_.c_str(), 0x10000), 0);
  EXPECT_EQ(TOKEN_OLD.wCdNum, 1);
  EXPECT_EQ(TOKEN_OLD.CdItem[0].dwTextId, 0x1234u);
  EXPECT_EQ(TOKEN_OLD.cActNum, 1);
}

TEST_F(EcuParamFile, DataStreamCountBeyondCdItemLoadsWhatFits) {
  ParamBytes f;
  f.u16(0, 301).u8(2, 0);
  for (u32 i = 0; i < 301; ++i) f.u32(5 + 12 * i, 0x58200000 + i).u32(5 + 12 * i + 8, 0x58300000 + i);
  TOKEN_OLD.dwLibActAddr = 0xCAFE;  // the field right behind CdItem
  EXPECT_EQ(ECU_GetData_CD(write(f).c_str(), 0), 0);
  EXPECT_EQ(TOKEN_OLD.wCdNum, VAZ_CD_MAX);
  EXPECT_EQ(TOKEN_OLD.CdItem[299].dwTextId, 0x58200000u + 299);
  EXPECT_EQ(TOKEN_OLD.CdItem[299].dwCmdId, 0x58300000u + 299);
  EXPECT_EQ(TOKEN_OLD.dwLibActAddr, 0xCAFEu);
}

TEST_F(EcuParamFile, ActuatorCountBeyondActItemLoadsWhatFits) {
  ParamBytes f;
  f.u8(0, 40);
  for (u32 i = 0; i < 40; ++i) f.u32(3 + 9 * i, 0x58400000 + i);
  TOKEN_OLD.dwCoPos = 0xCAFE;  // the field right behind ActItem
  EXPECT_EQ(ECU_GetData_ACT(write(f).c_str(), 0), 0);
  EXPECT_EQ(TOKEN_OLD.cActNum, VAZ_ACT_MAX);
  EXPECT_EQ(TOKEN_OLD.ActItem[31].dwTextId, 0x58400000u + 31);
  EXPECT_EQ(TOKEN_OLD.dwCoPos, 0xCAFEu);
}

TEST_F(EcuParamFile, LongestHeaderFits) {
  ParamBytes f;
  f.u16(0, 1).u8(2, 255).u8(5, 0x11).u8(5 + 254, 0x22).u32(5 + 255, 0x58200001);
  EXPECT_EQ(ECU_GetData_CD(write(f).c_str(), 0), 0);
  EXPECT_EQ(TOKEN_OLD.cCdHeadLen, 255);
  EXPECT_EQ(TOKEN_OLD.bCdHead[0], 0x11);
  EXPECT_EQ(TOKEN_OLD.bCdHead[254], 0x22);
  EXPECT_EQ(TOKEN_OLD.CdItem[0].dwTextId, 0x58200001u);
}

}  // namespace
