// The host library loader's result codes, the ./libSTD.so fallback and the failure
// log, each run in a fresh probe process against stand-in host libraries.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

const fs::path kProbe = LOADER_PROBE;  // the probe executable
const fs::path kFakes = LOADER_FAKES;  // one folder per stand-in library
const fs::path kLog = fs::path(LOADER_PROBE).parent_path() / "Dll_Log.txt";

struct Probe {
  std::map<std::string, long> values;
  int status = -1;
};

// Runs the probe with the working directory and library path given.
Probe run_probe(const std::string &what, const fs::path &cwd, const std::string &libraryPath = "") {
  std::string command = "cd '" + cwd.string() + "' && ";
  command += libraryPath.empty() ? "env -u LD_LIBRARY_PATH " : "env LD_LIBRARY_PATH='" + libraryPath + "' ";
  command += "'" + kProbe.string() + "' " + what;
  Probe p;
  FILE *out = popen(command.c_str(), "r");
  if (out == nullptr) return p;
  std::array<char, 256> line{};
  while (fgets(line.data(), line.size(), out) != nullptr) {
    std::string s(line.data());
    auto eq = s.find('=');
    if (eq != std::string::npos) p.values[s.substr(0, eq)] = std::stol(s.substr(eq + 1));
  }
  p.status = pclose(out);
  return p;
}

std::string read_log() {
  std::ifstream in(kLog, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class Loader : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove(kLog);
    empty_ = fs::temp_directory_path() / ("vaz_loader_" + std::to_string(getpid()));
    fs::create_directories(empty_);
  }
  void TearDown() override { fs::remove_all(empty_); }
  fs::path empty_;
};

TEST_F(Loader, MissingDisplayHostGivesMinusOneAndOneLogRecordPerBinding) {
  Probe p = run_probe("display", empty_);
  ASSERT_EQ(p.status, 0);
  EXPECT_EQ(p.values["OpenShowInterfaceDLL"], -1);
  EXPECT_EQ(p.values["OpenSearchIDDLL"], -1);
  EXPECT_EQ(p.values["OpenLanguageDLL"], -1);
  EXPECT_EQ(p.values["OpenGetPathDLL"], -1);
  std::string record = "\r\n-1\r\nDLL Load Error";
  EXPECT_EQ(read_log(), record + record + record + record);
}

TEST_F(Loader, DisplayHostInTheWorkingDirectoryIsFoundAsDotSlashLibSTD) {
  Probe p = run_probe("display", kFakes / "std_full");
  ASSERT_EQ(p.status, 0);
  EXPECT_EQ(p.values["OpenShowInterfaceDLL"], 0);
  EXPECT_EQ(p.values["OpenSearchIDDLL"], 0);
  EXPECT_EQ(p.values["OpenLanguageDLL"], 0);
  EXPECT_EQ(p.values["OpenGetPathDLL"], 0);
  EXPECT_EQ(p.values["ShowMessageBoxID"], 1);
  EXPECT_FALSE(fs::exists(kLog)) << read_log();
}

TEST_F(Loader, MissingTwentyFirstDisplaySymbolIsReportedAsMinus23) {
  Probe p = run_probe("display", kFakes / "std_no_message_box_id");
  ASSERT_EQ(p.status, 0);
  EXPECT_EQ(p.values["OpenShowInterfaceDLL"], -23);
  EXPECT_EQ(p.values["InitStd"], 1);                // symbol 1
  EXPECT_EQ(p.values["ShowMessageBox"], 1);         // symbol 20, bound before the gap
  EXPECT_EQ(p.values["ShowMessageBoxID"], 0);       // symbol 21, missing
  EXPECT_EQ(p.values["InitStreamSelectedBox"], 0);  // after the gap: never bound
  EXPECT_EQ(p.values["OpenSearchIDDLL"], 0);
  EXPECT_EQ(read_log(), "\r\n-23\r\nDLL Load Error");
}

