// Taking outputs over and handing them back: the requests 30, 31 and 32 of the Bosch ECUs.
#include "ecusim/output_control.h"

#include "ecusim/kwp_ecu.h"

#include <algorithm>

namespace ecusim {
namespace {

constexpr std::uint8_t kRequestOutOfRange = 0x31;
constexpr std::uint8_t kReturnControl = 0x00;
constexpr std::uint8_t kEveryOutput = 0x01;  // 30 01 00 hands back all, not only output 01
constexpr std::uint8_t kTestRoutine = 0x10;

const OutputRow *find(std::span<const OutputRow> rows, std::uint8_t id) {
  auto it = std::find_if(rows.begin(), rows.end(), [id](const OutputRow &r) { return r.id == id; });
  return it == rows.end() ? nullptr : &*it;
}

Bytes echo(const Bytes &r) {
  Bytes a(r);
  a[0] = static_cast<std::uint8_t>(r[0] + 0x40);
  return a;
}

Bytes refuse(std::uint8_t sid, std::uint8_t nrc) { return Bytes{0x7F, sid, nrc}; }

// The state a switched output holds: cut-off effects hold "cut" as state 00.
constexpr std::uint8_t kOff = 0x00, kOn = 0x01;

}  // namespace

void OutputControl::release_all() {
  held_.clear();
  held_routines_.clear();
}

Bytes OutputControl::io_control(const Bytes &r) {
  if (r.size() < 3) return refuse(0x30, kSubFunctionNotSupported);
  const std::uint8_t id = r[1], parameter = r[2];
  if (parameter == kReturnControl) {
    if (r.size() != 3) return refuse(0x30, kSubFunctionNotSupported);
    if (id == kEveryOutput)
      release_all();
    else if (find(outputs_, id))
      held_.erase(id);
    else
      return refuse(0x30, kRequestOutOfRange);
    return echo(r);
  }
  if (r.size() != 4) return refuse(0x30, kSubFunctionNotSupported);
  const OutputRow *row = find(outputs_, id);
  if (!row) return refuse(0x30, kRequestOutOfRange);
  held_[id] = Held{row->effect, row->cylinders, r[3]};
  return echo(r);
}

Bytes OutputControl::routine(const Bytes &r) {
  const std::uint8_t sid = r[0];
  if (r.size() != 5 || r[1] != kTestRoutine) return refuse(sid, kSubFunctionNotSupported);
  const OutputRow *row = find(routines_, r[2]);
  if (!row) return refuse(sid, kRequestOutOfRange);
  const bool start = sid == 0x31;
  if (!start) {
    held_routines_.erase(row->id);
  } else {
    const bool cut_off = row->effect == Effect::CutInjectors || row->effect == Effect::CutCoils;
    held_routines_[row->id] = Held{row->effect, row->cylinders, cut_off ? kOff : kOn};
  }
  return echo(r);
}

}  // namespace ecusim
