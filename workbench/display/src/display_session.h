// The display host's process-wide state: the text library, the chosen front
// end, and the screen being assembled by the plug-in's Init/Add calls. The
// plug-in runs one session at a time on one thread, and so does this state.
#pragma once

#include "screen_path.h"
#include "screens.h"
#include "script_front_end.h"
#include "std_control.h"
#include "stream_log.h"
#include "text_library.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

namespace stdhost {

inline constexpr int kEndedOnEcuFailure = STD_ENDED_ON_ECU_FAILURE;
inline constexpr int kEndedOnInterfaceFailure = STD_ENDED_ON_INTERFACE_FAILURE;

class DisplaySession {
 public:
  TextLibrary &library() { return library_; }
  FrontEnd &frontEnd();
  void useFrontEnd(std::unique_ptr<FrontEnd> frontEnd);
  std::string &lastError() { return lastError_; }
  // Where script front ends chosen from now on write their transcript.
  TranscriptOutput &transcriptOutput() { return transcriptOutput_; }
  // Live-data recording, fed by every data-stream pass whatever the front end.
  StreamLog &streamLog() { return streamLog_; }
  // The header's path: session title and the menu entries chosen.
  ScreenPath &path() { return path_; }

  // Text for display; an unknown ID shows as "<text 0x58200401 missing>".
  // Each looks in the file that owns such IDs first: 0x58200401 is a data
  // item's name in the name file and P0401 in the trouble-code file.
  // The references stay valid until the data directory changes; the missing-text
  // fallback is built only for an ID that is missing, once.
  const std::string &messageText(std::uint32_t id);
  const std::string &itemName(std::uint32_t id);
  // A trouble code's text; for an ID no file knows, its code (when the ID
  // carries one) and "unknown code" in the session's language.
  std::string troubleCode(std::uint32_t id);

  // Screens under construction.
  MenuScreen menu;
  SelectScreen select;
  unsigned char *selectBitmap = nullptr;
  StreamScreen stream;
  CodeScreen codes;
  PanelScreen panel;

  // Refresh passes: counted while the same screen kind repeats.
  int nextStreamPass();
  int nextPanelPass();
  // Data-stream lines are refilled in place each pass (their strings keep their room), so a
  // steady live-data pass touches no heap.
  void beginStream() { streamUsed_ = 0; }
  bool addStreamLine(const std::string &name, const char *value, std::size_t limit);
  void endStream() {
    stream.lines.resize(streamUsed_);
    stream.items.resize(streamUsed_);
  }
  std::size_t streamLines() const { return streamUsed_; }
  void otherScreen() { streamPasses_ = panelPasses_ = 0; }

  // The last screen shown reported a communication failure: the session ended on it
  // (0 none, else kEndedOnEcuFailure or kEndedOnInterfaceFailure).
  int endedOnFailure = 0;

 private:
  TextLibrary library_;
  StreamLog streamLog_;
  ScreenPath path_;  // declared before the front end, which refers to it
  std::unique_ptr<FrontEnd> frontEnd_;
  std::string lastError_;
  TranscriptOutput transcriptOutput_;
  const std::string &missing(std::uint32_t id);
  std::unordered_map<std::uint32_t, std::string> missing_;
  std::size_t streamUsed_ = 0;
  int streamPasses_ = 0;
  int panelPasses_ = 0;
};

DisplaySession &session();

}  // namespace stdhost
