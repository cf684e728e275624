// The scripted display host and recording vehicle interface of fake_host.h.
#include "fake_host.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>

namespace fake {

namespace {

// A runaway screen loop must end the test, not hang it.
constexpr int kMaxScreens = 5000;

const std::map<u32, const char *> kMenuCounts = {
    {0x58030200, "11"}, {0x58030500, "12"}, {0x58030900, "18"}, {0x58030B00, "13"}, {0x58030600, "19"},
    {0x58030700, "16"}, {0x58030300, "2"},  {0x58027000, "2"},  {0x5802B000, "2"},
};

int pop(std::deque<int> &q, int otherwise) {
  if (q.empty()) return otherwise;
  const int v = q.front();
  q.pop_front();
  return v;
}

std::string hex32(u32 v) {
  char b[16];
  std::snprintf(b, sizeof b, "%08X", v);
  return b;
}

int record_request(const u8 *frame, int length, u8 *answer) {
  Host &h = host();
  Bytes b(frame, frame + length);
  h.frames.push_back(b);
  h.log.push_back("send " + hex(b));
  const int r = pop(h.sendResults, 0);
  if (r >= 0) {
    // A data read answers with the permission byte at offset 12.
    answer[0] = 1;
    answer[1] = h.answerLength;
    answer[12] = h.guardByte;
  }
  return r;
}

int fake_kwp(int, u8 *answer, int, int, u8 *frame) { return record_request(frame, (frame[0] & 0x3F) + 4, answer); }

int fake_aldl(int, u8 *answer, int, int, int length, u8 *frame, int, int, int) {
  return record_request(frame, length, answer);
}

int fake_init_menu(u32 title) {
  Host &h = host();
  h.lastTitle = title;
  h.pendingItems.clear();
  return h.initMenuResult;
}

int fake_add_menu(u32 id) {
  host().pendingItems.push_back(id);
  return host().addMenuResult;
}

int fake_show_menu(short preselect, int, int) {
  Host &h = host();
  h.menus.push_back({h.lastTitle, h.pendingItems, preselect});
  h.log.push_back("menu " + (h.pendingItems.empty() ? std::string("-") : hex32(h.pendingItems.front() - 1)) + " pre " +
                  std::to_string(preselect));
  h.pendingItems.clear();
  if (++h.menuShows > kMaxScreens) {
    ADD_FAILURE() << "menu shown without end";
    throw std::runtime_error("menu loop");
  }
  return pop(h.menuChoices, -1);
}

int fake_text(u32 id, char *out, int size) {
  Host &h = host();
  std::string text = "0";
  if (!h.menuCountText.empty()) {
    text = h.menuCountText;
  } else if (auto it = kMenuCounts.find(id); it != kMenuCounts.end()) {
    text = it->second;
  }
  std::snprintf(out, static_cast<size_t>(size), "%s", text.c_str());
  return 0;
}

int fake_box(u32 text, u32 title, int style) {
  Host &h = host();
  h.boxes.push_back({text, title, style});
  h.log.push_back("box " + hex32(text) + " " + std::to_string(style));
  if (style == 3) return pop(h.confirmAnswers, 1);
  if (style == 2) return pop(h.questionAnswers, 0);
  return 0;
}

int fake_input(u32 title, u32 prompt) {
  Host &h = host();
  h.inputCalls.push_back(static_cast<int>(prompt));
  h.log.push_back("input");
  EXPECT_EQ(title, 0xFE551010u);
  EXPECT_EQ(prompt, 0xFE551021u);
  return pop(h.inputs, 0);
}

int fake_comm(u8 code, u16, void *) {
  Host &h = host();
  h.commCodes.push_back(code);
  h.log.push_back("comm " + std::to_string(code));
  return pop(h.commResults, 1);
}

int fake_init_panel(int count, ...) {
  std::vector<u32> buttons;
  va_list ap;
  va_start(ap, count);
  for (int i = 0; i < count; ++i) buttons.push_back(va_arg(ap, u32));
  va_end(ap);
  host().panels.push_back(buttons);
  return 0;
}

int fake_add_panel_item(u32 name, const char *value) {
  host().panelItems.emplace_back(name, value ? value : "");
  return host().addPanelItemResult;
}

int fake_show_panel() {
  Host &h = host();
  h.log.push_back("panel");
  if (++h.panelShows > kMaxScreens) {
    ADD_FAILURE() << "panel shown without end";
    throw std::runtime_error("panel loop");
  }
  return pop(h.panelButtons, 2);
}

char kNamesPath[] = "names.txt";
int dummyFile;

char *fake_file_name(int) { return kNamesPath; }
void *fake_open(const char *) { return &dummyFile; }
int fake_close(void *) { return 0; }
int fake_search(const u8 *key, u8 *out, int maxLength, void *) {
  const u32 id = (u32{key[0]} << 24) | (u32{key[1]} << 16) | (u32{key[2]} << 8) | key[3];
  host().nameListsLoaded.push_back(id);
  if (maxLength > 1) std::memcpy(out, "3", 1);
  return 1;
}
int fake_init_stream() { return 0; }
int fake_add_stream(u32, const char *) { return 0; }
int fake_show_stream() { return 1; }  // Back at once
int fake_init_select(u8 *) { return 0; }
int fake_add_select(u32) { return 0; }
int fake_show_select(int, u8 *) { return 1; }  // Back at once

}  // namespace

Host &host() {
  static Host h;
  return h;
}

Bytes kwp(Bytes b) {
  u8 sum = 0;
  for (u8 x : b) sum = static_cast<u8>(sum + x);
  b.push_back(sum);
  return b;
}

Bytes gm(Bytes b) {
  u8 sum = 0;
  for (u8 x : b) sum = static_cast<u8>(sum - x);
  b.push_back(sum);
  return b;
}

std::string hex(const Bytes &b) {
  std::string s;
  char t[4];
  for (u8 x : b) {
    std::snprintf(t, sizeof t, "%s%02X", s.empty() ? "" : " ", x);
    s += t;
  }
  return s;
}

void Fixture::SetUp() {
  host() = Host{};
  std::memset(&TOKEN_OLD, 0, sizeof TOKEN_OLD);
  TOKEN_OLD.wEcuVariant = 2;
  pFComm = fake_comm;
  pFCalcCD = nullptr;
  InitMenuID = fake_init_menu;
  AddMenuTextID = fake_add_menu;
  ShowMenuGetSelectedItem = fake_show_menu;
  GetTextFromTextLib = fake_text;
  ShowMessageBoxID = fake_box;
  InputIntegerID = fake_input;
  InitActiveTest = fake_init_panel;
  AddActiveTestItem = fake_add_panel_item;
  ShowActiveTestItem = fake_show_panel;
  KwpSendDataToEcuGetAnswer = fake_kwp;
  OneToOne_SendDataToEcuGetAnswer = fake_aldl;
  GetFileNameText = fake_file_name;
  SearchIdOpenFile = fake_open;
  SearchIdCloseFile = fake_close;
  IdSearch = fake_search;
  InitDataStream = fake_init_stream;
  AddDataStreamItem = fake_add_stream;
  ShowDataStream = fake_show_stream;
  InitStreamSelectedBox = fake_init_select;
  AddStreamSelectBox = fake_add_select;
  ShowStreamSelectBox = fake_show_select;
}

void Fixture::TearDown() {
  pFComm = nullptr;
  pFCalcCD = nullptr;
}

}  // namespace fake
