// Exported line services the plug-in calls: thin C wrappers over the line of the selected
// car (simulated K line, ALDL or the generic OBD-II bus) or the serial port. A service the selected line does
// not offer fails with -1.
#include "vci_instance.h"
#include "vci_services.h"

#include <cstdio>
#include <string>

using vci::with_active;

namespace {
std::string describe(const char *name, std::initializer_list<int> args) {
  std::string s = name;
  for (int a : args) s += ' ' + std::to_string(a);
  return s;
}
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
    if constexpr (requires { l.voltage_logic(a, b); })
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
    if constexpr (requires { l.send_aldl(frame, length, answer); })
      return l.send_aldl(frame, length, answer);
    else if constexpr (requires { l.send_iso(frame, length, answer, size); })
      return l.send_iso(frame, length, answer, size);
    else
      return -1;
  });
}

VCI_EXPORT int PWM_SendDataToEcuGetAnswer(int, unsigned char *answer, int size, int, int length,
                                          unsigned char *frame) {
  return with_active([&](auto &l) {
    if constexpr (requires { l.send_pwm(frame, length, answer, size); })
      return l.send_pwm(frame, length, answer, size);
    else
      return -1;
  });
}

VCI_EXPORT int IsoInitSendDataToEcuGetAnswer(int a, int p, int q) {
  return with_active([&](auto &l) {
    if constexpr (requires { l.iso_open(a, p, q); })
      return l.iso_open(a, p, q);
    else
      return -1;
  });
}

VCI_EXPORT int IsoAddSendDataToEcuGetAnswer(int length, unsigned char *frame) {
  return with_active([&](auto &l) {
    if constexpr (requires { l.iso_add(frame, length); })
      return l.iso_add(frame, length);
    else
      return -1;
  });
}

VCI_EXPORT int IsoSendAndReceiveSendDataToEcuGetAnswer(int p, int size) {
  return with_active([&](auto &l) {
    if constexpr (requires { l.iso_send(p, size); })
      return l.iso_send(p, size);
    else
      return -1;
  });
}

// No MICAS line: this reports failure.
VCI_EXPORT int GMSendMultiFrameToECUGetAnswer(int, unsigned char *, unsigned char *, int) { return -1; }
