// The USB serial chips a real K-line / ALDL cable carries, what each can do on the line
// (exact baud rates, break, latency timer), and the rate a chip really produces when its
// kernel driver rounds the requested one. Standard library only, so tools and tests can use
// it without the rest of the interface.
#pragma once

#include <array>
#include <string_view>

namespace vci {

// How the driver puts the line low: a real break is held until cleared, so the line can time
// it (fast init's 25 ms low); a faked one is a fixed pulse the caller cannot shape.
enum class BreakKind { Real, Faked, None };

struct SerialChip {
  std::string_view driver;      // kernel driver of the USB interface ("ch341")
  std::string_view tty_driver;  // driver name the tty's device link shows ("ch341-uart")
  std::string_view family;      // chips this row covers, for people
  // Space-separated words of the USB product string that select this row; a row without
  // any is the fallback for its driver, so the rows of one driver list it last.
  std::string_view product_marks;
  bool exact_baud;        // any rate comes out within rate tolerance (10400, 8192 Bd)
  bool fixed_rate_table;  // the chip only has the fixed rates of produced_rate()
  BreakKind break_kind;
  bool latency_timer;      // sysfs latency_timer next to the port
  int default_latency_ms;  // what the timer holds after plugging in; 0 without one
  std::string_view notes;
};

inline constexpr std::array<SerialChip, 6> kSerialChips{{
    {"ftdi_sio", "ftdi_sio", "FTDI FT232R / FT-X / FT232H / FT2232 / FT4232", "", true, false, BreakKind::Real, true,
     16,
     "received bytes wait in the chip up to the latency timer before going to the host; "
     "1 ms keeps answer timing visible"},
    {"ch341", "ch341-uart", "WCH CH340 / CH341", "", true, false, BreakKind::Faked, false, 0,
     "rates come from the nearest divisor (10400 Bd -> 10417 Bd); on chips without a break "
     "register the driver fakes break with a NUL byte at 46 Bd (about 200 ms low), and user "
     "space cannot tell which kind it got"},
    {"cp210x", "cp210x", "Silicon Labs CP2102N / CP2104 / CP2105 / CP2108", "CP2102N CP2104 CP2105 CP2108", true, false,
     BreakKind::Real, false, 0, "any rate from a 48 MHz divisor"},
    {"cp210x", "cp210x", "Silicon Labs CP2101 / CP2102 / CP2103", "", false, true, BreakKind::Real, false, 0,
     "a fixed clock divided into a fixed set of rates, none near 10400 or 8192 Bd: use a "
     "CP2102N, FTDI or CH340 cable"},
    {"pl2303", "pl2303", "Prolific PL2303 (HX / HXD / TA / TB / G)", "", true, false, BreakKind::Real, false, 0,
     "the oldest PL2303 (type H) only has standard rates; the rate the kernel reports back "
     "tells"},
    {"cdc_acm", "cdc_acm", "USB CDC-ACM device (microcontroller adapter)", "", true, false, BreakKind::None, false, 0,
     "the rate goes to the device firmware as is; break only reaches devices that announce "
     "it, which most adapters do not"},
}};

// The row for a kernel driver name (either name of a row) and the USB product string; null
// for a driver that is not a USB serial chip we know.
const SerialChip *find_chip(std::string_view driver, std::string_view product = {});

// The rate the chip puts on the wire for a requested one. Chips that only have a fixed table
// round as their kernel driver does; the rest produce what was asked (a null chip too), and
// the rate the kernel reports back after setting decides.
double produced_rate(const SerialChip *chip, double requested);

// True when actual is within tolerance (relative) of requested.
bool rate_within(double requested, double actual, double tolerance = 0.005);

std::string_view break_text(BreakKind kind);

}  // namespace vci
