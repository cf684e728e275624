#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs an example session with the
# installed vazdiag, from a directory outside the build tree: its transcript and wire
# trace must equal those of the build tree's vazdiag, and --version must name the
# project version for both the program and the plug-in.
# Usage: install_session.sh CMAKE BUILD_DIR SCRIPT VERSION
set -euo pipefail
cmake=$1 build=$2 script=$3 version=$4
tmp=$(mktemp -d "${TMPDIR:-/tmp}/vazdiag-install.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
"$cmake" --install "$build" --prefix "$tmp/prefix" >"$tmp/install.log"
cp "$script" "$tmp/script.txt"
cd "$tmp"

installed=$tmp/prefix/bin/vazdiag
case $(readlink -f "$installed") in
  "$tmp"/prefix/*) ;;
  *) echo "FAIL: $installed leads out of the prefix"; exit 1 ;;
esac
session=(--ecu m154n --car-option dtc=0102,0325 --no-history --script script.txt)
"$build/vazdiag" "${session[@]}" --trace build.trace >build.txt
"$installed" "${session[@]}" --trace installed.trace >installed.txt
grep -q 'Firmware identification' installed.txt || { echo "FAIL: no session in the transcript"; cat installed.txt; exit 1; }
cmp build.txt installed.txt || { diff build.txt installed.txt | head -20; exit 1; }
cmp build.trace installed.trace || { diff build.trace installed.trace | head -20; exit 1; }

printf 'vazdiag %s\nlibVAZ_OLD.so %s\n' "$version" "$version" >version.expected
"$installed" --version >version.txt
cmp version.expected version.txt || { cat version.txt; exit 1; }
"$tmp/prefix/bin/vazdiag-ecu" --help >/dev/null
echo "installed tree runs: transcript $(wc -l <installed.txt) lines, trace $(wc -l <installed.trace) lines, equal"
