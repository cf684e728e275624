// With no host bound at all every routine ends cleanly: an empty slot is the
// failure of the service that needed it, never a call through null.
#include <gmock/gmock.h>

#include <array>
#include <vector>

#include "fake_host.h"

namespace {

class NullSlots : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    clear_host_slots();
  }
};

TEST_F(NullSlots, SessionWithoutHostsEndsNormally) {
  std::vector<u8> record(VAZ_CTX_SIZE, 0);
  for (int type : {1, 4, 7, 9, 10, 11}) {
    record[VAZ_CTX_ECU_TYPE_AT] = static_cast<u8>(type);
    EXPECT_EQ(DiagnoseMainOldPrtl(record.data()), 1);
  }
  EXPECT_EQ(DiagnoseMainOldPrtl(nullptr), 1);
}

TEST_F(NullSlots, MenusCannotBeBuiltWithoutTheDisplay) {
  // no line selection: connect reports a refused line, and the menu ends before its title
  for (auto menu : {DIAG_BOSCH_M154, DIAG_BOSCH_M154_ADD, DIAG_BOSCH_M154N, DIAG_BOSCH_M72, DIAG_BOSCH_M70_E2,
                    DIAG_BOSCH_M70_E3, DIAG_BOSCH_M797_E2, DIAG_BOSCH_M797_E3, DIAG_GM_ISFI, DIAG_GM_EFI})
    EXPECT_EQ(menu(), 1);
  EXPECT_EQ(SelectMenu_menu(0x58025000, 0), -1);
  iFuncConfig_vaz = 0x800;
  EXPECT_EQ(SelectMenu_menu(0x58025000, 0), -2);
}

TEST_F(NullSlots, CommRoutinesFailTheirRequests) {
  EXPECT_EQ(Comm_BOSCH_M154_ENG(FC_CONNECT, 0, nullptr), 0);
  EXPECT_EQ(Comm_BOSCH_M154_ENG(FC_STREAM, 0, nullptr), -1);
  EXPECT_EQ(Comm_BOSCH_M70_ENG(FC_DISCONNECT, 0, nullptr), -1);
  EXPECT_EQ(Comm_BOSCH_M797_E2_ENG(FC_DONE, 0, nullptr), 1);
  EXPECT_EQ(Comm_BOSCH_M797_E2_ENG(FC_LIBCMD, 0, nullptr), -1);
  EXPECT_EQ(Comm_GM_EFI_ENG(FC_DONE, 0, nullptr), 1);
  EXPECT_EQ(Comm_GM_ISFI_ENG(FC_CODES, 0, nullptr), -1);
  std::array<u8, 256> frame{};
  EXPECT_EQ(GetData_Cmd_fromtext(0x58300001, frame.data()), -1);
  EXPECT_EQ(Comm_BOSCH_AUTO_ENG(), -1);
}

TEST_F(NullSlots, ServicesEndWithoutTheDisplay) {
  pFComm = fake_comm;
  pFCalcCD = fake_calc;
  TOKEN_OLD.wCdNum = 3;
  EXPECT_EQ(GetData_ECU_CD(0x58200400, VAZ_NO_LIST), -1);
  EXPECT_EQ(CurrentData_SingleCom_Allcal(), 0);
  EXPECT_EQ(CurrentData_SingleCom_SingleCalc(), 0);
  // items cannot be handed to a display that is not there
  EXPECT_EQ(CurrentData_SingleCom_Allcal_DisplayAll(), -2);
  EXPECT_EQ(INFO_SingleCom_SingleCalc(), -2);
  TOKEN_OLD.wCdNum = 0;
  EXPECT_EQ(CurrentData_SingleCom_Allcal_DisplayAll(), 0);
  pFCalcDTC = [] {
    TOKEN_OLD.cDtcNum = 1;
    return 0;
  };
  EXPECT_EQ(TroubleCode_SingleCom(), 0);
  EXPECT_EQ(EraseCode_SingleCom(), 0);
  pFComm = nullptr;
  EXPECT_EQ(TroubleCode_SingleCom(), -1);
}

}  // namespace
