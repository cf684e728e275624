#!/usr/bin/env bash
# Cross-builds the product for armhf (32-bit ARM Linux: unsigned char, 32-bit long)
# and runs it under qemu-arm: every example script and a 100-pass live-data session per
# ECU family, each transcript, wire trace, live-data log and exit status compared byte
# for byte with the x86-64 build's run of the same session (virtual clock, so both are
# deterministic). Then makes the armhf packages from the cross build and checks them
# installed, the session under qemu-arm (scripts/check_package.sh).
# Usage: scripts/armhf.sh [--build-only] [X86_BUILD_DIR [ARMHF_BUILD_DIR]]
# (defaults build and build-armhf; the x86-64 vazdiag must be built already, except for
# --build-only, which cross-builds and stops).
set -euo pipefail
build_only=0
[ "${1:-}" = --build-only ] && { build_only=1; shift; }
top=$(cd "$(dirname "$0")/.." && pwd)
ref=$(cd "${1:-$top/build}" && pwd)
dir=${2:-$top/build-armhf}
mkdir -p "$dir" && dir=$(cd "$dir" && pwd)
start=$SECONDS
"$top/scripts/setup.sh" --armhf
[ -x "$ref/vazdiag" ] || { echo "armhf: no x86-64 vazdiag in $ref to compare with" >&2; exit 1; }

echo "== armhf cross build: $dir"
"$top/scripts/build.sh" "$dir" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/armhf.cmake" -DVAZ_BUILD_TESTS=OFF \
  -DVAZ_WERROR="${VAZ_WERROR:-ON}"
built=$SECONDS
[ "$build_only" = 1 ] && exit 0
arm-linux-gnueabihf-readelf -h "$dir/vazdiag" | grep -q 'Machine: *ARM' || { echo "armhf: $dir/vazdiag is no armhf program" >&2; exit 1; }

# Name, then vazdiag's arguments, all separated by "|"; a session's files are named after it.
sessions=(
  "m154n_tour|--ecu|m154n|--car-option|dtc=0102,0325|--script|examples/m154n_tour.txt"
  "m154_clear_codes|--ecu|m154|--car-option|dtc=0102,0325|--script|examples/m154_clear_codes.txt"
  "m154_ru_tour|--lang|ru|--ecu|m154|--car-option|dtc=0102,0325|--script|examples/m154_ru_tour.txt"
  "m154_warmup|--ecu|m154|--car-option|dtc=0102,0325|--record|--script|examples/m154_warmup.txt"
  "m154_actuators|--ecu|m154|--script|examples/m154_actuators.txt"
  "m154n_cable_tour|--ecu|m154n|--car-option|dtc=0102,0325|--car-option|faults=01 00 04|--script|examples/m154n_cable_tour.txt"
)
for ecu in m154 m154-add m154n m70-e3 m72 m797-e3 gm-efi gm-isfi; do
  sessions+=("live100_$ecu|--ecu|$ecu|--script|live100.txt")
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vazdiag-armhf.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/x86-64/examples" "$work/armhf/examples"
for side in x86-64 armhf; do
  cp "$top"/examples/*.txt "$work/$side/examples/"
  printf 'choose Live data\ntick all\nstay 100\nback\nback\n' >"$work/$side/live100.txt"
done

# One session on one side, in that side's folder, so that every path it prints is alike.
run() {
  local side=$1 name=$2; shift 2
  local program=("$ref/vazdiag") at=$work/$side status=0
  # The cross compiler's loader and C library together (see cmake/armhf.cmake).
  [ "$side" = armhf ] && program=(qemu-arm -L /usr/arm-linux-gnueabihf -E LD_LIBRARY_PATH=/usr/arm-linux-gnueabihf/lib "$dir/vazdiag")
  (cd "$at" && exec env -u LC_ALL -u LC_MESSAGES LANG=C.UTF-8 "${program[@]}" "$@" --clock virtual \
     --history "$name.sqlite" --trace "$name.trace" --log "$name.csv") >"$at/$name.out" 2>"$at/$name.err" || status=$?
  echo "$status" >"$at/$name.status"
}

failed=0
for s in "${sessions[@]}"; do
  IFS='|' read -r -a args <<<"$s"
  name=${args[0]}
  run x86-64 "${args[@]}"
  run armhf "${args[@]}"
  verdict=same
  for part in out err status trace csv; do
    a=$work/x86-64/$name.$part b=$work/armhf/$name.$part
    [ -e "$a" ] || [ -e "$b" ] || continue
    # A live-data row begins with the wall-clock time of its pass; the rest is compared.
    if [ "$part" = csv ]; then
      for f in "$a" "$b"; do cut -d, -f2- "$f" >"$f.values"; done
      a=$a.values b=$b.values
    fi
    if ! cmp -s "$a" "$b"; then
      echo "armhf: $name: the $part differs from x86-64:"
      diff "$a" "$b" | head -20 || true
      verdict=DIFFERENT
    fi
  done
  status=$(cat "$work/x86-64/$name.status")
  [ "$status" = 0 ] || { echo "armhf: $name ended with status $status: $(head -3 "$work/x86-64/$name.err")"; verdict=FAILED; }
  [ $verdict = same ] || failed=1
  printf 'armhf: %-24s %6d transcript lines, %6d trace lines: %s\n' "$name" "$(cat "$work/armhf/$name.out" 2>/dev/null | wc -l)" \
    "$(cat "$work/armhf/$name.trace" 2>/dev/null | wc -l)" "$verdict"
done
echo "armhf: build $((built - start)) s, sessions $((SECONDS - built)) s"
[ $failed = 0 ] || { echo "armhf: the armhf build differs from x86-64" >&2; exit 1; }
echo "armhf: every session byte for byte as on x86-64"

echo "== armhf packages from $dir"
"$top/scripts/package.sh" --armhf "$dir"
"$top/scripts/check_package.sh" "$dir/packages" "$ref/vazdiag" --qemu
echo "armhf: stage $((SECONDS - start)) s"
