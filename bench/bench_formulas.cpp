// Speed of the data formulas: one pass computes every item of a Bosch data
// list from one answer, as a live-data refresh with all items ticked does.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "vaz_old.h"

namespace {

// The display host's text service stand-in: state items look their text up.
int fake_text(u32 textId, char *out, int size) {
  const char *text = (textId & 1) ? "ON" : "OFF";
  const int n = std::min<int>(static_cast<int>(std::strlen(text)), size - 1);
  std::memcpy(out, text, static_cast<std::size_t>(n));
  out[n] = '\0';
  return n;
}

// An answer of a long-form KWP2000 frame with varied data bytes, so that the
// guarded rows take both their branches across the items.
void fill_answer(u8 *answer) {
  std::mt19937 rng(1);
  for (int i = 0; i < VAZ_ANS_SIZE; ++i) answer[i] = static_cast<u8>(rng());
  answer[0] = 1;
  answer[1] = 0xC0;
  answer[2] = 0x80;
}

void run_pass(benchmark::State &state, CALC_CD_FN routine, u16 items) {
  GetTextFromTextLib = fake_text;
  u8 answer[VAZ_ANS_SIZE];
  fill_answer(answer);
  char out[sizeof CSTRING];
  for (auto _ : state) {
    for (u16 item = 1; item <= items; ++item) {
      routine(item, answer, out, 0, 0);
      benchmark::DoNotOptimize(out);
    }
  }
  state.SetItemsProcessed(state.iterations() * items);
  state.counters["items"] = items;
}

void BM_M154_Pass(benchmark::State &state) { run_pass(state, CalCd_BOSCH_M154_ENG, 34); }
void BM_M70_E3_Pass(benchmark::State &state) { run_pass(state, CalCd_BOSCH_M70_E3_ENG, 95); }

}  // namespace

BENCHMARK(BM_M154_Pass);
BENCHMARK(BM_M70_E3_Pass);

BENCHMARK_MAIN();
