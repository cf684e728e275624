// The configuration reader against real StdCfg.ini files: where the file is
// looked for below the host directory, and which display slots its switches
// empty.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "temp_tree.h"
#include "vaz_old.h"

namespace {

using vaz_test::TempTree;
namespace fs = std::filesystem;

std::string g_hostDir;  // what the fake display host reports as its directory
unsigned char g_scratch[16];

int fake_get_file_path(char *out, int size) {
  std::snprintf(out, static_cast<size_t>(size), "%s", g_hostDir.c_str());
  return 0;
}

int fill_whole_buffer(char *out, int size) {
  std::memset(out, 'a', static_cast<size_t>(size));
  return 0;
}

int present_service(void) { return 0; }

const char kIni[] = "; display host switches\nStdVer=1 ;current line\nOKFEEDBACK=0\n";

class StdConfig : public ::testing::Test {
 protected:
  void SetUp() override {
    // With a display host reachable the loader would replace the fake slot.
    if (OpenStdDll() != nullptr) GTEST_SKIP() << "a libSTD.so is reachable from the test process";
    DiagGetFilePath = fake_get_file_path;
  }
  void host_dir(const std::string &dir) { g_hostDir = dir; }

  TempTree tree_;
};

TEST_F(StdConfig, FileLiesInAssetsOfFirstDirectoryBelowCompany) {
  tree_.write("veltrano/VAZ/assets/StdCfg.ini", kIni);
  host_dir((tree_.root() / "veltrano/VAZ/bin/diag/").string());
  EXPECT_EQ(GetStdCfgValue("StdVer="), 1);
  EXPECT_EQ(GetStdCfgValue("OKFEEDBACK="), 0);
}

// Only a regular file is read: a directory of that name (size 2^63 by ftell) and a FIFO
// without a writer (an open that would wait for ever) both read as a missing file.
TEST_F(StdConfig, OnlyARegularFileIsRead) {
  host_dir((tree_.root() / "veltrano/VAZ/bin/").string());
  fs::create_directories(tree_.root() / "veltrano/VAZ/assets/StdCfg.ini");
  EXPECT_EQ(GetStdCfgValue("StdVer="), 0);
  EXPECT_EQ(ECU_move_lib_data((tree_.root() / "veltrano/VAZ/assets/StdCfg.ini").c_str(), 0, g_scratch, 1), -1);

  fs::remove(tree_.root() / "veltrano/VAZ/assets/StdCfg.ini");
  const fs::path fifo = tree_.root() / "veltrano/VAZ/assets/StdCfg.ini";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(GetStdCfgValue("StdVer="), 0);
  EXPECT_EQ(ECU_move_lib_data(fifo.c_str(), 0, g_scratch, 1), -1);
}

TEST_F(StdConfig, DoubledSlashesInHostDirectoryAreFolded) {
  tree_.write("veltrano/VAZ/assets/StdCfg.ini", kIni);
  host_dir(tree_.root().string() + "//veltrano//VAZ///bin/");
  EXPECT_EQ(GetStdCfgValue("StdVer="), 1);
}

TEST_F(StdConfig, SerialNumberDirectorySelectsProductFolder) {
  tree_.write("veltrano/assets/Sorvik/StdCfg.ini", kIni);
  host_dir((tree_.root() / "veltrano/983740000001/").string());
  EXPECT_EQ(GetStdCfgValue("StdVer="), 1);
}

TEST_F(StdConfig, UnknownOrShortSerialGivesZero) {
  // Files wherever a wrong lookup might land.
  tree_.write("veltrano/assets/StdCfg.ini", kIni);
  tree_.write("veltrano/98999/assets/StdCfg.ini", kIni);
  tree_.write("veltrano/98374/assets/StdCfg.ini", kIni);
  for (const char *product : {"Tolvane", "Mirsk", "Quelbox", "Pandrel", "Sorvik", "Yestra"})
    tree_.write(std::string("veltrano/assets/") + product + "/StdCfg.ini", kIni);

  host_dir((tree_.root() / "veltrano/989990000001/").string());
  EXPECT_EQ(GetStdCfgValue("StdVer="), 0);
  host_dir((tree_.root() / "veltrano/98374/").string());  // shorter than 12 characters
  EXPECT_EQ(GetStdCfgValue("StdVer="), 0);
}

TEST_F(StdConfig, HostDirectoryWithoutCompanyOrProductGivesZero) {
  tree_.write("veltrano/VAZ/assets/StdCfg.ini", kIni);
  host_dir((tree_.root() / "elsewhere/VAZ/bin/").string());
  EXPECT_EQ(GetStdCfgValue("StdVer="), 0);
  host_dir((tree_.root() / "veltrano/VAZ").string());  // no '/' after the product directory
  EXPECT_EQ(GetStdCfgValue("StdVer="), 0);
}

TEST_F(StdConfig, UnboundPathServiceGivesZero) {
  tree_.write("veltrano/VAZ/assets/StdCfg.ini", kIni);
  host_dir((tree_.root() / "veltrano/VAZ/bin/").string());
  DiagGetFilePath = nullptr;
  EXPECT_EQ(GetStdCfgValue("StdVer="), 0);
}

// The configuration path is built in 256 bytes: 255 characters are read, a
// longer name is refused rather than cut (the cut name is a real file here).
TEST_F(StdConfig, ConfigurationPathLongerThanBufferIsRefused) {
  const std::string company = (tree_.root() / "veltrano").string() + "/";
  const std::string suffix = "/assets/StdCfg.ini";
  for (size_t total : {255u, 256u}) {
    const std::string product(total - company.size() - suffix.size(), 'p');
    const std::string file = company + product + suffix;
    ASSERT_EQ(file.size(), total);
    tree_.write(fs::path(file).lexically_relative(tree_.root()), kIni);
    tree_.write(fs::path(file.substr(0, 255)).lexically_relative(tree_.root()), kIni);
    host_dir(company + product + "/");
    EXPECT_EQ(GetStdCfgValue("StdVer="), total == 255 ? 1 : 0) << "path of " << total << " characters";
  }
}

TEST_F(StdConfig, SerialPathLongerThanBufferIsRefused) {
  const std::string tail = "/veltrano/assets/Sorvik/StdCfg.ini";
  const std::string parent(256 - tree_.root().string().size() - 1 - tail.size(), 'q');
  const std::string file = (tree_.root() / parent).string() + tail;
  ASSERT_EQ(file.size(), 256u);
  tree_.write(fs::path(file).lexically_relative(tree_.root()), kIni);
  host_dir((tree_.root() / parent).string() + "/veltrano/983740000001/");
  EXPECT_EQ(GetStdCfgValue("StdVer="), 0);
}

TEST_F(StdConfig, HostDirectoryFillingTheWholeBufferIsRefused) {
  DiagGetFilePath = fill_whole_buffer;
  EXPECT_EQ(GetStdCfgValue("StdVer="), 0);
}

// Every slot the switches govern, in the two groups of the key table.
// clang-format off
#define VAZ_RECORD_GROUP(X)                                                                     \
  X(GetDiagProcessWay) X(EnableHistoryRecord) X(RecordMake) X(RecordModel) X(RecordSubmodel)    \
  X(RecordEngine) X(RecordYear) X(RecordVin) X(RecordSystemIDInfo) X(GetSysNum)                 \
  X(GetSystemIDInfo) X(RecordMenuPath) X(GetMenuPath) X(SetCurrentMenuPath)
#define VAZ_SPECIAL_GROUP(X)                                                                    \
  X(StartRecordDiagData) X(StopRecordDiagData) X(SetDiagFuncInfo) X(InitSpecialDataStream)      \
  X(SetSpecialDataStreamMainItemRange) X(AddSpecialDataStreamMainItem)                          \
  X(AddSpecialDataStreamAttachedItem) X(ShowSpecialDataStream)
// clang-format on

struct SlotState {
  const char *name;
  bool bound;
};

#define VAZ_BIND(name) name = present_service;
#define VAZ_STATE(name) SlotState{#name, name != nullptr},

void bind_all(){VAZ_RECORD_GROUP(VAZ_BIND) VAZ_SPECIAL_GROUP(VAZ_BIND)} std::vector<SlotState> record_group() {
  return {VAZ_RECORD_GROUP(VAZ_STATE)};
}
std::vector<SlotState> special_group() { return {VAZ_SPECIAL_GROUP(VAZ_STATE)}; }

class Switches : public StdConfig {
 protected:
  void SetUp() override {
    StdConfig::SetUp();
    if (IsSkipped()) return;
    host_dir((tree_.root() / "veltrano/VAZ/bin/").string());
    bind_all();
  }
  void ini(const std::string &text) { tree_.write("veltrano/VAZ/assets/StdCfg.ini", text); }
};

TEST_F(Switches, MissingFileEmptiesBothGroupsAndGivesPlainButtons) {
  EXPECT_EQ(GetStdCfgValue("StdVer="), 0);
  EXPECT_EQ(GetStdCfgValue("ShowSpecialDataStream="), 0);
  EXPECT_EQ(SetStdFunctionInterfaceState(), 0);
  for (const SlotState &s : record_group()) EXPECT_FALSE(s.bound) << s.name;
  for (const SlotState &s : special_group()) EXPECT_FALSE(s.bound) << s.name;
  EXPECT_EQ(GetButtType(), 1);
}

TEST_F(Switches, CurrentLineKeepsRecordGroupAndChecksSpecialGroup) {
  ini("; switches\nStdVer=1\nStartRecordDiagData=1 ;recording\nSetDiagFuncInfo=0\n"
      "ShowSpecialDataStream=5\n");
  EXPECT_EQ(SetStdFunctionInterfaceState(), 5);  // the value of the last key read
  for (const SlotState &s : record_group()) EXPECT_TRUE(s.bound) << s.name;
  for (const SlotState &s : special_group()) {
    const bool kept =
        std::strcmp(s.name, "StartRecordDiagData") == 0 || std::strcmp(s.name, "ShowSpecialDataStream") == 0;
    EXPECT_EQ(s.bound, kept) << s.name;
  }
  EXPECT_EQ(GetButtType(), 7);
}

TEST_F(Switches, OlderLineChecksRecordGroupKeyByKey) {
  ini("; switches\nMyStdVer=1\nRecordVin=1\nGetMenuPath=2\nEnableHistoryRecord=0\n;RecordMake=1\n");
  EXPECT_EQ(SetStdFunctionInterfaceState(), 0);
  for (const SlotState &s : record_group()) {
    const bool kept = std::strcmp(s.name, "RecordVin") == 0 || std::strcmp(s.name, "GetMenuPath") == 0;
    EXPECT_EQ(s.bound, kept) << s.name;
  }
  EXPECT_EQ(GetButtType(), 1);
}

TEST_F(Switches, FeedbackSwitchGivesFeedbackButtonsOnOlderLine) {
  ini("; switches\nStdVer=0\nOKFEEDBACK=1\n");
  EXPECT_EQ(GetButtType(), 7);
  ini("; switches\nStdVer=2\nOKFEEDBACK=2\n");
  EXPECT_EQ(GetButtType(), 1);
}

TEST_F(Switches, CurrentLineOnTheFirstLineIsNotSeen) {
  ini("StdVer=1\nOKFEEDBACK=0\n");
  EXPECT_EQ(GetButtType(), 1);
}

// The sample file shipped with the project: every governed key is present with
// a comment, and read as a host would read it.
std::string sample_ini() {
  std::ifstream in(VAZ_SAMPLE_INI, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST_F(Switches, SampleFileNamesEveryKeyWithAComment) {
  const std::string text = sample_ini();
  ASSERT_FALSE(text.empty());
  std::vector<std::string> keys{"StdVer=", "OKFEEDBACK="};
  for (const SlotState &s : record_group()) keys.push_back(std::string(s.name) + "=");
  for (const SlotState &s : special_group()) keys.push_back(std::string(s.name) + "=");
  for (const std::string &key : keys) {
    const size_t at = text.find("\n" + key);
    ASSERT_NE(at, std::string::npos) << key;
    const std::string line = text.substr(at + 1, text.find('\n', at + 1) - at - 1);
    EXPECT_NE(line.find(';'), std::string::npos) << line;
  }
}

TEST_F(Switches, SampleFileKeepsAllButSpecialDataStream) {
  ini(sample_ini());
  EXPECT_EQ(GetButtType(), 7);
  EXPECT_EQ(SetStdFunctionInterfaceState(), 0);
  for (const SlotState &s : record_group()) EXPECT_TRUE(s.bound) << s.name;
  for (const SlotState &s : special_group()) {
    const bool special = std::strstr(s.name, "SpecialDataStream") != nullptr;
    EXPECT_EQ(s.bound, !special) << s.name;
  }
}

}  // namespace
