// Reading an ELM327's replies: status texts by table, hex lines into checksummed frames.
#include "elm327_reply.h"

#include "wire_assembler.h"

#include "ecusim/kwp_frame.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace vci {
namespace {

struct StatusRow {
  std::string_view text;  // how the line begins
  ReplyKind kind;
};

// Longer texts before the shorter ones they begin with ("BUS INIT: ...ERROR" before
// "BUS INIT"); "<DATA ERROR" and "DATA ERROR" alike.
constexpr std::array kStatus{
    StatusRow{"NO DATA", ReplyKind::NoData},
    StatusRow{"?", ReplyKind::Refused},
    StatusRow{"STOPPED", ReplyKind::Repeat},
    StatusRow{"BUFFER FULL", ReplyKind::Repeat},
    StatusRow{"<DATA ERROR", ReplyKind::Repeat},
    StatusRow{"DATA ERROR", ReplyKind::Repeat},
    StatusRow{"<RX ERROR", ReplyKind::Repeat},
    StatusRow{"RX ERROR", ReplyKind::Repeat},
    StatusRow{"BUS ERROR", ReplyKind::BusFault},
    StatusRow{"BUS BUSY", ReplyKind::BusFault},
    StatusRow{"CAN ERROR", ReplyKind::BusFault},
    StatusRow{"FB ERROR", ReplyKind::BusFault},
    StatusRow{"UNABLE TO CONNECT", ReplyKind::InitFailed},
    StatusRow{"LV RESET", ReplyKind::Reset},
    StatusRow{"ELM327", ReplyKind::Reset},
    StatusRow{"OK", ReplyKind::Ok},
};

bool starts_with(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Bytes of a hex line ("83F110C1EF8FC3" or "83 F1 10 ..."); empty when it is none.
AdapterFrame hex_line(std::string_view line) {
  AdapterFrame out;
  int high = -1;
  for (char c : line) {
    if (c == ' ') continue;
    const int d = hex_digit(c);
    if (d < 0) return {};
    if (high < 0) {
      high = d;
    } else {
      out.push_back(static_cast<std::uint8_t>(high << 4 | d));
      high = -1;
    }
  }
  if (high >= 0) return {};
  return out;
}

}  // namespace

const char *const kNoEcuAdvice =
    "the adapter's fast init got no answer from the control unit: check that the ignition is on, the adapter "
    "sits firmly in the diagnostic connector, and --ecu names this car's unit";

const char *const kNoAldl =
    "an ELM327 adapter has no ALDL protocol: the GM ISFI and EFI units need an ALDL cable (8192 baud) on --port";

std::vector<std::string> reply_lines(std::string_view text) {
  std::vector<std::string> lines;
  std::string cur;
  for (char c : text) {
    if (c == '\r' || c == '\n') {
      if (!cur.empty()) lines.push_back(cur);
      cur.clear();
    } else if (c != '>' && c != '\0') {
      cur += c;
    }
  }
  if (!cur.empty()) lines.push_back(cur);
  for (std::string &l : lines) {
    while (!l.empty() && l.back() == ' ') l.pop_back();
    l.erase(0, std::min(l.find_first_not_of(' '), l.size()));
  }
  std::erase_if(lines, [](const std::string &l) { return l.empty(); });
  return lines;
}

bool is_response_pending(const AdapterFrame &f) {
  if (f.empty()) return false;
  const std::size_t at = frames::kwp::header_size(f[0]);
  return f.size() >= at + 4 && f[at] == frames::kwp::kNegativeResponse && f[at + 2] == frames::kwp::kResponsePending;
}

AdapterReply read_reply(const std::vector<std::string> &lines) {
  AdapterReply r;
  r.lines = lines;
  bool pending = false;
  for (const std::string &line : lines) {
    // The adapter's own progress notes: the fast init that went with the request.
    if (starts_with(line, "SEARCHING")) continue;
    if (starts_with(line, "BUS INIT")) {
      if (line.find("ERROR") != std::string::npos) {
        r.kind = ReplyKind::InitFailed;
        r.status = line;
        return r;
      }
      continue;
    }
    const AdapterFrame f = hex_line(line);
    const int size = f.empty() ? -1 : static_cast<int>(kwp_frame_size(f.data(), f.size()));
    if (!f.empty() && size == static_cast<int>(f.size())) {
      if (ecusim::checksum(f.data(), f.size() - 1) != f.back()) {
        r.frames.clear();
        r.kind = ReplyKind::Repeat;
        r.status = "checksum wrong: " + line;
        return r;
      }
      if (is_response_pending(f)) {
        pending = true;
        r.pending.push_back(f);
        continue;
      }
      r.frames.push_back(f);
      continue;
    }
    for (const StatusRow &row : kStatus) {
      if (!starts_with(line, row.text)) continue;
      if (row.kind == ReplyKind::Ok && !r.frames.empty()) break;
      r.kind = row.kind;
      r.status = line;
      if (row.kind == ReplyKind::Ok) break;
      r.frames.clear();  // a status after frames spoils them all
      return r;
    }
    if (r.kind == ReplyKind::Ok) continue;
    // Hex of a length its format byte does not give: a frame cut short (a print buffer
    // that overflowed, long answers not allowed).
    if (!f.empty()) {
      r.frames.clear();
      r.kind = ReplyKind::Repeat;
      r.status = "frame of the wrong length: " + line;
      return r;
    }
  }
  if (!r.frames.empty()) {
    r.kind = ReplyKind::Frames;
    r.status.clear();
  } else if (pending) {
    r.kind = ReplyKind::Pending;
  }
  return r;
}

}  // namespace vci
