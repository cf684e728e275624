// A whole scripted session with --log: the CSV holds exactly one row per
// live-data pass the transcript shows, with the ticked items as columns.
#include "workbench.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

namespace {

TEST(SessionLog, RowPerPassAndTickedColumns) {
  const auto dir = std::filesystem::temp_directory_path() / ("vazdiag_log_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string log = (dir / "live.csv").string();

  vazdiag::Workbench bench(VAZ_BUILD_DIR);
  vazdiag::SessionSetup setup;
  setup.keepRecords = true;
  setup.script = "choose Live data\ntick 1 3 4\nstay 5\nback\nback\n";
  setup.logFile = log;
  auto r = bench.run(setup);

  std::regex passLine(R"(\[data stream, pass \d+\])");
  auto passes =
      std::distance(std::sregex_iterator(r.transcript.begin(), r.transcript.end(), passLine), std::sregex_iterator());
  ASSERT_EQ(passes, 5) << r.transcript;

  std::ifstream in(log);
  std::vector<std::string> rows;
  for (std::string l; std::getline(in, l);) rows.push_back(l);
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows[0],
            "time,Coolant temperature (\xC2\xB0"
            "C),Throttle position (%),Engine speed (rpm)");
  for (std::size_t i = 1; i < rows.size(); ++i)
    EXPECT_EQ(std::count(rows[i].begin(), rows[i].end(), ','), 3) << rows[i];
  // Stamped on the line's (virtual) clock: passes a K-line exchange apart, as on a car,
  // though the machine ran them in a few ms.
  auto msOfDay = [](const std::string &row) {
    const int h = std::stoi(row.substr(11, 2)), m = std::stoi(row.substr(14, 2));
    return ((h * 60 + m) * 60) * 1000.0 + std::stod(row.substr(17, 6)) * 1000.0;
  };
  EXPECT_GE(msOfDay(rows[5]) - msOfDay(rows[1]), 4 * 100.0) << rows[1] << "\n" << rows[5];
  std::filesystem::remove_all(dir);
}

TEST(SessionLog, UnwritableLogFailsBeforeTheSession) {
  vazdiag::Workbench bench(VAZ_BUILD_DIR);
  vazdiag::SessionSetup setup;
  setup.keepRecords = true;
  setup.logFile = "/nonexistent-dir/live.csv";
  EXPECT_THROW(bench.run(setup), std::runtime_error);
}

}  // namespace
