// What an ELM327 adapter printed for one command line, read back into frames or into the
// one outcome each of its status texts stands for. Each text's outcome is a row of a table,
// so that every text the adapter can print has exactly one meaning here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vci {

using AdapterFrame = std::vector<std::uint8_t>;

// What the line does with a reply.
enum class ReplyKind {
  Frames,      // answer frames, every checksum right
  NoData,      // the ECU stayed silent: the request failed
  Refused,     // "?": the adapter did not take the command
  Repeat,      // the answer was lost on the adapter's side (stopped, overflow, garbled): send again
  BusFault,    // the adapter saw the bus fail: the request failed, the user is told
  InitFailed,  // the fast init got no answer: no connection
  Reset,       // the adapter restarted itself: set it up again, then send again
  Pending,     // only "response pending" (7F xx 78) came: the real answer is still to come
  Ok,          // "OK" to a setting
  Text,        // anything else (a version string, a voltage)
};

struct AdapterReply {
  ReplyKind kind = ReplyKind::Text;
  std::vector<AdapterFrame> frames;   // Frames
  std::vector<AdapterFrame> pending;  // response-pending frames seen (for the trace)
  std::string status;                 // the status text that decided it ("NO DATA", ...)
  std::vector<std::string> lines;     // every non-empty line, for the trace and for Text
};

// The lines of one reply (the text before the prompt); CR and LF both end a line.
std::vector<std::string> reply_lines(std::string_view text);

// Reads one reply to a request or setting. Hex lines are frames, with or without spaces,
// format byte to checksum; a line of hex whose checksum is wrong makes the reply a Repeat.
AdapterReply read_reply(const std::vector<std::string> &lines);

// True when 'line' is a frame "7F sid 78" (response pending) of any header form.
bool is_response_pending(const AdapterFrame &frame);

// The advice a user gets when the adapter's fast init found no ECU.
extern const char *const kNoEcuAdvice;
// Why a GM unit cannot be reached through an ELM327.
extern const char *const kNoAldl;

}  // namespace vci
