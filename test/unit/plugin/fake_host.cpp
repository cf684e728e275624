// The fake display host and vehicle interface behind the unit tests.
#include "fake_host.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <stdexcept>

FakeHost fake;

namespace {

// A runaway screen loop must end the test, not hang it.
constexpr int kMaxScreens = 5000;

void log(const char *format, ...) {
  char line[600];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  fake.calls.emplace_back(line);
}

template <typename T>
T pop(std::deque<T> &queue, T fallback) {
  if (queue.empty()) return fallback;
  T value = queue.front();
  queue.pop_front();
  return value;
}

void count_screen(int &shows, const char *what) {
  if (++shows > kMaxScreens) {
    ADD_FAILURE() << what << " shown without end";
    throw std::runtime_error(what);
  }
}

// Records the request and fills the answer buffer from the queue or as a data read.
int request(const u8 *frame, int length, std::deque<Bytes> &answers, std::deque<int> &results, u8 *answer) {
  fake.frames.emplace_back(frame, frame + length);
  const int result = pop(results, 1);
  if (!answers.empty()) {
    if (!answers.front().empty()) std::memcpy(answer, answers.front().data(), answers.front().size());
    answers.pop_front();
  } else if (fake.dataReadAnswers && result >= 0) {
    answer[0] = 1;
    answer[1] = fake.answerLength;
    answer[12] = fake.guardByte;
  }
  return result;
}

int f_box(u32 text, u32 title, int style) {
  log("Box %08X %08X %d", text, title, style);
  fake.boxes.push_back({text, title, style});
  if (style == VAZ_BOX_CONFIRM) return pop(fake.confirmAnswers, 0);
  if (style == VAZ_BOX_QUESTION) return pop(fake.questionAnswers, 0);
  return 0;
}
int f_init_menu(u32 title) {
  log("InitMenu %08X", title);
  fake.lastTitle = title;
  fake.pendingItems.clear();
  return fake.initMenuResult;
}
int f_add_menu(u32 id) {
  log("AddMenu %08X", id);
  fake.pendingItems.push_back(id);
  return fake.addMenuResult;
}
int f_show_menu(short preselect, int a, int b) {
  log("ShowMenu %d %d %d", preselect, a, b);
  fake.menus.push_back({fake.lastTitle, fake.pendingItems, preselect});
  fake.pendingItems.clear();
  count_screen(fake.menuShows, "menu");
  return pop(fake.menuChoices, -1);
}
int f_text(u32 id, char *out, int size) {
  const auto it = fake.texts.find(id);
  std::snprintf(out, static_cast<size_t>(size), "%s",
                it == fake.texts.end() ? fake.otherText.c_str() : it->second.c_str());
  return 0;
}
int f_input(u32 title, u32 prompt) {
  log("Input %08X %08X", title, prompt);
  fake.inputCalls.push_back(static_cast<int>(prompt));
  return pop(fake.inputs, 0);
}
int f_init_panel(int count, ...) {
  std::vector<u32> buttons;
  va_list ap;
  va_start(ap, count);
  for (int i = 0; i < count; ++i) buttons.push_back(va_arg(ap, u32));
  va_end(ap);
  log("InitPanel %d", count);
  fake.panels.push_back(buttons);
  return 0;
}
int f_add_panel_item(u32 name, const char *value) {
  log("AddPanelItem %08X %s", name, value ? value : "");
  fake.panelItems.emplace_back(name, value ? value : "");
  return fake.addPanelItemResult;
}
int f_show_panel() {
  log("ShowPanel");
  count_screen(fake.panelShows, "panel");
  return pop(fake.panelButtons, 2);
}
int f_init_stream() {
  log("InitStream");
  return 0;
}
int f_add_item(u32 id, const char *value) {
  log("AddItem %08X %s", id, value);
  return fake.itemsAdded++ == fake.refuseItemAt ? 1 : 0;
}
int f_show_stream() {
  log("ShowStream");
  return pop(fake.streamShows, 1);
}
int f_init_select(u8 *) {
  log("InitSelect");
  return 0;
}
int f_add_select(u32 id) {
  log("AddSelect %08X", id);
  return 0;
}
int f_show_select(int reserved, u8 *bitmap) {
  log("ShowSelect");
  if (fake.selections.empty()) return 1;
  for (int n : fake.selections.front()) bitmap[n / 8] |= static_cast<u8>(0x80 >> (n % 8));
  fake.selections.pop_front();
  return 0;
}
int f_init_codes() {
  log("InitCodes");
  return 0;
}
int f_add_code(u32 code, u32 state) {
  log("AddCode %08X %08X", code, state);
  return 0;
}
int f_show_codes() {
  log("ShowCodes");
  return 0;
}
char *f_file_name(int kind) {
  log("FileName %d", kind);
  return fake.dataStreamPath.data();
}
void *f_open(const char *path) {
  log("Open %s", path);
  return &fake;
}
int f_search(const u8 *key, u8 *out, int max, void *) {
  const u32 id = static_cast<u32>(key[0]) << 24 | key[1] << 16 | key[2] << 8 | key[3];
  log("Search %08X %d", id, max);
  fake.nameListsLoaded.push_back(id);
  const auto it = fake.records.find(id);
  const Bytes *record = it != fake.records.end() ? &it->second : fake.otherRecord ? &*fake.otherRecord : nullptr;
  if (record == nullptr) return 0;
  std::memcpy(out, record->data(), std::min<size_t>(record->size(), static_cast<size_t>(max)));
  return 1;
}
int f_close(void *) {
  log("Close");
  return 0;
}

int f_select_pin(u8 connector, int a, int b, int c, int d) {
  log("SelectPIN %d %d %d %d %d", connector, a, b, c, d);
  return fake.selectPinResult;
}
int f_enable_l(int on) {
  log("EnableLLine %d", on);
  return 0;
}
int f_begin() {
  log("Begin");
  return 0;
}
int f_end() {
  log("End");
  return 1;
}
int f_wait(int ms) {
  log("WaitTime %d", ms);
  return 0;
}
int f_volt_logic(int a, int b) {
  log("VoltLogic %d %d", a, b);
  return 0;
}
int f_baud(float baud) {
  log("Baud %g", static_cast<double>(baud));
  return 0;
}
int f_param(int a, int b, int c, int d) {
  log("Param %d %d %d %d", a, b, c, d);
  return 0;
}
int f_interval(float a, int b, int c) {
  log("Interval %g %d %d", static_cast<double>(a), b, c);
  return 0;
}
int f_line_voltage(int mode, int low, int high) {
  log("LineVoltage %d %d %d", mode, low, high);
  return 0;
}
int f_kwp(int a, u8 *answer, int max, int frames, u8 *frame) {
  if (a != 0xFF || max != 100 || frames != 1) log("KWP bad arguments");
  const int length = (frame[0] & 0x3F) + 4;
  log("KWP %s", hex(frame, length).c_str());
  return request(frame, length, fake.kwpAnswers, fake.kwpResults, answer);
}
int f_one_to_one(int a, u8 *answer, int b, int c, int length, u8 *frame, int d, int e, int f) {
  if (a != 0xFF || b != 0xFF || c != 1 || d != 0 || e != 1 || f != -82) log("GM bad arguments");
  log("GM %s", hex(frame, length).c_str());
  return request(frame, length, fake.gmAnswers, fake.gmResults, answer);
}
int f_micas(int length, u8 *frame, u8 *answer, int size) {
  log("MICAS %d %s /%d", length, hex(frame, length).c_str(), size);
  if (!fake.micasAnswer.empty()) std::memcpy(answer, fake.micasAnswer.data(), fake.micasAnswer.size());
  return fake.micasResult;
}
int f_link_keep(u8 *frame, int length, int a, int b) {
  if (!frame) {
    log("LinkKeep stop %d %d %d", length, a, b);
  } else {
    log("LinkKeep %s /%d %d %d", hex(frame, length).c_str(), length, a, b);
  }
  return 0;
}

}  // namespace

