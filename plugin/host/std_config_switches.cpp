// Display services switched off by StdCfg.ini: a service whose key reads 0 (or
// is missing) has its slot emptied, so callers see the service as absent.
#include <array>

#include "vaz_old.h"

namespace {

struct Switch {
  const char *key;
  void (*clear)();
};

#define VAZ_SWITCH(name)              \
  Switch {                            \
#name "=", [] { name = nullptr; } \
  }

// History-recording services: present in every host of the current line, so
// only looked at when the file does not declare that line.
constexpr std::array kRecordGroup{
    VAZ_SWITCH(GetDiagProcessWay), VAZ_SWITCH(EnableHistoryRecord), VAZ_SWITCH(RecordMake),
    VAZ_SWITCH(RecordModel),       VAZ_SWITCH(RecordSubmodel),      VAZ_SWITCH(RecordEngine),
    VAZ_SWITCH(RecordYear),        VAZ_SWITCH(RecordVin),           VAZ_SWITCH(RecordSystemIDInfo),
    VAZ_SWITCH(GetSysNum),         VAZ_SWITCH(GetSystemIDInfo),     VAZ_SWITCH(RecordMenuPath),
    VAZ_SWITCH(GetMenuPath),       VAZ_SWITCH(SetCurrentMenuPath),
};

// Recording and special data-stream services: optional in every host.
constexpr std::array kSpecialGroup{
    VAZ_SWITCH(StartRecordDiagData),
    VAZ_SWITCH(StopRecordDiagData),
    VAZ_SWITCH(SetDiagFuncInfo),
    VAZ_SWITCH(InitSpecialDataStream),
    VAZ_SWITCH(SetSpecialDataStreamMainItemRange),
    VAZ_SWITCH(AddSpecialDataStreamMainItem),
    VAZ_SWITCH(AddSpecialDataStreamAttachedItem),
    VAZ_SWITCH(ShowSpecialDataStream),
};

#undef VAZ_SWITCH

constexpr const char *kStdVerKey = "StdVer=";
constexpr const char *kOkFeedbackKey = "OKFEEDBACK=";
constexpr int kCurrentLine = 1;
constexpr u16 kButtonsWithFeedback = 7;
constexpr u16 kPlainButtons = 1;

template <typename Group>
int apply(const Group &group) {
  int value = 0;
  for (const Switch &s : group) {
    value = GetStdCfgValue(s.key);
    if (value == 0) s.clear();
  }
  return value;
}

}  // namespace

extern "C" {

VAZ_EXPORT int SetStdFunctionInterfaceState(void) {
  if (GetStdCfgValue(kStdVerKey) != kCurrentLine) apply(kRecordGroup);
  return apply(kSpecialGroup);
}

VAZ_EXPORT u16 GetButtType(void) {
  if (GetStdCfgValue(kStdVerKey) == kCurrentLine) return kButtonsWithFeedback;
  if (GetStdCfgValue(kOkFeedbackKey) == 1) return kButtonsWithFeedback;
  return kPlainButtons;
}

}  // extern "C"
