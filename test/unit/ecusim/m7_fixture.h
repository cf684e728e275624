// Fixture for the M7-generation models: a car on the virtual clock, the connect sequences
// of the plug-in's M7.0 and M7.9.7 comm routines, and frame helpers addressed to the car.
#pragma once

#include "line_fixture.h"

#include <string>

// Service bytes of a positive answer to 21 lid: 61 lid, then the record.
inline Bytes block(std::uint8_t lid, const Bytes &record) {
  Bytes s;
  s.reserve(2 + record.size());  // built up front: gcc 12 warns falsely on insert into {a, b}
  s.push_back(0x61);
  s.push_back(lid);
  s.insert(s.end(), record.begin(), record.end());
  return s;
}

class M7Line : public LineTest {
 protected:
  // Selects the car (optionally with the frozen engine) and remembers its address.
  void use_car(const char *name, std::uint8_t address, bool idle_fixed = true);
  // Line settings of the plug-in's batch with the given tester byte gap interval.
  void open_line_m7(float p1);
  // Pattern (mode 2, low, high) and StartCommunication to the car's address, in one batch.
  int wake(int low, int high);
  // The M7.0 routine: 80 ms interval, pattern 26/25, session and timing through a checksummed send.
  void connect_m70();
  // The M7.9.7 routines: M1.5.4 settings, session and timing sent directly with stored checksums.
  void connect_m797();
  // The M1.5.4 routine (also M7.2): settings and wake-up only.
  void connect_plain();
  // Request to the car: format byte, car address, tester, service bytes, checksum.
  int ask(const Bytes &service);
  // The service bytes of a short or long answer frame from the car.
  Bytes answer_service() const;
  // Expected answer frame from the car in the long form.
  Bytes long_frame(const Bytes &service) const;
  Bytes short_frame(const Bytes &service) const;
  std::string answer_text(std::size_t skip = 2) const;  // service bytes after skip, as text

  std::uint8_t addr = 0x10;
};
