// The fake display host and vehicle interface behind the unit tests.
#include "fake_host.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

FakeHost fake;

namespace {

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

void fill_answer(std::deque<std::vector<u8>> &answers, u8 *answer) {
  if (answers.empty()) return;
  if (!answers.front().empty()) std::memcpy(answer, answers.front().data(), answers.front().size());
  answers.pop_front();
}

int f_box(u32 text, u32 title, int style) {
  log("Box %08X %08X %d", text, title, style);
  return pop(fake.boxAnswers, 0);
}
int f_init_menu(u32 title) {
  log("InitMenu %08X", title);
  return fake.initMenuResult;
}
int f_add_menu(u32 id) {
  log("AddMenu %08X", id);
  return fake.addMenuResult;
}
int f_show_menu(short preselect, int a, int b) {
  log("ShowMenu %d %d %d", preselect, a, b);
  return pop(fake.menuChoices, -1);
}
int f_text(u32 id, char *out, int size) {
  const auto it = fake.texts.find(id);
  std::snprintf(out, static_cast<size_t>(size), "%s", it == fake.texts.end() ? "" : it->second.c_str());
  return 0;
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
  const auto it = fake.records.find(id);
  if (it == fake.records.end()) return 0;
  std::memcpy(out, it->second.data(), std::min<size_t>(it->second.size(), static_cast<size_t>(max)));
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
  log("KWP %s", hex(frame, (frame[0] & 0x3F) + 4).c_str());
  fill_answer(fake.kwpAnswers, answer);
  return pop(fake.kwpResults, 1);
}
int f_one_to_one(int a, u8 *answer, int b, int c, int length, u8 *frame, int d, int e, int f) {
  if (a != 0xFF || b != 0xFF || c != 1 || d != 0 || e != 1 || f != -82) log("GM bad arguments");
  log("GM %s", hex(frame, length).c_str());
  fill_answer(fake.gmAnswers, answer);
  return pop(fake.gmResults, 1);
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

int fake_comm(u8 code, u16 index, void *) {
  log("Comm %02X %u", code, index);
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
