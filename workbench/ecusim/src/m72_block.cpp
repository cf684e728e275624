// Physical values to the bytes of the M7.2 blocks (inverse of the plug-in's formulas).
#include "ecusim/m72_block.h"

#include "ecusim/block_encoding.h"
#include "ecusim/m7_extras.h"

#include <cmath>

namespace ecusim {

using enc::byte_of;
using enc::flags;

Bytes m72_block(const M7BlockInput &in) {
  const EngineState &e = in.engine;
  enc::DRecord d(0x61, 0x01, 39);
  d.set(7, flags({e.lambda_control, e.overrun_cutoff, e.fuel_pump, e.fan, e.ac_clutch, e.idling, in.lamp,
                  e.canister_purge}));
  d.set(8, flags({e.full_load, e.knock, e.o2_warm, e.engine_warm, e.immobiliser_released, e.enrichment, e.rich,
                  e.adaptive_rich}));
  for (std::size_t k = 0; k < 4; ++k) d.set(9 + k, in.faults[k]);
  d.set(13, byte_of(e.coolant_c + 40.0));
  d.set(14, byte_of(e.air_fuel_ratio * 256.0 / 14.7 - 128.0));
  d.set(15, byte_of(e.throttle_pct));
  d.set(16, byte_of(e.rpm / 40.0));
  d.set(17, byte_of(e.rpm / 10.0));
  d.set(18, byte_of(e.iac_steps));
  d.set(19, byte_of(e.iac_desired));
  d.set(20, byte_of(e.lambda_factor * 256.0 - 128.0));
  d.set(21, enc::signed_byte(e.advance_deg, 0.5, 64.0));
  d.set(22, byte_of(e.speed_kmh));
  d.set(23, byte_of((e.battery_v - 5.2) * 20.0));
  // Desired idle speed in 40 rpm steps (counted in tens); the two low bits are the idle-raise
  // requests of the A/C (bit 0) and of a heavy electrical load (bit 1).
  const auto idle = static_cast<unsigned>(std::floor(e.target_rpm / 40.0)) * 4u;
  d.set(24, static_cast<std::uint8_t>(std::min(idle, 252u) | (e.ac_clutch ? 1u : 0u)));
  d.set(25, byte_of(e.o2_v * 256.0 / 1.25));
  d.set(26, e.lambda_control ? 0x02 : 0x01);  // fuel system status: closed / open loop
  d.be16(27, e.injection_ms * 125.0);
  d.be16(29, e.air_flow_kgh * 10.0);
  d.be16(31, e.air_per_cycle_mg * 6.0);
  d.be16(33, e.fuel_lh * 50.0);
  d.be16(35, e.economy_l100km * 128.0);
  d.be16(37, e.status_word);
  d.set(39, byte_of(intake_air_c(e) + 40.0));
  return d.service();
}

Bytes m72_converter_block(const EngineState &e) {
  enc::DRecord d(0x61, 0x03, 15);
  std::size_t k = 5;
  for (double v : {e.adc_coolant_v, e.adc_air_flow_v, e.adc_throttle_v, e.adc_battery_v, e.adc_o2_v, e.adc_knock_v})
    d.set(k++, byte_of(v * 256.0 / 5.0));
  // D11 .. D14: inputs this ECU does not use (0).
  d.set(15, byte_of(ntc_sensor_v(intake_air_c(e)) * 256.0 / 5.0));
  return d.service();
}

}  // namespace ecusim
