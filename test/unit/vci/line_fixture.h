// Test fixture: a reset interface on the virtual clock with a car on the line, and helpers
// that drive the exported services the way the plug-in does.
#pragma once

#include "vci_control.h"
#include "vci_services.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Appends the KWP2000 checksum.
Bytes with_checksum(Bytes frame);
int count_of(const std::string &text, const std::string &what);

class LineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  void open_line(float baud = 10416.0f);       // SelectPIN + the plug-in's settings batch
  int fast_init(int low = 25, int high = 25);  // pattern + StartCommunication, in a batch
  int send(const Bytes &frame);                // frame with its checksum
  int request(const Bytes &frame) { return send(with_checksum(frame)); }
  void arm_keep_alive();
  void connect() {
    open_line();
    ASSERT_GT(fast_init(), 0);
  }
  // The first answer frame of the last request (length byte taken into account).
  Bytes answer_frame() const;
  std::string trace() const { return VciTraceText(); }

  unsigned char ans[344 + 16];
};
