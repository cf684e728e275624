// Annotation of wire traces: KWP2000 and ALDL frame layouts, checksums and service names
// come from the workbench's frame module.
#include "trace_decoder.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "frames/aldl_frame.h"
#include "frames/kwp_frame.h"
#include "workbench/printable.h"

namespace vazdiag {

namespace {

namespace kwp = frames::kwp;
namespace aldl = frames::aldl;

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
  const kwp::Header h = kwp::header(b.data(), b.size());
  if (!h.complete || b.size() < h.size + 1) {
    n.text = "KWP frame too short";
    return n;
  }
  const std::size_t header = h.size, services = h.data;
  if (services == 0 || b.size() != h.frame_size()) {
    n.text =
        "KWP frame of " + std::to_string(b.size()) + " bytes, its header announces " + std::to_string(h.frame_size());
    return n;
  }
  const std::uint8_t sum = kwp::checksum(b.data(), b.size() - 1);
  n.parsed = true;
  const std::uint8_t sid = b[header];
  std::string what;
  if (sid == kwp::kNegativeResponse) {
    std::string about = services >= 2 ? sidText(b[header + 1]) : "?";
    std::string code = services >= 3 ? hex(b[header + 2]) : "?";
    std::string codeName = services >= 3 ? std::string(kwp::negative_code_name(b[header + 2])) : "";
    what = "negative response to " + about + ": " + code + (codeName.empty() ? "" : " " + codeName);
  } else if (serviceName(sid).empty() && sid >= kwp::kPositiveOffset &&
             !serviceName(static_cast<std::uint8_t>(sid - kwp::kPositiveOffset)).empty()) {
    // Answers carry the request's identifier plus 0x40.
    what = "positive response to " + sidText(static_cast<std::uint8_t>(sid - kwp::kPositiveOffset));
    if (services > 1) what += ": " + hexRun(b, header + 1, b.size() - 1);
  } else {
    what = sidText(sid);
    if (services > 1) what += " " + hexRun(b, header + 1, b.size() - 1);
  }
  n.text = "KWP " + hex(b[kwp::kSourceAt]) + "->" + hex(b[kwp::kTargetAt]) + " " + what + "; " +
           checksumNote(b.back(), sum, n.checksumOk);
  return n;
}

FrameNote describeAldl(const std::vector<std::uint8_t> &b) {
  FrameNote n;
  const int size = aldl::frame_size(b.data(), b.size());
  if (b.size() < 4 || size < 0) {
    n.text = "ALDL frame too short";
    return n;
  }
  if (b.size() != static_cast<std::size_t>(size)) {
    n.text = "ALDL frame of " + std::to_string(b.size()) + " bytes, its length code announces " + std::to_string(size);
    return n;
  }
  const std::uint8_t sum = aldl::checksum(b.data(), b.size() - 1);
  n.parsed = true;
  const std::uint8_t m = b[aldl::kModeAt];
  const std::string mode(aldl::mode_name(m));
  n.text = "ALDL mode " + hex(m) + (mode.empty() ? "" : " " + mode);
  if (b.size() > 4) n.text += ": " + hexRun(b, 3, b.size() - 1);
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

std::string serviceName(std::uint8_t sid) { return std::string(kwp::service_name(sid)); }

FrameNote describeFrame(const std::vector<std::uint8_t> &bytes, bool toEcu) {
  if (bytes.empty()) return {"empty frame", false, false};
  FrameNote n;
  if (bytes[0] == aldl::kDevice)
    n = describeAldl(bytes);
  else if (kwp::addressing(bytes[0]) == kwp::Addressing::Physical)
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
