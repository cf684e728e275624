// Test fixture for the ALDL line: a reset interface on the virtual clock with a GM car, and
// helpers that drive the exported services the way the plug-in's GM connection does.
#pragma once

#include "vci_control.h"
#include "vci_services.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using AldlBytes = std::vector<std::uint8_t>;

// Appends the ALDL checksum (two's complement of the byte sum).
AldlBytes aldl_sum(AldlBytes frame);

class AldlTest : public ::testing::Test {
 protected:
  void TearDown() override { VciReset(); }

  void start(const char *car, bool idle_fixed = true);    // reset, virtual clock, car
  void open_line(float baud = 8227.0f, int logic_a = 0);  // the GM connection's settings
  int send(const AldlBytes &frame);                       // as given, checksum included
  int request(const AldlBytes &frame) { return send(aldl_sum(frame)); }
  AldlBytes answer_frame() const { return AldlBytes(ans + 2, ans + 2 + ans[1]); }
  std::string trace() const { return VciTraceText(); }

  unsigned char ans[344 + 16];
};

inline const AldlBytes kIsfiRead{0xF4, 0x57, 0x01, 0x00};
inline const AldlBytes kEfiRead{0xF4, 0x56, 0x01};
