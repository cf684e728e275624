// Each check of the Russian text library catches its fault: a copy of the
// built library is broken in one place and the check must name that place.
#include "language_check.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

struct Breakage {
  const char *what;
  const char *file;  // in the Russian copy
  const char *find;  // replaced once by `replace`
  const char *replace;
  const char *fault;  // expected in a fault line; "" = no fault at all
};

const Breakage kBreakages[] = {
    {"intact copy", "TEXTLIB.TXT", "", "", ""},
    {"ID missing in Russian", "DSNAMES.TXT", "0x58200402 ", "# 0x58200402 ", "0x58200402 is missing"},
    {"ID only in Russian", "TEXTLIB.TXT", "0xFE552001 ВКЛ\n", "0xFE552001 ВКЛ\n0xFE5520FF ЛИШНИЙ\n",
     "0xFE5520FF has no English counterpart"},
    {"list count differs", "DSNAMES.TXT", "0x58200400 34", "0x58200400 35",
     "list count 35 differs from the English 34"},
    {"text left in English", "DTCTEXT.TXT", "P0102 Низкий уровень сигнала датчика массового расхода воздуха",
     "P0102 Mass air flow sensor circuit low input", "holds the English word 'Mass'"},
    {"whole state text left in English", "TEXTLIB.TXT", "0xFE552001 ВКЛ", "0xFE552001 ON",
     "0xFE552001 is not translated"},
    {"state text too long", "TEXTLIB.TXT", "0xFE552001 ВКЛ", "0xFE552001 ВКЛЮЧЕНО ПОЛНОСТЬЮ", "longer than 19 bytes"},
    {"command list in Russian", "TEXTLIB.TXT", "0xFE552001 ВКЛ", "0xFE552001 [01 02]", "is a binary record"},
    {"workbench word missing in Russian", "WORDS.TXT", "0xFE5A0201 ", "# 0xFE5A0201 ", "0xFE5A0201 is missing"},
    {"workbench word left in English", "WORDS.TXT", "0xFE5A0201 Запись остановлена", "0xFE5A0201 Recording stopped",
     "0xFE5A0201 is not translated"},
};

std::string slurp(const fs::path &p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(LanguageCheck, EachCheckCatchesItsBreakage) {
  const fs::path dir = fs::temp_directory_path() / ("vaz_langcheck_" + std::to_string(getpid()));
  for (const Breakage &b : kBreakages) {
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy(VAZ_DATA_DIR "/ru", dir);
    std::string text = slurp(dir / b.file);
    if (*b.find) {
      const auto at = text.find(b.find);
      ASSERT_NE(at, std::string::npos) << b.what << ": the built library changed";
      text.replace(at, std::string(b.find).size(), b.replace);
      std::ofstream(dir / b.file, std::ios::binary) << text;
    }
    const auto faults = langcheck::compareLanguages(VAZ_DATA_DIR, dir.string());
    std::string all;
    for (const auto &f : faults) all += f + "\n";
    if (*b.fault == '\0') {
      EXPECT_TRUE(faults.empty()) << b.what << ":\n" << all;
    } else {
      EXPECT_NE(all.find(b.fault), std::string::npos) << b.what << ":\n" << all;
    }
  }
  fs::remove_all(dir);
}

TEST(LanguageCheck, CodesUnitsAndNamesAreNotEnglishWords) {
  const std::pair<const char *, std::vector<std::string>> cases[] = {
      {"P0102 Низкий уровень сигнала", {}},
      {"Найден блок управления: Bosch M1.5.4N", {}},
      {"Потенциометр CO, В", {}},
      {"Состав смеси, x10", {}},
      {"Дата (YYYYMMDD)", {}},
      {"Обороты двигателя, rpm", {"rpm"}},
      {"Engine speed", {"Engine", "speed"}},
      {"p график  r запись  Esc/Backspace назад", {}},
      {"Значений: {values}; столбцов {columns}", {}},
      {"Значений: values; Enter to leave", {"values", "to", "leave"}},
  };
  for (const auto &[text, words] : cases) EXPECT_EQ(langcheck::englishWords(text), words) << text;
}

}  // namespace
