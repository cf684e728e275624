#!/usr/bin/env bash
# Line and branch coverage of the test suite: builds build-cov with clang's source-based
# coverage (-DVAZ_COVERAGE=ON), runs every test, merges the profiles of all processes and
# prints the figures per folder of the plug-in and the workbench, then per file of the
# plug-in. Usage: scripts/coverage.sh [ctest arguments]   (VAZ_COV_DIR: build directory)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
dir=${VAZ_COV_DIR:-build-cov}
CC=clang-14 CXX=clang++-14 cmake -S . -B "$dir" -DVAZ_COVERAGE=ON >/dev/null
nice cmake --build "$dir" -j2 >/dev/null
rm -rf "$dir/profiles"
mkdir -p "$dir/profiles"
# %4m: each binary merges into a pool of four files as it exits (no file per process).
LLVM_PROFILE_FILE="$root/$dir/profiles/%4m.profraw" ctest --test-dir "$dir" -j2 "$@" >"$dir/coverage-ctest.log" 2>&1 ||
  echo "coverage: some tests failed (see $dir/coverage-ctest.log); figures follow anyway"
llvm-profdata-14 merge -sparse "$dir"/profiles/*.profraw -o "$dir/coverage.profdata"

objects=()
for f in "$dir"/* "$dir"/hostile_vci/*.so; do
  [ -f "$f" ] && [ -x "$f" ] && [ "$(head -c4 "$f" | tr -d '\0')" = $'\x7fELF' ] || continue
  if [ ${#objects[@]} -eq 0 ]; then objects+=("$f"); else objects+=(-object "$f"); fi
done
llvm-cov-14 report -instr-profile="$dir/coverage.profdata" "${objects[@]}" \
  -ignore-filename-regex='(^/usr/|/test/|/fuzz/|/bench/)' >"$dir/coverage-files.txt"

# Rows of llvm-cov report: file, regions (3), functions (3), lines (3), branches (3).
awk -v root="$root/" '
  function pct(hit, all) { return all ? sprintf("%6.1f %%", 100 * hit / all) : "     - " }
  NF == 13 && $1 ~ /\.(cpp|h|c)$/ {
    f = $1; sub("^" root, "", f)
    d = f; sub("/[^/]*$", "", d)
    L[d] += $8; Lm[d] += $9; B[d] += $11; Bm[d] += $12
    if (f ~ /^plugin\//) { pf[f] = 1; fl[f] = $8; flm[f] = $9; fb[f] = $11; fbm[f] = $12 }
  }
  END {
    printf "%-32s %8s %9s %8s %9s\n", "folder", "lines", "covered", "branches", "covered"
    n = asorti(L, ds)
    for (i = 1; i <= n; ++i) { d = ds[i]
      printf "%-32s %8d %9s %8d %9s\n", d, L[d], pct(L[d] - Lm[d], L[d]), B[d], pct(B[d] - Bm[d], B[d]) }
    printf "\n%-44s %8s %9s %8s %9s\n", "plug-in file", "lines", "covered", "branches", "covered"
    n = asorti(pf, fs)
    for (i = 1; i <= n; ++i) { f = fs[i]
      printf "%-44s %8d %9s %8d %9s\n", f, fl[f], pct(fl[f] - flm[f], fl[f]), fb[f], pct(fb[f] - fbm[f], fb[f]) }
  }' "$dir/coverage-files.txt"
echo
echo "per file: $dir/coverage-files.txt; uncovered lines: llvm-cov-14 show -instr-profile=$dir/coverage.profdata ${objects[0]} FILE"
