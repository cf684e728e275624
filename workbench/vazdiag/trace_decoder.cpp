// Annotation of wire traces: KWP2000 and ALDL frame layouts, checksums and
// service names come from the tables below.
#include "trace_decoder.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "workbench/printable.h"

namespace vazdiag {

namespace {

struct Named {
  std::uint8_t id;
  const char *name;
};

constexpr std::array kServices{
    Named{0x10, "StartDiagnosticSession"},
    Named{0x11, "ECUReset"},
    Named{0x12, "ReadFreezeFrameData"},
    Named{0x13, "ReadDiagnosticTroubleCodes"},
    Named{0x14, "ClearDiagnosticInformation"},
    Named{0x17, "ReadStatusOfDiagnosticTroubleCodes"},
    Named{0x18, "ReadDiagnosticTroubleCodesByStatus"},
    Named{0x1A, "ReadEcuIdentification"},
    Named{0x20, "StopDiagnosticSession"},
    Named{0x21, "ReadDataByLocalIdentifier"},
    Named{0x22, "ReadDataByCommonIdentifier"},
    Named{0x23, "ReadMemoryByAddress"},
    Named{0x27, "SecurityAccess"},
    Named{0x30, "InputOutputControlByLocalIdentifier"},
    Named{0x31, "StartRoutineByLocalIdentifier"},
    Named{0x3B, "WriteDataByLocalIdentifier"},
    Named{0x3E, "TesterPresent"},
    Named{0x81, "StartCommunication"},
    Named{0x82, "StopCommunication"},
    Named{0x83, "AccessTimingParameters"},
};

constexpr std::array kNegativeCodes{
    Named{0x10, "generalReject"},
    Named{0x11, "serviceNotSupported"},
    Named{0x12, "subFunctionNotSupported-invalidFormat"},
    Named{0x21, "busy-repeatRequest"},
    Named{0x22, "conditionsNotCorrect-requestSequenceError"},
    Named{0x23, "routineNotComplete"},
    Named{0x31, "requestOutOfRange"},
    Named{0x33, "securityAccessDenied"},
    Named{0x35, "invalidKey"},
    Named{0x78, "requestCorrectlyReceived-responsePending"},
};

constexpr std::array kAldlModes{
    Named{0x01, "read data"},
    Named{0x04, "actuator control"},
    Named{0x0A, "clear trouble codes"},
};

constexpr std::uint8_t kNegativeResponse = 0x7F;
constexpr std::uint8_t kPositiveOffset = 0x40;
constexpr std::uint8_t kAldlDevice = 0xF4;
constexpr std::uint8_t kAldlLengthBase = 0x55;

template <typename Table>
std::string lookup(const Table &table, std::uint8_t id) {
  for (const Named &n : table)
    if (n.id == id) return n.name;
  return "";
}

std::string hex(std::uint8_t b) {
  char buf[4];
  std::snprintf(buf, sizeof buf, "%02X", b);
  return buf;
}

std::string hexRun(const std::vector<std::uint8_t> &bytes, std::size_t from, std::size_t to) {
  std::string out;
  for (std::size_t i = from; i < to && i < bytes.size(); ++i) out += (out.empty() ? "" : " ") + hex(bytes[i]);
  return out;
}

std::string checksumNote(std::uint8_t got, std::uint8_t want, bool &ok) {
  ok = got == want;
  return ok ? "checksum " + hex(got) + " ok" : "checksum " + hex(got) + " WRONG, expected " + hex(want);
}

std::string sidText(std::uint8_t sid) {
  std::string name = serviceName(sid);
  return (name.empty() ? "unknown service" : name) + " (" + hex(sid) + ")";
}

FrameNote describeKwp(const std::vector<std::uint8_t> &b) {
  FrameNote n;
  // Short form: service-byte count in the format byte; long form: a length byte after the source.
  const std::size_t count = b[0] & 0x3F;
  const std::size_t header = count == 0 ? 4 : 3;
  if (b.size() < header + 1) {
    n.text = "KWP frame too short";
    return n;
  }
  const std::size_t services = count == 0 ? b[3] : count;
  if (services == 0 || b.size() != header + services + 1) {
    n.text = "KWP frame of " + std::to_string(b.size()) + " bytes, its header announces " +
             std::to_string(header + services + 1);
    return n;
  }
  std::uint8_t sum = 0;
  for (std::size_t i = 0; i + 1 < b.size(); ++i) sum = static_cast<std::uint8_t>(sum + b[i]);
  n.parsed = true;
  const std::uint8_t sid = b[header];
  std::string what;
  if (sid == kNegativeResponse) {
    std::string about = services >= 2 ? sidText(b[header + 1]) : "?";
    std::string code = services >= 3 ? hex(b[header + 2]) : "?";
    std::string codeName = services >= 3 ? lookup(kNegativeCodes, b[header + 2]) : "";
    what = "negative response to " + about + ": " + code + (codeName.empty() ? "" : " " + codeName);
  } else if (serviceName(sid).empty() && sid >= kPositiveOffset &&
             !serviceName(static_cast<std::uint8_t>(sid - kPositiveOffset)).empty()) {
    // Answers carry the request's identifier plus 0x40.
    what = "positive response to " + sidText(static_cast<std::uint8_t>(sid - kPositiveOffset));
    if (services > 1) what += ": " + hexRun(b, header + 1, b.size() - 1);
  } else {
    what = sidText(sid);
    if (services > 1) what += " " + hexRun(b, header + 1, b.size() - 1);
  }
  n.text = "KWP " + hex(b[2]) + "->" + hex(b[1]) + " " + what + "; " + checksumNote(b.back(), sum, n.checksumOk);
  return n;
}

FrameNote describeAldl(const std::vector<std::uint8_t> &b) {
  FrameNote n;
  if (b.size() < 4 || b[1] <= kAldlLengthBase) {
    n.text = "ALDL frame too short";
    return n;
  }
  const std::size_t m = b[1] - kAldlLengthBase;
  if (b.size() != m + 3) {
    n.text = "ALDL frame of " + std::to_string(b.size()) + " bytes, its length code announces " + std::to_string(m + 3);
    return n;
  }
  std::uint8_t sum = 0;
  for (std::size_t i = 0; i + 1 < b.size(); ++i) sum = static_cast<std::uint8_t>(sum - b[i]);
  n.parsed = true;
  std::string mode = lookup(kAldlModes, b[2]);
  n.text = "ALDL mode " + hex(b[2]) + (mode.empty() ? "" : " " + mode);
  if (m > 1) n.text += ": " + hexRun(b, 3, b.size() - 1);
  n.text += "; " + checksumNote(b.back(), sum, n.checksumOk);
  return n;
}

enum class LineKind { Other, Event, Frame, BadFrame };

// A trace line: a time stamp in ms, then "T>" or "E<" and hex bytes (a frame) or "--" and an
// event. A frame line whose bytes are not all two hex digits each (a line cut in the middle
// of a byte, a stray word) is a frame that is not understood.
LineKind parseLine(const std::string &line, bool &toEcu, std::vector<std::uint8_t> &bytes, std::string &bad) {
  std::istringstream in(line);
  std::string stamp, dir;
  if (!(in >> stamp >> dir)) return LineKind::Other;
  char *end = nullptr;
  std::strtod(stamp.c_str(), &end);
  if (end == stamp.c_str() || *end != '\0') return LineKind::Other;
  if (dir == "--") return LineKind::Event;
  if (dir != "T>" && dir != "E<") return LineKind::Other;
  toEcu = dir == "T>";
  bytes.clear();
  std::string tok;
  while (in >> tok) {
    if (tok.size() != 2 || !std::isxdigit(static_cast<unsigned char>(tok[0])) ||
        !std::isxdigit(static_cast<unsigned char>(tok[1]))) {
      bad = tok;
      return LineKind::BadFrame;
    }
    bytes.push_back(static_cast<std::uint8_t>(std::stoul(tok, nullptr, 16)));
  }
  return LineKind::Frame;
}

}  // namespace

std::string serviceName(std::uint8_t sid) { return lookup(kServices, sid); }

FrameNote describeFrame(const std::vector<std::uint8_t> &bytes, bool toEcu) {
  if (bytes.empty()) return {"empty frame", false, false};
  FrameNote n;
  if (bytes[0] == kAldlDevice)
    n = describeAldl(bytes);
  else if ((bytes[0] & 0xC0) == 0x80)
    n = describeKwp(bytes);
  else
    n.text = "unknown frame layout (first byte " + hex(bytes[0]) + ")";
  n.text = std::string(toEcu ? "tester to ECU: " : "ECU to tester: ") + n.text;
  return n;
}

bool looksLikeTrace(std::istream &in) {
  std::string line, bad;
  std::vector<std::uint8_t> bytes;
  bool toEcu = false;
  while (std::getline(in, line))
    if (parseLine(line, toEcu, bytes, bad) != LineKind::Other) return true;
  return false;
}

TraceSummary decodeTrace(std::istream &in, std::ostream &out) {
  TraceSummary sum;
  std::string line, bad, shown;
  std::vector<std::uint8_t> bytes;
  while (std::getline(in, line)) {
    shown.clear();
    workbench::append_printable(shown, line);  // a trace is text: no byte of it drives the terminal
    out << shown << "\n";
    bool toEcu = false;
    const LineKind kind = parseLine(line, toEcu, bytes, bad);
    if (kind == LineKind::BadFrame) {
      ++sum.frames;
      ++sum.unparsed;
      out << "             not understood: '" << workbench::printable(bad, 20) << "' is not a byte of two hex digits\n";
      continue;
    }
    if (kind != LineKind::Frame) continue;
    FrameNote n = describeFrame(bytes, toEcu);
    ++sum.frames;
    if (!n.parsed)
      ++sum.unparsed;
    else if (!n.checksumOk)
      ++sum.badChecksums;
    out << "             " << n.text << "\n";
  }
  out << "-- " << sum.frames << " frames, " << sum.badChecksums << " with a wrong checksum, " << sum.unparsed
      << " not understood\n";
  return sum;
}

}  // namespace vazdiag
