// Fuzz target of the display host's script front end: StdUseScript parses
// arbitrary text; a script it accepts then answers a fixed tour of every
// screen kind, so that its steps are also played against screens they may not
// fit.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "std_control.h"
#include "std_services.h"

namespace {

// Screens that repeat (live data, the test panel) stop after this many passes
// even if the script keeps them open.
constexpr int kMaxPasses = 8;
constexpr int kSelectItems = 11;  // not a multiple of 8: the bitmap's last byte is partial

void play_tour() {
  InitMenuID(0xFE551020);
  for (u32 id = 0x58025001; id <= 0x58025005; ++id) AddMenuTextID(id);
  ShowMenuGetSelectedItem(0, 0, 0);

  auto bitmap = std::make_unique<u8[]>((kSelectItems + 7) / 8);
  InitStreamSelectedBox(bitmap.get());
  for (u32 i = 0; i < kSelectItems; ++i) AddStreamSelectBox(0x58200401 + i);
  ShowStreamSelectBox(0, bitmap.get());

  for (int pass = 0; pass < kMaxPasses; ++pass) {
    InitDataStream();
    AddDataStreamItem(0x58200401, "90");
    AddDataStreamItem(0x58200404, "840");
    if (ShowDataStream() != 0) break;
  }

  InitTroubleCode();
  AddTroubleCode(0x58200102, 0xFFFFFFFFu);
  AddTroubleCode(0x58200401, 0xFE551006);
  ShowTroubleCode();

  ShowMessageBoxID(0xFE551017, 0xFE55100E, 2);
  ShowMessageBoxID(0xFE551017, 0xFE55100E, 3);
  ShowMessageBoxID(0xFE551006, 0xFE551006, 5);
  InputIntegerID(0xFE551021, 0xFE551021);

  for (int pass = 0; pass < kMaxPasses; ++pass) {
    InitActiveTest(3, 0x58030112u, 0x58030113u, 0x58030114u);
    AddActiveTestItem(0x58200402, "0.3900");
    if (ShowActiveTestItem() == 3) break;  // the last button ends the panel
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  // The shipped text library, so that choices by text can match real entries.
  const char *dir = std::getenv("VAZ_FUZZ_DATA_DIR");
  StdSetDataDir(dir != nullptr ? dir : VAZ_FUZZ_DATA_DIR);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string text(reinterpret_cast<const char *>(data), size);
  if (StdUseScript(text.c_str()) != 0) {
    // A refused script must say why.
    if (StdLastError()[0] == '\0') __builtin_trap();
    return 0;
  }
  play_tour();
  play_tour();  // past the script's end: every screen gets Back
  (void)StdTranscript();
  return 0;
}
