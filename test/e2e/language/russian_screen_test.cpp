// The full-screen front end in Russian at 80x24, typed through tmux: the main
// menu, a trouble-code list, the live table with its columns lined up by
// display width, and a question box; and the fall-back to English on a
// terminal whose character set is not UTF-8.
#include "tmux_driver.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kVazdiag = std::string(VAZ_BUILD_DIR) + "vazdiag";

// The screen line holding `text`, as characters (one per column: the screen
// shows no wide ones), so that positions are display columns.
std::u32string lineWith(const std::string &screen, const std::string &text) {
  std::istringstream in(screen);
  for (std::string l; std::getline(in, l);) {
    if (l.find(text) == std::string::npos) continue;
    std::u32string out;
    for (std::size_t i = 0; i < l.size();) {
      const auto b = static_cast<unsigned char>(l[i]);
      const std::size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
      char32_t c = n == 1 ? b : b & (0x3F >> (n - 1));
      for (std::size_t k = 1; k < n && i + k < l.size(); ++k) c = (c << 6) | (l[i + k] & 0x3F);
      out += c;
      i += n;
    }
    return out;
  }
  return {};
}

std::u32string u32(const std::string &s) { return lineWith(s, s); }

// Column where `what` starts in the line, -1 when absent.
long columnOf(const std::u32string &line, const std::string &what) {
  auto at = line.find(u32(what));
  return at == std::u32string::npos ? -1 : static_cast<long>(at);
}

// Column just after the last digit before `unit` (the right edge of the value field).
long valueEnd(const std::u32string &line, const std::string &unit) {
  long u = columnOf(line, "  " + unit);
  if (u < 0) return -1;
  while (u > 0 && line[static_cast<std::size_t>(u) - 1] == U' ') --u;
  return u;
}

class RussianScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Tmux::available()) GTEST_SKIP() << "tmux is not installed (scripts/setup.sh installs it)";
    tmux = std::make_unique<Tmux>(80, 24);
  }
  std::unique_ptr<Tmux> tmux;
};

TEST_F(RussianScreen, MenuCodesLiveTableAndQuestionAt80x24) {
  Tmux &t = *tmux;
  t.type(kVazdiag + " --lang ru --ecu m154 --car-option dtc=0102,0325; echo EXIT=$?");
  ASSERT_TRUE(t.waitFor("8. Значения АЦП")) << t.screen();
  std::string s = t.screen();
  EXPECT_NE(s.find("vazdiag | Bosch M1.5.4 \u203A Выберите функцию"), std::string::npos) << s;
  for (const char *entry : {"1. Идентификация", "3. Сохранённые коды неисправностей", "5. Текущие параметры",
                            "7. Тесты исполнительных механизмов"})
    EXPECT_NE(s.find(entry), std::string::npos) << entry << "\n" << s;
  EXPECT_NE(s.find("Enter выбор"), std::string::npos) << s;

  // Stored codes: Russian texts under Russian heads, cut to the column on a character.
  t.keys("3 Enter");
  ASSERT_TRUE(t.waitFor("P0325")) << t.screen();
  s = t.screen();
  EXPECT_NE(s.find("Кодов: 2"), std::string::npos) << s;
  EXPECT_TRUE(std::regex_search(s, std::regex("Код +Описание"))) << s;
  EXPECT_EQ(s.find("Статус"), std::string::npos) << "no code has a status text\n" << s;
  EXPECT_TRUE(std::regex_search(s, std::regex("P0325 +Неисправность цепи датчика детонации 1"))) << s;
  const auto p0102 = lineWith(s, "P0102");
  EXPECT_EQ(columnOf(p0102, "Низкий"), columnOf(lineWith(s, "Описание"), "Описание")) << s;
  EXPECT_NE(s.find("Низкий уровень сигнала датчика массового расхода"), std::string::npos) << s;
  EXPECT_EQ(s.find("\xEF\xBF\xBD"), std::string::npos) << "a character cut in half:\n" << s;
  t.keys("Enter");

  // Live data: coolant temperature, throttle, engine speed, battery voltage.
  ASSERT_TRUE(t.waitFor("1. Идентификация")) << t.screen();
  t.keys("5 Enter");
  ASSERT_TRUE(t.waitFor("0 из 34 отмечено")) << t.screen();
  t.keys("1 Space 3 Space 4 Space 1 1 Space");
  ASSERT_TRUE(t.waitFor("4 из 34 отмечено")) << t.screen();
  t.keys("Enter");
  ASSERT_TRUE(t.waitFor("Макс")) << t.screen();
  s = t.screen();
  const auto head = lineWith(s, "Значение");
  ASSERT_FALSE(head.empty()) << s;
  const long valueRight = columnOf(head, "Значение") + 8;  // right-aligned head
  const long unitCol = columnOf(head, "Ед.");
  struct Item {
    const char *name;
    const char *unit;
  };
  for (const Item &it : {Item{"Температура охлаждающей", "°C"}, Item{"Положение дроссельной", "%"},
                         Item{"Обороты двигателя", "об/мин"}, Item{"Напряжение бортовой сети", "В"}}) {
    const auto row = lineWith(s, it.name);
    ASSERT_FALSE(row.empty()) << it.name << "\n" << s;
    EXPECT_EQ(columnOf(row, it.name), columnOf(head, "Параметр")) << it.name << "\n" << s;
    EXPECT_EQ(valueEnd(row, it.unit), valueRight) << it.name << "\n" << s;
    EXPECT_EQ(columnOf(row, "  " + std::string(it.unit)) + 2, unitCol) << it.name << "\n" << s;
  }
  EXPECT_EQ(s.find("\xEF\xBF\xBD"), std::string::npos) << s;

  // Back to the menu; clearing the codes asks first (No highlighted), then says it is done.
  t.keys("Escape");
  ASSERT_TRUE(t.waitFor("отмечено")) << t.screen();
  t.keys("Escape");
  ASSERT_TRUE(t.waitFor("1. Идентификация")) << t.screen();
  t.keys("4 Enter");
  ASSERT_TRUE(t.waitFor("[> Нет <]")) << t.screen();
  EXPECT_NE(t.screen().find("Стереть все коды неисправностей"), std::string::npos) << t.screen();
  t.keys("y");
  ASSERT_TRUE(t.waitFor("Коды неисправностей стёрты")) << t.screen();
  t.keys("Enter");
  ASSERT_TRUE(t.waitFor("1. Идентификация")) << t.screen();
  // Esc on the top menu asks first; the key bar offers д/н, and д answers yes.
  t.keys("Escape");
  ASSERT_TRUE(t.waitFor("Завершить сеанс?")) << t.screen();
  EXPECT_NE(t.screen().find("д/н"), std::string::npos) << t.screen();
  t.keys("-l д");
  ASSERT_TRUE(t.waitFor("EXIT=0")) << t.screen();
}

TEST_F(RussianScreen, TerminalWithoutUtf8FallsBackToEnglish) {
  Tmux &t = *tmux;
  t.type("LC_ALL=C " + kVazdiag + " --lang ru --ecu m154; echo EXIT=$?");
  ASSERT_TRUE(t.waitFor("not UTF-8")) << t.screen();
  t.keys("Enter");
  ASSERT_TRUE(t.waitFor("1. Identification")) << t.screen();
  t.keys("Escape");
  ASSERT_TRUE(t.waitFor("End the session?")) << t.screen();
  t.keys("y");
  ASSERT_TRUE(t.waitFor("EXIT=0")) << t.screen();
}

}  // namespace
