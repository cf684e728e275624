// Fuzz target of whole plug-in sessions against a hostile ECU: DiagnoseMainOldPrtl runs
// in-process (the plug-in's objects are linked in) with the real display host playing a
// script and a vehicle interface of our own (hostile_vci/) whose every answer is the next
// chunk of the input. The plug-in finds both hosts by their bare file names, as in a
// product installation. Beyond "no crash": a session always ends, returns 1 and leaves a
// transcript.
//
// Input: byte 0: the ECU type the host passes (1..11, 11 = Bosch detection), as
// byte 0 % 11 + 1; byte 1: the number of script steps (byte 1 % 64), one byte each
// (session_script.cpp); the rest: the ECU's answers (hostile_vci/answer_chunks.cpp).
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "hostile_vci/hostile_vci.h"
#include "session_script.h"
#include "std_control.h"
#include "vaz_old.h"

namespace {

// The host context record: only these three fields are read.
constexpr std::size_t kContextSize = 3492;
constexpr std::size_t kFunctionsAt = 3476;
constexpr std::size_t kEcuTypeAt = 3488;
constexpr int kEveryFunction = 0x40000000;
constexpr std::size_t kMaxSteps = 64;

}  // namespace

// The plug-in's waits (the restart wait of the special tests, the pause between
// items) are real sleeps; a fuzzed session must not stand still.
extern "C" unsigned int sleep(unsigned int) { return 0; }
extern "C" int usleep(useconds_t) { return 0; }

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  const char *dir = std::getenv("VAZ_FUZZ_DATA_DIR");
  if (StdSetDataDir(dir != nullptr ? dir : VAZ_FUZZ_DATA_DIR) != 0) abort();
  StdSetLanguage("en");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size < 2) return 0;
  const int ecuType = data[0] % 11 + 1;
  const std::size_t steps = std::min<std::size_t>(data[1] % kMaxSteps, size - 2);
  if (StdUseScript(fuzz_session::script_text(data + 2, steps).c_str()) != 0) abort();
  HostileVciFeed(data + 2 + steps, size - 2 - steps);

  std::array<unsigned char, kContextSize> context{};
  std::memcpy(&context[kFunctionsAt], &kEveryFunction, sizeof kEveryFunction);
  std::memcpy(&context[kEcuTypeAt], &ecuType, sizeof ecuType);
  const int returned = DiagnoseMainOldPrtl(context.data());
  StdEndSession();
  // VAZ_FUZZ_SHOW=1: print what the session showed (replaying one input by hand).
  if (std::getenv("VAZ_FUZZ_SHOW") != nullptr)
    std::fprintf(stderr, "ECU type %d, %d requests\n%s\n", ecuType, HostileVciRequests(), StdTranscript());
  HostileVciFeed(nullptr, 0);

  if (returned != 1) abort();
  if (StdTranscript()[0] == '\0') abort();  // every session shows at least one screen
  return 0;
}
