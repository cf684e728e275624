// The running engine: plausible values that move with the clock, deterministically.
#include "ecusim/engine_model.h"
#include "ecusim/m154_block.h"

#include <gtest/gtest.h>

namespace {

using ecusim::engine_state;
using ecusim::EngineMode;

TEST(EngineModel, WarmsUpFromTwentyToNinetyInFourMinutes) {
  EXPECT_NEAR(engine_state(EngineMode::Running, 0).coolant_c, 20.0, 0.01);
  EXPECT_NEAR(engine_state(EngineMode::Running, 240).coolant_c, 90.0, 0.01);
  EXPECT_FALSE(engine_state(EngineMode::Running, 30).lambda_control) << "oxygen sensor still cold";
  EXPECT_TRUE(engine_state(EngineMode::Running, 200).lambda_control);
}

TEST(EngineModel, FanSwitchesOnAboveNinetySevenAndCoolsDown) {
  bool was_on = false;
  int switch_ons = 0;
  for (double s = 0; s < 1200; s += 0.5) {
    auto e = engine_state(EngineMode::Running, s);
    if (e.fan && !was_on) {
      ++switch_ons;
      EXPECT_GT(e.coolant_c, 97.0) << s;
    }
    if (e.fan) { EXPECT_GT(e.coolant_c, 93.9) << s; }
    was_on = e.fan;
  }
  EXPECT_GE(switch_ons, 4);
}

TEST(EngineModel, WarmIdleStaysInRange) {
  for (double s = 300; s < 400; s += 0.37) {
    auto e = engine_state(EngineMode::Running, s);
    EXPECT_GE(e.rpm, 800) << s;
    EXPECT_LE(e.rpm, 850) << s;
    EXPECT_GE(e.battery_v, 13.8) << s;
    EXPECT_LE(e.battery_v, 14.2) << s;
    EXPECT_NEAR(e.air_flow_kgh, e.rpm * 9.0 / 840.0, 1e-9);
    EXPECT_TRUE(e.idling && e.engine_warm && e.fuel_pump);
  }
}

TEST(EngineModel, BlockChangesOverTimeButRepeats) {
  const ecusim::FaultBits none{0, 0, 0};
  auto at = [&](double s) {
    return ecusim::m154_data_block(engine_state(EngineMode::Running, s), none, ecusim::M154Layout::Basic);
  };
  EXPECT_NE(at(10.0), at(10.8));
  EXPECT_EQ(at(123.4), at(123.4));
  EXPECT_EQ(at(0).size(), 34u);
  EXPECT_EQ(ecusim::m154_data_block(engine_state(EngineMode::Running, 0), none, ecusim::M154Layout::N).size(), 36u);
}

}  // namespace
