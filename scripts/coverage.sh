#!/usr/bin/env bash
# Line and branch coverage of the test suite: builds build-cov with clang's source-based
# coverage (-DVAZ_COVERAGE=ON), runs every test, merges the profiles of all processes and
# prints the figures per folder of the plug-in and the workbench, then per file of the
# plug-in. Usage: scripts/coverage.sh [ctest arguments]   (VAZ_COV_DIR: build directory);
# scripts/coverage.sh --report prints the figures of the last run again.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
dir=${VAZ_COV_DIR:-build-cov}
report_only=false
if [ "${1:-}" = "--report" ]; then report_only=true; shift; fi
if ! $report_only; then
  CC=clang-14 CXX=clang++-14 cmake -S . -B "$dir" -DVAZ_COVERAGE=ON >/dev/null
  nice cmake --build "$dir" -j2 >/dev/null
  rm -rf "$dir/profiles"
  mkdir -p "$dir/profiles"
  # Every instrumented process writes into $dir/profiles (the path is built in).
  ctest --test-dir "$dir" -j2 "$@" >"$dir/coverage-ctest.log" 2>&1 ||
    echo "coverage: some tests failed (see $dir/coverage-ctest.log); figures follow anyway"
  llvm-profdata-14 merge -sparse "$dir"/profiles/*.profraw -o "$dir/coverage.profdata"
fi

objects=()
for f in "$dir"/* "$dir"/hostile_vci/*.so; do
  [ -f "$f" ] && [ -x "$f" ] && [ "$(head -c4 "$f" | tr -d '\0')" = $'\x7fELF' ] || continue
  if [ ${#objects[@]} -eq 0 ]; then objects+=("$f"); else objects+=(-object "$f"); fi
done
llvm-cov-14 report -instr-profile="$dir/coverage.profdata" "${objects[@]}" \
  -ignore-filename-regex='(^/usr/|/test/|/fuzz/|/bench/)' >"$dir/coverage-files.txt"

# Rows of llvm-cov report: file, regions (3), functions (3), lines (3), branches (3).
rows() { awk 'NF == 13 && $1 ~ /^(plugin|workbench)\/.*\.(cpp|h|c)$/' "$dir/coverage-files.txt"; }
pct='function pct(hit, all) { return all ? sprintf("%6.1f %%", 100 * hit / all) : "     -  " }'
printf "%-32s %8s %9s %8s %9s\n" folder lines covered branches covered
rows | awk "$pct"'
  { d = $1; sub("/[^/]*$", "", d); L[d] += $8; Lm[d] += $9; B[d] += $11; Bm[d] += $12 }
  END { for (d in L) printf "%-32s %8d %9s %8d %9s\n", d, L[d], pct(L[d] - Lm[d], L[d]), B[d], pct(B[d] - Bm[d], B[d]) }' | sort
rows | awk "$pct"'
  { top = $1; sub("/.*", "", top); L[top] += $8; Lm[top] += $9; B[top] += $11; Bm[top] += $12 }
  END { for (d in L) printf "%-32s %8d %9s %8d %9s\n", d " (all)", L[d], pct(L[d] - Lm[d], L[d]), B[d], pct(B[d] - Bm[d], B[d]) }' | sort
echo
printf "%-44s %8s %9s %8s %9s\n" "plug-in file" lines covered branches covered
rows | awk "$pct"'
  $1 ~ /^plugin\// { printf "%-44s %8d %9s %8d %9s\n", $1, $8, pct($8 - $9, $8), $11, pct($11 - $12, $11) }' | sort
echo
echo "per file: $dir/coverage-files.txt; uncovered lines: llvm-cov-14 show -instr-profile=$dir/coverage.profdata ${objects[0]} FILE"