std::string hex(const u8 *bytes, int n) {
  std::string out;
  char cell[4];
  for (int i = 0; i < n; ++i) {
    std::snprintf(cell, sizeof cell, i ? " %02X" : "%02X", bytes[i]);
    out += cell;
  }
  return out;
}

std::string hex(const Bytes &b) { return hex(b.data(), static_cast<int>(b.size())); }

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

int fake_comm(u8 code, u16 index, void *) {
  log("Comm %02X %u", code, index);
  fake.commCodes.push_back(code);
  return pop(fake.commResults, 1);
}

int fake_calc(u16 item, u8 *, char *out, u8, u16) {
  std::snprintf(out, 256, "v%u", item);
  return 0;
}

void install_fake_host() {
  ShowMessageBoxID = f_box;
  InitMenuID = f_init_menu;
  AddMenuTextID = f_add_menu;
  ShowMenuGetSelectedItem = f_show_menu;
  GetTextFromTextLib = f_text;
  InputIntegerID = f_input;
  InitActiveTest = f_init_panel;
  AddActiveTestItem = f_add_panel_item;
  ShowActiveTestItem = f_show_panel;
  InitDataStream = f_init_stream;
  AddDataStreamItem = f_add_item;
  ShowDataStream = f_show_stream;
  InitStreamSelectedBox = f_init_select;
  AddStreamSelectBox = f_add_select;
  ShowStreamSelectBox = f_show_select;
  InitTroubleCode = f_init_codes;
  AddTroubleCode = f_add_code;
  ShowTroubleCode = f_show_codes;
  GetFileNameText = f_file_name;
  SearchIdOpenFile = f_open;
  IdSearch = f_search;
  SearchIdCloseFile = f_close;
  SelectPIN = f_select_pin;
  EnableLLine = f_enable_l;
  BeginCombination = f_begin;
  EndCombination = f_end;
  SetCommunicationMaximumWaitTime = f_wait;
  SetEcuCommunicationVoltageLogic = f_volt_logic;
  SetEcuBaudRate = f_baud;
  SetCommunicationParameter = f_param;
  SetEcuCommTimeInterval = f_interval;
  SetCommunicationLineVoltage = f_line_voltage;
  KwpSendDataToEcuGetAnswer = f_kwp;
  OneToOne_SendDataToEcuGetAnswer = f_one_to_one;
  GMSendMultiFrameToECUGetAnswer = f_micas;
  SetLinkKeep = f_link_keep;
}

void clear_host_slots() {
#define VAZ_CLEAR_SLOT(name) name = nullptr;
  VAZ_LIST_A(VAZ_CLEAR_SLOT)
  VAZ_LIST_B(VAZ_CLEAR_SLOT)
  VAZ_LIST_C(VAZ_CLEAR_SLOT)
  VAZ_LIST_EXTRA(VAZ_CLEAR_SLOT)
#undef VAZ_CLEAR_SLOT
}

void PluginTest::SetUp() {
  fake = FakeHost{};
  clear_host_slots();
  install_fake_host();
  std::memset(&TOKEN_OLD, 0, sizeof TOKEN_OLD);
  std::memset(CSTRING, 0, sizeof CSTRING);
  pFComm = nullptr;
  pFCalcCD = nullptr;
  pFCalcDTC = nullptr;
  OldConnectType = 0;
  iFuncConfig_vaz = 0x40000000;
}

void PluginTest::TearDown() { clear_host_slots(); }
