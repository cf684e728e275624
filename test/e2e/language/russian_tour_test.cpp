// vazdiag in Russian without a terminal: the scripted tour of examples/ against
// its transcript line by line, the CSV header, and how --lang and the locale
// choose the language while the command line itself stays English.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status = -1;
  std::string out;
};

// `env` is prefixed as VAR=value words; the test's own locale is cleared first.
Outcome vazdiag(const std::string &env, const std::string &args) {
  Outcome r;
  const std::string command = "env -u LC_ALL -u LC_MESSAGES -u LANG " + env + " " + std::string(VAZ_BUILD_DIR) +
                              "vazdiag " + args + " 2>&1 </dev/null";
  FILE *p = popen(command.c_str(), "r");
  if (p == nullptr) return r;
  std::array<char, 4096> buf{};
  std::size_t n = 0;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
  const int raw = pclose(p);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return r;
}

std::vector<std::string> lines(std::istream &&in) {
  std::vector<std::string> out;
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

TEST(RussianTour, TranscriptMatchesLineByLine) {
  const fs::path log = fs::temp_directory_path() / ("vazdiag_ru_" + std::to_string(getpid()) + ".csv");
  Outcome r = vazdiag("", "--lang ru --ecu m154 --car-option dtc=0102,0325 --log " + log.string() +
                              " --script " VAZ_EXAMPLES_DIR "m154_ru_tour.txt");
  ASSERT_EQ(r.status, 0) << r.out;
  const auto got = lines(std::istringstream(r.out));
  const auto want = lines(std::ifstream(VAZ_EXPECTED_DIR "m154_ru_tour.transcript"));
  ASSERT_FALSE(want.empty());
  for (std::size_t i = 0; i < std::max(got.size(), want.size()); ++i) {
    const std::string g = i < got.size() ? got[i] : "<none>", w = i < want.size() ? want[i] : "<none>";
    ASSERT_EQ(g, w) << "transcript line " << i + 1;
  }
  // The recording's header: Russian names with their units in brackets. The
  // identification fields are not recorded, so the live data has the first file.
  fs::path other = log;
  other.replace_filename(log.stem().string() + "-2.csv");
  const auto csv = lines(std::ifstream(log));
  EXPECT_FALSE(fs::exists(other));
  fs::remove(log);
  fs::remove(other);
  ASSERT_FALSE(csv.empty());
  EXPECT_EQ(csv[0],
            "time,Температура охлаждающей жидкости (°C),Положение дроссельной заслонки (%),"
            "Обороты двигателя (об/мин),Напряжение бортовой сети (В)");
}

TEST(RussianTour, OptionAndLocaleChooseTheLanguage) {
  struct Case {
    const char *env;
    const char *args;
    const char *expect;
  };
  const Case cases[] = {
      {"", "", "[menu] Select function"},
      {"LANG=ru_RU.UTF-8", "", "[menu] Выберите функцию"},
      {"LC_MESSAGES=ru_RU.UTF-8 LANG=en_GB.UTF-8", "", "[menu] Выберите функцию"},
      {"LC_ALL=C.UTF-8 LANG=ru_RU.UTF-8", "", "[menu] Select function"},
      {"LANG=ru_RU.UTF-8", "--lang en", "[menu] Select function"},
      {"LANG=C", "--lang ru", "[menu] Выберите функцию"},
      {"LANG=ru_RU.UTF-8", "--lang de", "--lang is ru or en, got 'de'"},
      {"LANG=ru_RU.UTF-8", "--help", "--lang ru|en"},
  };
  const std::string script = (fs::temp_directory_path() / ("vazdiag_ru_" + std::to_string(getpid()) + ".txt")).string();
  std::ofstream(script) << "back\n";
  for (const Case &c : cases) {
    const std::string args =
        std::string(c.args) + (std::string(c.args).rfind("--help", 0) == 0 ? "" : " --script " + script);
    Outcome r = vazdiag(c.env, args);
    EXPECT_NE(r.out.find(c.expect), std::string::npos) << c.env << " " << args << "\n" << r.out;
  }
  fs::remove(script);
}

}  // namespace
