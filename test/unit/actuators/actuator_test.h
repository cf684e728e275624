// The actuator tests' fixture: the shared fake host with every request answered as a data
// read and the item counts of the test menus the catalogues open.
#pragma once

#include "fake_host.h"

class ActuatorTest : public PluginTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  FakeHost &h = fake;
  std::vector<Bytes> &frames = fake.frames;
};
