// The report of a scripted M1.5.4 session with a recorded warm-up, opened in headless
// Chromium: the rendered page holds the identification, the codes and one chart per
// recorded item, and the page captures as a PNG (build/history-report.png).
#include "history_process.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using histtest::TempDir;

long count(const std::string &text, const std::string &what) {
  long n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

std::vector<std::string> chromium(const TempDir &dir, std::vector<std::string> mode, const std::string &page) {
  std::vector<std::string> argv{"/usr/bin/chromium",
                                "--headless",
                                "--no-sandbox",
                                "--disable-gpu",
                                "--disable-quic",
                                "--no-first-run",
                                "--disable-background-networking",
                                "--disable-component-update",
                                "--disable-sync",
                                "--hide-scrollbars",
                                "--user-data-dir=" + (dir / "profile")};
  argv.insert(argv.end(), mode.begin(), mode.end());
  argv.push_back("file://" + page);
  return argv;
}

TEST(Report, WarmUpSessionRendersInChromium) {
  ASSERT_TRUE(std::filesystem::exists("/usr/bin/chromium")) << "scripts/setup.sh --tests installs chromium";
  TempDir dir("vazdiag_report");
  const std::string db = dir / "h.sqlite", page = dir / "report.html";
  ASSERT_EQ(histtest::run({histtest::vazdiag(), "--ecu", "m154", "--car-option", "dtc=0102,0325", "--history", db,
                           "--record", "--script", VAZ_EXAMPLES_DIR "m154_warmup.txt"}),
            0);
  ASSERT_EQ(histtest::run({histtest::vazdiag(), "report", "1", "-o", page, "--history", db}), 0);

  // Self-contained: nothing is fetched and nothing runs.
  const std::string html = histtest::readFile(page);
  for (const char *outside : {"<script", " src=", "<link", "url("}) EXPECT_EQ(count(html, outside), 0) << outside;

  ASSERT_EQ(histtest::run(chromium(dir, {"--dump-dom"}, page), dir / "dom.html"), 0);
  const std::string dom = histtest::readFile(dir.path / "dom.html");
  EXPECT_NE(dom.find("XTA21099043512345"), std::string::npos);
  EXPECT_NE(dom.find("P0102"), std::string::npos);
  EXPECT_NE(dom.find("Knock sensor 1 circuit malfunction"), std::string::npos);
  // The warm-up ticked four items: one figure each, each a chart with its marks.
  std::vector<std::string> figures;
  for (auto at = dom.find("<figure class=\"item\""); at != std::string::npos;) {
    auto end = dom.find("</figure>", at);
    ASSERT_NE(end, std::string::npos);
    figures.push_back(dom.substr(at, end - at));
    at = dom.find("<figure class=\"item\"", end);
  }
  EXPECT_EQ(figures.size(), 4u);
  for (const auto &f : figures)
    for (const char *part :
         {"<svg class=\"chart\"", "<polyline class=\"series\"", "class=\"min\"", "class=\"max\"", "class=\"mean\""})
      EXPECT_EQ(count(f, part) > 0, true) << part << " in " << f.substr(0, 80);
  for (const char *item : {"Coolant temperature", "Engine speed", "Idle air control position", "Ignition advance"})
    EXPECT_NE(dom.find("data-item=\"" + std::string(item) + "\""), std::string::npos) << item;

  const std::string png = std::string(VAZ_BUILD_DIR) + "history-report.png";
  std::filesystem::remove(png);
  ASSERT_EQ(histtest::run(chromium(
                dir, {"--screenshot=" + png, "--window-size=800,2300", "--force-device-scale-factor=0.65"}, page)),
            0);
  const std::string image = histtest::readFile(png);
  ASSERT_GT(image.size(), 10000u);
  EXPECT_EQ(image.substr(1, 3), "PNG");
}

}  // namespace
