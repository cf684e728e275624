// Record types of the actuator catalogues and the engines that read them.
// Every actuator test is one constant record (shape, caution or guard text,
// frames, value conversion); the exported ACT_* routines only hand their record
// to the engine, and every actuator list is a record naming its member routines.
#ifndef VAZ_ACTUATORS_ACT_CATALOGUE_H
#define VAZ_ACTUATORS_ACT_CATALOGUE_H

#include <array>
#include <cstddef>
#include <optional>
#include <span>

#include "vaz_old.h"

namespace vaz::act {

// A length-prefixed request with its checksum slot; 15 bytes hold the longest
// test frame (the ALDL mode-4 request, length byte 0x0E).
struct Frame {
  std::array<u8, 15> bytes{};
  constexpr u8 length() const { return bytes[0]; }
};

// Frame bytes from the format byte (or ALDL device identifier) to the last
// data byte; the length byte and the checksum slot are added here.
template <typename... B>
constexpr Frame frame(B... b) {
  static_assert(sizeof...(b) >= 1 && sizeof...(b) <= 13, "a test frame holds 1..13 bytes");
  Frame f{};
  const u8 v[] = {static_cast<u8>(b)...};
  f.bytes[0] = static_cast<u8>(sizeof...(b) + 1);
  for (std::size_t i = 0; i < sizeof...(b); ++i) f.bytes[i + 1] = v[i];
  return f;
}

enum class Shape : u8 { Switch, GuardedSwitch, Value, GuardedValue };

// Which send routine the ECU family uses.
enum class Line : u8 { Kwp, Gm };

// How the entered number becomes the value byte.
// Every conversion but the angle gives an unsigned quantity: the entry must
// not be negative and the result must lie in 0..255.
enum class Conversion : u8 {
  None,
  Same,        // n
  Div10,       // n / 10
  Div255,      // n / 255
  Percent255,  // n * 100 / 255 in floating point
  Div12_5,     // n / 12.5 in floating point
  Div25,       // n / 25
  Times10,     // n * 10, its low 8 bits (n 0..255)
  Angle        // (66 - n) * 256 / 90, signed: -128..255 as a byte
};

inline constexpr u32 kNoText = 0;
// Warnings before a test drives fuel, ignition or the starter.
inline constexpr u32 kWarnDrive = 0xFE551036;
inline constexpr u32 kWarnStarter = 0xFE551037;
// How long "switch on" turns the starter: long enough to hear it engage and
// see the engine turn, short enough that nobody is caught by it.
inline constexpr u8 kStarterPulseSeconds = 2;

struct Test {
  Shape shape;
  Line line;
  u32 text;       // caution (style 3) of plain shapes, refusal text of guarded ones
  Frame first;    // item 0 frame, or the value template
  Frame second;   // item 1 frame (switch shapes)
  u8 valueIndex;  // value byte position in the template (value shapes)
  Conversion conversion;
  u32 warning = kNoText;  // guarded shapes: asked (style 3) before the guard is read
  u8 pulseSeconds = 0;    // item 0 lasts this long, then the output is handed back
  Frame release{};        // hands the output back to the ECU (pulsed tests)
};

// Bosch switch: the value byte is the last data byte of the template.
constexpr Test kwp_switch(u32 caution, Frame item0, Frame item1) {
  return {Shape::Switch, Line::Kwp, caution, item0, item1, 0, Conversion::None};
}
constexpr Test kwp_guarded_switch(u32 guard, Frame item0, Frame item1) {
  return {Shape::GuardedSwitch, Line::Kwp, guard, item0, item1, 0, Conversion::None};
}
constexpr Test kwp_value(u32 caution, Frame tmpl, Conversion c) {
  return {Shape::Value, Line::Kwp, caution, tmpl, {}, static_cast<u8>(tmpl.length() - 1), c};
}
constexpr Test kwp_guarded_value(u32 guard, Frame tmpl, Conversion c) {
  return {Shape::GuardedValue, Line::Kwp, guard, tmpl, {}, static_cast<u8>(tmpl.length() - 1), c};
}
constexpr Test gm_switch(Frame item0, Frame item1) {
  return {Shape::Switch, Line::Gm, kNoText, item0, item1, 0, Conversion::None};
}
// GM value byte sits anywhere among the ten data bytes: dataByte is 1-based (d1..d10).
constexpr Test gm_value(Frame tmpl, int dataByte, Conversion c) {
  return {Shape::Value, Line::Gm, kNoText, tmpl, {}, static_cast<u8>(3 + dataByte), c};
}

// A test that drives fuel, ignition or the starter asks before anything is
// sent: plain shapes through their caution, guarded ones before the guard.
constexpr Test warned(Test t, u32 warning) {
  if (t.shape == Shape::GuardedSwitch || t.shape == Shape::GuardedValue)
    t.warning = warning;
  else
    t.text = warning;
  return t;
}
// A Bosch output that must never stay on unattended (the starter): "switch on"
// drives it for the given seconds and hands it back to the ECU by its own
// return-control request; leaving the test hands it back too.
constexpr Test pulsed(Test t, u8 seconds) {
  t.pulseSeconds = seconds;
  t.release = frame(0x83, 0x10, 0xF1, 0x30, t.first.bytes[5], 0x00);
  return t;
}
using Routine = int (*)(void);

struct List {
  u32 menu;
  std::span<const Routine> members;
  bool returnControl;  // send 83 10 F1 30 01 00 when the user backs out
};

// Engines.
int run_test(const Test &test);
int run_list(const List &list);
// The value byte, or nothing when the byte cannot carry the converted number.
std::optional<u8> convert(Conversion c, int n);
// The entries a conversion takes, and the text that names them.
struct Range {
  int min, max;
  u32 text;
};
Range range_of(Conversion c);

// What became of a command: not sent or not answered, refused by the ECU
// (answer 7F), or carried out.
enum class Sent : u8 { Failed, Refused, Done };
int send(Line line, Frame &buffer);
Sent send_command(Line line, Frame &buffer);

// The catalogues, for inspection by tests of the tables themselves.
std::span<const Test> bosch_m154_tests();
std::span<const Test> bosch_m70_tests();
std::span<const Test> bosch_m797_tests();
std::span<const Test> bosch_m72_tests();
std::span<const Test> gm_isfi_tests();
std::span<const Test> gm_efi_tests();

}  // namespace vaz::act

// Expands one catalogue X-list (entries `X(routine, record)`) into the record
// table VAZ_ACT_TABLE (defined by the including file), one exported routine
// per record, and the member table `members` of its list in the same order.
#define VAZ_ACT_INDEX(name, ...) idx_##name,
#define VAZ_ACT_RECORD(name, ...) __VA_ARGS__,
#define VAZ_ACT_MEMBER(name, ...) name,
#define VAZ_ACT_ROUTINE(name, ...) \
  extern "C" VAZ_EXPORT int name(void) { return vaz::act::run_test(VAZ_ACT_TABLE[idx_##name]); }
#define VAZ_ACT_CATALOGUE(LIST, members)                                           \
  namespace {                                                                      \
  enum : int { LIST(VAZ_ACT_INDEX) };                                              \
  constexpr vaz::act::Test VAZ_ACT_TABLE[] = {LIST(VAZ_ACT_RECORD)};               \
  }                                                                                \
  LIST(VAZ_ACT_ROUTINE)                                                            \
  namespace {                                                                      \
  [[maybe_unused]] constexpr vaz::act::Routine members[] = {LIST(VAZ_ACT_MEMBER)}; \
  }

#endif
