// The shipped text library (assembled from data/ into the build): loads without a fault and holds every
// record the plug-in needs for the M1.5.4 family, with lists that add up, and every live-data name of
// every language reaches the screen, the CSV and the history with the same name and unit.
#include "history_reader.h"
#include "history_recorder.h"
#include "std_api.h"
#include "std_observer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>

namespace {

class ShippedData : public ::testing::Test {
 protected:
  // Loading checks every menu, name and command list's count against its entries.
  void SetUp() override { ASSERT_EQ(StdSetDataDir(VAZ_DATA_SOURCE_DIR), 0) << StdLastError(); }
  static std::string text(u32 id) {
    char buf[256] = {};
    GetTextFromTextLib(id, buf, sizeof buf);
    return buf;
  }
  // Record of `id` in a file, as the plug-in reads it.
  static bool record(const char *file, u32 id, std::string &out) {
    void *h = SearchIdOpenFile(file);
    if (!h) return false;
    u8 key[4];
    keyOf(id, key);
    char buf[256] = {};
    bool found = IdSearch(key, reinterpret_cast<u8 *>(buf), 255, h) != 0;
    SearchIdCloseFile(h);
    out = buf;
    return found;
  }
};

TEST_F(ShippedData, EveryMessageTitleAndStateTextIsThere) {
  const u32 ids[] = {0xFE551003, 0xFE551004, 0xFE551005, 0xFE551006, 0xFE551009, 0xFE55100B, 0xFE55100E, 0xFE55100F,
                     0xFE551010, 0xFE551011, 0xFE551014, 0xFE551016, 0xFE551017, 0xFE551018, 0xFE551019, 0xFE55101A,
                     0xFE55101C, 0xFE55101E, 0xFE55101F, 0xFE551020, 0xFE551021, 0xFE551022, 0xFE551023, 0xFE551024,
                     0xFE551025, 0xFE551026, 0xFE55102C, 0xFE55102D, 0xFE55102E, 0xFE55102F, 0xFE551030, 0xFE551031,
                     0xFE551032, 0xFE551033, 0xFE551034, 0xFE551035, 0xFE5520A1, 0xFE5520A2, 0xFE552001, 0xFE552002,
                     0xFE552003, 0xFE552004, 0xFE552011, 0xFE552094, 0xFE552095, 0xFE552096, 0xFE552097, 0xFE552098,
                     0x58030112, 0x58030113, 0x58030114};
  for (u32 id : ids) EXPECT_FALSE(text(id).empty()) << std::hex << id;
  EXPECT_EQ(text(0xFE551004), "Communication with the control unit failed");
  EXPECT_EQ(text(0xFE552001), "ON");
  EXPECT_EQ(text(0xFE552095), "RICH");
}

TEST_F(ShippedData, MenusCountTheirEntries) {
  const std::pair<u32, int> menus[] = {{0x58021000, 6}, {0x58022000, 5},  {0x58025000, 8},
                                       {0x58026000, 8}, {0x58023000, 7},  {0x58028000, 8},
                                       {0x58027000, 2}, {0x58030200, 11}, {0x58030300, 2}};
  for (auto [menu, count] : menus) {
    char buf[16] = {};
    GetTextFromTextLib(menu, buf, 16);  // as the plug-in reads a menu head
    EXPECT_EQ(std::atoi(buf), count) << std::hex << menu;
    for (int n = 0; n < count; ++n) EXPECT_FALSE(text(menu + 1 + n).empty()) << std::hex << menu + 1 + n;
    EXPECT_TRUE(text(menu + 1 + count).empty()) << std::hex << menu;
  }
  EXPECT_EQ(text(0x58025001), "Identification");
  EXPECT_EQ(text(0x58025005), "Live data");
}

TEST_F(ShippedData, NameListsCountTheirItems) {
  const std::pair<u32, int> lists[] = {
      {0x58200400, 34}, {0x58200500, 37}, {0x58200600, 5}, {0x58200700, 6}, {0x58200A00, 11}};
  const char *file = GetFileNameText(3);
  for (auto [list, count] : lists) {
    std::string head, item;
    ASSERT_TRUE(record(file, list, head)) << std::hex << list;
    EXPECT_EQ(std::atoi(head.c_str()), count) << std::hex << list;
    for (int n = 0; n < count; ++n) EXPECT_TRUE(record(file, list + 1 + n, item)) << std::hex << list + 1 + n;
    EXPECT_FALSE(record(file, list + 1 + count, item)) << std::hex << list;
  }
  std::string name;
  ASSERT_TRUE(record(file, 0x58200401, name));
  EXPECT_EQ(name,
            "Coolant temperature, \xC2\xB0"
            "C");
}

TEST_F(ShippedData, IdentificationCommandsAreKwpFrames) {
  void *h = SearchIdOpenFile("COMMAND.GAG");
  ASSERT_NE(h, nullptr);
  u8 key[4];
  u8 count = 0;
  keyOf(0x58300300, key);
  ASSERT_NE(IdSearch(key, &count, 1, h), 0);
  EXPECT_EQ(count, 11);
  for (u32 n = 0; n < count; ++n) {
    u8 frame[16] = {};
    keyOf(0x58300301 + n, key);
    ASSERT_NE(IdSearch(key, frame, 1, h), 0);
    ASSERT_NE(IdSearch(key, frame, frame[0] + 1, h), 0);
    const u8 expected[] = {0x06, 0x82, 0x10, 0xF1, 0x1A, static_cast<u8>(0x90 + n), 0x00};
    EXPECT_EQ(std::memcmp(frame, expected, sizeof expected), 0) << n;
  }
  SearchIdCloseFile(h);
}

TEST_F(ShippedData, TroubleCodeTextsCoverStoredCodesAndCurrentFaultBits) {
  const char *file = GetFileNameText(6);
  std::string t;
  ASSERT_TRUE(record(file, 0x58200102, t));
  EXPECT_EQ(t, "P0102 Mass air flow sensor circuit low input");
  for (u32 k = 9; k <= 11; ++k)
    for (u32 mask = 1; mask <= 0x80; mask <<= 1)
      EXPECT_TRUE(record(file, 0x58600000 + k * 256 + mask, t)) << std::hex << k << " " << mask;
  EXPECT_TRUE(record(file, 0x58600901, t));
  EXPECT_EQ(t, "Coolant temperature sensor fault");
}

// One list's live data as the display host tells it to its observers.
struct Heard {
  bool identification = false;
  std::vector<std::string> shown, name, unit;
};

void hear(const StdShown *e, void *context) {
  auto &heard = *static_cast<std::pair<Heard, history::HistoryRecorder *> *>(context);
  if (e->kind != STD_SHOWN_STREAM && e->kind != STD_SHOWN_IDENTIFICATION) return;
  heard.first = {e->kind == STD_SHOWN_IDENTIFICATION, {}, {}, {}};
  for (int i = 0; i < e->lineCount; ++i) {
    heard.first.shown.emplace_back(e->lines[i].name);
    heard.first.name.emplace_back(e->lines[i].item);
    heard.first.unit.emplace_back(e->lines[i].unit);
  }
  heard.second->shown(*e);
}

// The header cells of a CSV file written by the live-data recording.
std::vector<std::string> csvHeader(const std::string &path) {
  std::ifstream in(path);
  std::string line, cell;
  std::getline(in, line);
  std::vector<std::string> cells;
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"' && quoted && i + 1 < line.size() && line[i + 1] == '"')
      cell += line[++i];
    else if (line[i] == '"')
      quoted = !quoted;
    else if (line[i] == ',' && !quoted)
      cells.push_back(std::exchange(cell, ""));
    else
      cell += line[i];
  }
  cells.push_back(cell);
  return cells;
}