TEST_F(Loader, VehicleInterfaceBindsOnceAndKeepsItsSlotsOnTheSecondOpen) {
  Probe p = run_probe("comm", empty_, (kFakes / "comm_full").string());
  ASSERT_EQ(p.status, 0);
  EXPECT_EQ(p.values["first"], 0);
  EXPECT_EQ(p.values["SelectPIN"], 1);
  EXPECT_EQ(p.values["KwpSendDataToEcuGetAnswer"], 1);
  EXPECT_EQ(p.values["OneToOne_SendDataToEcuGetAnswer"], 0);  // not offered: stays empty, no failure
  EXPECT_EQ(p.values["second"], 0);
  EXPECT_EQ(p.values["SelectPIN.after"], 0);
}

TEST_F(Loader, VehicleInterfaceFailuresNameTheirCause) {
  Probe missing = run_probe("comm", empty_);
  EXPECT_EQ(missing.values["first"], -2);

  Probe refused = run_probe("comm", empty_, (kFakes / "comm_refuses").string());
  EXPECT_EQ(refused.values["first"], -4);
  EXPECT_EQ(refused.values["CloseStdCommDll"], 0);  // later slots are not bound
  EXPECT_EQ(refused.values["second"], 0);           // the handle is kept

  Probe noClose = run_probe("comm", empty_, (kFakes / "comm_no_close").string());
  EXPECT_EQ(noClose.values["first"], -5);
  EXPECT_EQ(noClose.values["OpenStdCommDll"], 1);

  Probe noDownload = run_probe("comm", empty_, (kFakes / "comm_no_download_type").string());
  EXPECT_EQ(noDownload.values["first"], -73);
  EXPECT_FALSE(fs::exists(kLog)) << "the vehicle interface writes no log records";
}

TEST_F(Loader, OptionalLibrariesMissingGiveMinusOne) {
  Probe p = run_probe("optional", empty_);
  ASSERT_EQ(p.status, 0);
  EXPECT_EQ(p.values["OpenDiagReadFileDll"], -1);
  EXPECT_EQ(p.values["OpenDiagFuncDll"], -1);
  EXPECT_EQ(p.values["OpenDiagActFuncDll"], -1);
  EXPECT_EQ(p.values["OpenDiagDsFuncDll"], -1);
  EXPECT_EQ(p.values["OpenDiagDtcFuncDll"], -1);
  EXPECT_EQ(p.values["OpenDiagVerFuncDll"], -1);
  EXPECT_EQ(p.values["OpenDiagCommDll"], -1);
  EXPECT_EQ(p.values["OpenDiagCalcDll"], -1);
  EXPECT_EQ(p.values["closed"], 0);
}

TEST_F(Loader, ClosingTheHostsForgetsTheirHandles) {
  const std::string both = (kFakes / "std_full").string() + ":" + (kFakes / "comm_full").string();
  Probe p = run_probe("close", empty_, both);
  ASSERT_EQ(p.status, 0);
  EXPECT_EQ(p.values["display"], 0);
  EXPECT_EQ(p.values["comm"], 0);
  EXPECT_EQ(p.values["closeStd"], 0);
  EXPECT_EQ(p.values["closeComm"], 0);
  EXPECT_EQ(p.values["stdHandle"], 0);
  EXPECT_EQ(p.values["commHandle"], 0);
}

// FOPEN: "./" and each "../" are taken off against the host's file directory; a name
// that would not fit its 512-byte buffer is refused.
TEST_F(Loader, FopenResolvesAgainstTheHostFileDirectory) {
  fs::create_directories(empty_ / "host" / "files");
  std::ofstream(empty_ / "host" / "files" / "file.txt") << "x";
  std::ofstream(empty_ / "host" / "up.txt") << "x";
  Probe p = run_probe("fopen " + (empty_ / "host" / "files").string() + "/", empty_);
  ASSERT_EQ(p.status, 0);
  EXPECT_EQ(p.values["file.txt"], 1);
  EXPECT_EQ(p.values["./file.txt"], 1);
  EXPECT_EQ(p.values["../up.txt"], 1);
  EXPECT_EQ(p.values["(empty)"], 0);
  EXPECT_EQ(p.values["missing.txt"], 0);
  EXPECT_EQ(p.values["long"], 0);
  EXPECT_EQ(p.values["DllError"], 1);
}

}  // namespace
