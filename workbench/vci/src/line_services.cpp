// Exported line services the plug-in calls: thin C wrappers over the line of the selected
// car (simulated K line, ALDL or the generic OBD-II bus) or the serial port. A service the
// selected line does not offer fails with -1.
#include "vci_instance.h"
#include "vci_services.h"

#include <concepts>
#include <cstdint>
#include <cstdio>
#include <string>
#include <type_traits>

using vci::with_active;

namespace {
std::string describe(const char *name, std::initializer_list<int> args) {
  std::string s = name;
  for (int a : args) s += ' ' + std::to_string(a);
  return s;
}

template <class L>
concept HasVoltageLogic = requires(L &l, int a) {
  { l.voltage_logic(a, a) } -> std::same_as<void>;
};
template <class L>
concept HasAldl = requires(L &l, const std::uint8_t *frame, int n, std::uint8_t *answer) {
  { l.send_aldl(frame, n, answer) } -> std::same_as<int>;
};
template <class L>
concept HasIso = requires(L &l, const std::uint8_t *frame, int n, std::uint8_t *answer) {
  { l.send_iso(frame, n, answer, n) } -> std::same_as<int>;
  { l.iso_open(n, n, n) } -> std::same_as<int>;
  { l.iso_add(frame, n) } -> std::same_as<int>;
  { l.iso_send(n, n) } -> std::same_as<int>;
};
template <class L>
concept HasPwm = requires(L &l, const std::uint8_t *frame, int n, std::uint8_t *answer) {
  { l.send_pwm(frame, n, answer, n) } -> std::same_as<int>;
};

// What the line of type L offers, its claims held against its methods both ways: a claim
// without the method, or a method the line does not claim, stops the build.
template <class L>
inline constexpr vci::LineOffers offered = [] {
  static_assert(L::kOffers.voltage_logic == HasVoltageLogic<L>, "voltage_logic: claim and method disagree");
  static_assert(L::kOffers.aldl == HasAldl<L>, "send_aldl: claim and method disagree");
  static_assert(L::kOffers.iso == HasIso<L>, "ISO services: claim and methods disagree");
  static_assert(L::kOffers.pwm == HasPwm<L>, "send_pwm: claim and method disagree");
  return L::kOffers;
}();

template <class Line>
using Plain = std::remove_cvref_t<Line>;
}  // namespace

// A host that never uses the control interface gets the port its StdCfg.ini names.
VCI_EXPORT int OpenStdCommDll(void) {
  auto &v = vci::instance();
  std::lock_guard<std::recursive_mutex> g(v.lock);
  v.apply_configured_port();
  return 0;
}

VCI_EXPORT int CloseStdCommDll(void) { return 0; }

VCI_EXPORT int SelectPIN(unsigned char connector, int a, int b, int c, int d) {
  auto &v = vci::instance();
  std::lock_guard<std::recursive_mutex> g(v.lock);
  v.apply_configured_port();
  return with_active([&](auto &l) { return l.select_pin(connector, a, b, c, d); });
}

VCI_EXPORT int EnableLLine(int on) {
  return with_active([&](auto &l) {
    l.setting(on ? "L line on" : "L line off");
    return 0;
  });
}

VCI_EXPORT int BeginCombination(void) {
  return with_active([](auto &l) { return l.begin_combination(); });
}

VCI_EXPORT int EndCombination(void) {
  return with_active([](auto &l) { return l.end_combination(); });
}

VCI_EXPORT int SetCommunicationMaximumWaitTime(int ms) {
  return with_active([&](auto &l) {
    l.setting(describe("maximum wait (ms)", {ms}));
    return 0;
  });
}

VCI_EXPORT int SetEcuCommunicationVoltageLogic(int a, int b) {
  return with_active([&](auto &l) {
    if constexpr (offered<Plain<decltype(l)>>.voltage_logic)
      l.voltage_logic(a, b);
    else
      l.setting(describe("voltage logic", {a, b}));
    return 0;
  });
}

VCI_EXPORT int SetEcuBaudRate(float baud) {
  return with_active([&](auto &l) { return l.set_baud(baud); });
}

VCI_EXPORT int SetCommunicationParameter(int a, int b, int c, int d) {
  return with_active([&](auto &l) {
    l.setting(describe("byte format", {a, b, c, d}));
    return 0;
  });
}

VCI_EXPORT int SetEcuCommTimeInterval(float a, int b, int c) {
  return with_active([&](auto &l) {
    l.set_time_interval(a, b, c);
    return 0;
  });
}

VCI_EXPORT int SetCommunicationLineVoltage(int mode, int lowMs, int highMs) {
  return with_active([&](auto &l) { return l.line_voltage(mode, lowMs, highMs); });
}

VCI_EXPORT int KwpSendDataToEcuGetAnswer(int, unsigned char *answer, int, int, unsigned char *frame) {
  return with_active([&](auto &l) { return l.send(frame, answer); });
}

VCI_EXPORT int SetLinkKeep(unsigned char *frame, int length, int a, int b) {
  return with_active([&](auto &l) { return l.set_link_keep(frame, length, a, b); });
}

// ALDL requests reach the ALDL line of a GM car, ISO frames the OBD bus of an "obd-iso" car;
// on the K line there is no one-to-one service.
VCI_EXPORT int OneToOne_SendDataToEcuGetAnswer(int, unsigned char *answer, int size, int, int length,
                                               unsigned char *frame, int, int, int) {
  return with_active([&](auto &l) {
    if constexpr (offered<Plain<decltype(l)>>.aldl)
      return l.send_aldl(frame, length, answer);
    else if constexpr (offered<Plain<decltype(l)>>.iso)
      return l.send_iso(frame, length, answer, size);
    else
      return -1;
  });
}

VCI_EXPORT int PWM_SendDataToEcuGetAnswer(int, unsigned char *answer, int size, int, int length, unsigned char *frame) {
  return with_active([&](auto &l) {
    if constexpr (offered<Plain<decltype(l)>>.pwm)
      return l.send_pwm(frame, length, answer, size);
    else
      return -1;
  });
}

VCI_EXPORT int IsoInitSendDataToEcuGetAnswer(int a, int p, int q) {
  return with_active([&](auto &l) {
    if constexpr (offered<Plain<decltype(l)>>.iso)
      return l.iso_open(a, p, q);
    else
      return -1;
  });
}

VCI_EXPORT int IsoAddSendDataToEcuGetAnswer(int length, unsigned char *frame) {
  return with_active([&](auto &l) {
    if constexpr (offered<Plain<decltype(l)>>.iso)
      return l.iso_add(frame, length);
    else
      return -1;
  });
}

VCI_EXPORT int IsoSendAndReceiveSendDataToEcuGetAnswer(int p, int size) {
  return with_active([&](auto &l) {
    if constexpr (offered<Plain<decltype(l)>>.iso)
      return l.iso_send(p, size);
    else
      return -1;
  });
}

// No MICAS line: this reports failure.
VCI_EXPORT int GMSendMultiFrameToECUGetAnswer(int, unsigned char *, unsigned char *, int) { return -1; }