// Every data-stream name of every shipped language, one list at a time: the screen's name and
// unit (the observer's event, from which the terminal table and the browser read them too), the
// CSV header, the history's items and the report's chart axes say the same; and a unit is one
// word that ends the shown name, so a name such as "Operating mode (1 warm-up, 2 idle)" stays whole.
TEST_F(ShippedData, EveryLiveDataNameAgreesOnScreenCsvHistoryAndReport) {
  // Names whose split is easy to get wrong, in the table below by their shown text.
  const std::map<std::string, std::pair<std::string, std::string>> tricky = {
      {"Coolant temperature, \xC2\xB0"
       "C",
       {"Coolant temperature",
        "\xC2\xB0"
        "C"}},
      {"Operating mode (1 warm-up, 2 idle)", {"Operating mode (1 warm-up, 2 idle)", ""}},
      {"Fuel system status (1 open, 2 closed loop)", {"Fuel system status (1 open, 2 closed loop)", ""}},
      {"Running roughness, cylinder 1", {"Running roughness, cylinder 1", ""}},
      {"Mixture adaptation, second bank (not fitted)", {"Mixture adaptation, second bank (not fitted)", ""}},
      {"Idle mixture (CO) correction", {"Idle mixture (CO) correction", ""}},
      {"Fuel economy, l/100km", {"Fuel economy", "l/100km"}},
      {"Режим работы (1 прогрев, 2 холостой ход)", {"Режим работы (1 прогрев, 2 холостой ход)", ""}},
      {"Пропуски воспламенения, цилиндр 1", {"Пропуски воспламенения, цилиндр 1", ""}},
      {"Обороты двигателя, об/мин", {"Обороты двигателя", "об/мин"}},
  };
  ScratchDir out("names");
  history::HistoryWriter writer(out.str() + "/history.sqlite");
  const history::FrameLog frames;
  history::HistoryRecorder recorder(writer, {[] { return 0.0; }, frames}, true);
  std::pair<Heard, history::HistoryRecorder *> heard{{}, &recorder};
  StdSetObserver(&hear, &heard);
  std::size_t names = 0, trickySeen = 0;
  for (const auto &[language, folder] : {std::pair{"en", ""}, std::pair{"ru", "/ru"}}) {
    ASSERT_EQ(StdSetLanguage(language), 0) << StdLastError();
    // The lists as the file holds them: runs of consecutive IDs, a head with its count apart.
    std::ifstream file(std::string(VAZ_DATA_SOURCE_DIR) + folder + "/DSNAMES.TXT");
    ASSERT_TRUE(file) << language;
    std::vector<std::pair<u32, std::vector<std::string>>> lists;  // first item's ID, names
    for (std::string line; std::getline(file, line);) {
      if (line.rfind("0x", 0) != 0) continue;
      const u32 id = static_cast<u32>(std::strtoul(line.c_str(), nullptr, 16));
      const std::string text = line.substr(line.find(' ') + 1);
      if (text.find_first_not_of("0123456789") == std::string::npos)
        lists.push_back({id + 1, {}});
      else if (lists.empty() || id != lists.back().first + lists.back().second.size())
        lists.push_back({id, {text}});
      else
        lists.back().second.push_back(text);
    }
    ASSERT_GT(lists.size(), 10u) << language;
    for (const auto &[first, shown] : lists) {
      const std::string csv = out.str() + "/" + language + std::to_string(first) + ".csv";
      ASSERT_EQ(StdUseScript("back\n"), 0) << StdLastError();
      ASSERT_EQ(StdSetLogFile(csv.c_str()), 0) << StdLastError();
      writer.beginSession({"m154", 1, "m154", "", language, ""});
      InitDataStream();
      for (std::size_t n = 0; n < shown.size(); ++n) AddDataStreamItem(first + static_cast<u32>(n), "12.5");
      ShowDataStream();
      StdSetLogFile(nullptr);
      writer.endSession();
      const Heard &h = heard.first;
      ASSERT_EQ(h.shown, shown) << std::hex << first;
      if (h.identification) continue;
      const std::vector<std::string> header = csvHeader(csv);
      const auto session = history::loadSession(writer.db(), writer.session());
      ASSERT_TRUE(session);
      ASSERT_EQ(header.size(), shown.size() + 1) << std::hex << first;
      std::vector<std::pair<std::string, std::string>> items;  // as the history keeps them: once each
      for (std::size_t i = 0; i < shown.size(); ++i) {
        const std::string &name = h.name[i], &unit = h.unit[i];
        SCOPED_TRACE(shown[i]);
        ++names;
        if (auto t = tricky.find(shown[i]); t != tricky.end()) {
          ++trickySeen;
          EXPECT_EQ(name, t->second.first);
          EXPECT_EQ(unit, t->second.second);
        }
        EXPECT_EQ(unit.empty() ? name : name + ", " + unit, shown[i]);
        EXPECT_EQ(unit.find(' '), std::string::npos);
        EXPECT_EQ(std::count(name.begin(), name.end(), '('), std::count(name.begin(), name.end(), ')'));
        EXPECT_EQ(header[i + 1], unit.empty() ? name : name + " (" + unit + ")");
        if (std::find(items.begin(), items.end(), std::pair{name, unit}) == items.end()) items.emplace_back(name, unit);
      }
      ASSERT_EQ(session->series.size(), items.size()) << std::hex << first;
      for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(session->series[i].name, items[i].first);
        EXPECT_EQ(session->series[i].unit, items[i].second);
        EXPECT_EQ(session->series[i].chart.count, 1u) << items[i].first;  // 12.5 read as a number
      }
    }
  }
  StdSetObserver(nullptr, nullptr);
  EXPECT_GT(names, 1000u);
  EXPECT_GE(trickySeen, tricky.size());
}

}  // namespace
