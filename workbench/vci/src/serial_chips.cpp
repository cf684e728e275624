// Chip lookup and the rates a fixed-rate chip really produces.
#include "serial_chips.h"

#include <climits>
#include <cmath>
#include <iterator>

namespace vci {
namespace {

// The old CP210x parts divide a fixed clock into a fixed set of rates; the kernel maps a
// request to the first row whose upper bound reaches it and sets that row's rate.
struct RateRow {
  unsigned rate;
  unsigned high;
};
constexpr RateRow kCp210xRates[] = {
    {300, 300},       {600, 600},       {1200, 1200},     {1800, 1800},     {2400, 2400},       {4000, 4000},
    {4800, 4803},     {7200, 7207},     {9600, 9612},     {14400, 14428},   {16000, 16062},     {19200, 19250},
    {28800, 28912},   {38400, 38601},   {51200, 51558},   {56000, 56280},   {57600, 58053},     {64000, 64111},
    {76800, 77608},   {115200, 117028}, {128000, 129347}, {153600, 156868}, {230400, 237832},   {250000, 254234},
    {256000, 273066}, {460800, 491520}, {500000, 567138}, {576000, 670254}, {921600, UINT_MAX},
};

bool names_any(std::string_view product, std::string_view marks) {
  while (!marks.empty()) {
    const auto space = marks.find(' ');
    const auto mark = marks.substr(0, space);
    if (!mark.empty() && product.find(mark) != std::string_view::npos) return true;
    if (space == std::string_view::npos) break;
    marks.remove_prefix(space + 1);
  }
  return false;
}

}  // namespace

const SerialChip *find_chip(std::string_view driver, std::string_view product) {
  for (const auto &chip : kSerialChips) {
    if (driver != chip.driver && driver != chip.tty_driver) continue;
    // A product string naming no newer part counts as the old one: clones and relabelled
    // cables are far more often the fixed-rate kind, and a wrong guess there garbles the line.
    if (chip.product_marks.empty() || names_any(product, chip.product_marks)) return &chip;
  }
  return nullptr;
}

double produced_rate(const SerialChip *chip, double requested) {
  if (chip == nullptr || !chip->fixed_rate_table) return requested;
  for (const auto &row : kCp210xRates)
    if (static_cast<double>(row.high) >= requested) return row.rate;
  return kCp210xRates[std::size(kCp210xRates) - 1].rate;
}

bool rate_within(double requested, double actual, double tolerance) {
  if (requested <= 0) return actual == requested;
  return std::fabs(actual - requested) <= tolerance * requested;
}

std::string_view break_text(BreakKind kind) {
  switch (kind) {
    case BreakKind::Real: return "real (held as long as asked)";
    case BreakKind::Faked: return "faked (a fixed ~200 ms pulse, cannot be timed)";
    case BreakKind::None: return "none";
  }
  return "none";
}

}  // namespace vci
