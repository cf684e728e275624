#!/usr/bin/env bash
# Checks the Debian packages in DEB_DIR (scripts/package.sh) as a user would meet them:
# installs them into a throw-away root with its own dpkg database, runs a scripted
# M1.5.4 session with the installed /usr/bin/vazdiag from outside any build tree
# (transcript and wire trace must equal REF_VAZDIAG's, the build tree's program),
# renders both manual pages with man -l, tries the bash completion, runs lintian (no
# errors allowed), and removes the packages again, leaving no file behind.
#   scripts/check_package.sh DEB_DIR REF_VAZDIAG [--qemu]
# --qemu runs the installed armhf program under qemu-arm.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
debs=$(cd "$1" && pwd) ref=$(cd "$(dirname "$2")" && pwd)/$(basename "$2") qemu=${3:-}
start=$SECONDS
root=$(mktemp -d "${TMPDIR:-/tmp}/vazdiag-root.XXXXXX")
trap 'rm -rf "$root"' EXIT
fail() { echo "package: $*" >&2; exit 1; }

# Its own dpkg database: the machine's stays untouched. The dependencies are checked
# against the machine's packages instead (dpkg-checkbuilddeps), since the root has none.
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/work"
touch "$root/var/lib/dpkg/status"
main=$(ls "$debs"/vazdiag_*.deb) dev=$(ls "$debs"/vazdiag-dev_*.deb)
arch=$(dpkg-deb -f "$main" Architecture)
depends=$(dpkg-deb -f "$main" Depends)
echo "package: $(basename "$main"): Depends: $depends"
for lib in libc6 libsqlite3 libncursesw6 libstdc++6; do
  [[ $depends == *"$lib"* ]] || fail "the dependencies name no $lib"
done
[[ $depends != *-cross* ]] || fail "a dependency on the cross compiler's own libraries"
if [ "$arch" = "$(dpkg --print-architecture)" ]; then
  dpkg-checkbuilddeps -d "$depends" /dev/null || fail "the dependencies are not met on this machine"
fi
# A foreign architecture's packages are unpacked only: their maintainer scripts would
# have to run in the throw-away root, which has no shell of that architecture.
action=(-i)
[ -z "$qemu" ] || action=(--force-architecture --unpack)
dpkg --root="$root" --force-depends --force-not-root --log=/dev/null "${action[@]}" "$main" "$dev" >"$root/work/dpkg.log" 2>&1 ||
  { cat "$root/work/dpkg.log"; fail "dpkg could not install the packages"; }

for f in usr/bin/vazdiag usr/bin/vazdiag-ecu usr/share/man/man1/vazdiag.1.gz usr/share/man/man1/vazdiag-ecu.1.gz \
  usr/share/bash-completion/completions/vazdiag usr/share/zsh/vendor-completions/_vazdiag \
  usr/lib/udev/rules.d/60-vazdiag-cables.rules usr/share/vazdiag/StdCfg.ini usr/include/vazdiag/vaz_old.h; do
  [ -e "$root/$f" ] || fail "no /$f in the packages"
done
triplet=$(ls "$root/usr/lib" | grep -- -linux-gnu)
for lib in libVAZ_OLD.so libSTD.so libCOMM_ABSTRACT_LAYER.so pkgconfig/vazdiag.pc; do
  [ -e "$root/usr/lib/$triplet/${lib/#lib/vazdiag/lib}" ] || [ -e "$root/usr/lib/$triplet/$lib" ] ||
    fail "no /usr/lib/$triplet/vazdiag/$lib in the packages"
done

# The session, from a folder of its own and with no environment pointing anywhere.
installed=("$root/usr/bin/vazdiag")
[ "$qemu" = --qemu ] && installed=(qemu-arm -L /usr/arm-linux-gnueabihf -E LD_LIBRARY_PATH=/usr/arm-linux-gnueabihf/lib "${installed[@]}")
cp "$root/usr/share/doc/vazdiag/examples/m154_clear_codes.txt" "$root/work/script.txt"
session=(--ecu M1.5.4 --car-option dtc=0102,0325 --no-history --script script.txt)
cd "$root/work"
env -i PATH=/usr/bin:/bin LANG=C.UTF-8 "$ref" "${session[@]}" --trace ref.trace >ref.txt
env -i PATH=/usr/bin:/bin LANG=C.UTF-8 "${installed[@]}" "${session[@]}" --trace installed.trace >installed.txt ||
  fail "the installed vazdiag ended with status $?"
grep -q 'Clear' installed.txt || { cat installed.txt; fail "no session in the installed vazdiag's transcript"; }
cmp ref.txt installed.txt || { diff ref.txt installed.txt | head -20; fail "the installed vazdiag's transcript differs"; }
cmp ref.trace installed.trace || { diff ref.trace installed.trace | head -20; fail "the installed vazdiag's trace differs"; }
version=$(dpkg-deb -f "$main" Version)
printf 'vazdiag %s\nlibVAZ_OLD.so %s\n' "$version" "$version" >version.expected
"${installed[@]}" --version >version.txt
cmp version.expected version.txt || { cat version.txt; fail "--version does not say $version"; }
echo "package: the installed vazdiag ran the session: $(wc -l <installed.txt) transcript lines, $(wc -l <installed.trace) trace lines, as the build's"

# Both pages render without a warning from man or groff, with their sections.
for page in vazdiag vazdiag-ecu; do
  MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l "$root/usr/share/man/man1/$page.1.gz" >"$page.txt" 2>"$page.err"
  [ ! -s "$page.err" ] || { cat "$page.err"; fail "man -l $page.1.gz warns"; }
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS 'EXIT STATUS' EXAMPLES; do
    grep -q "^$section" "$page.txt" || fail "$page.1 has no $section"
  done
done
for section in 'ECU NAMES' 'FOR INTEGRATORS' 'SCRIPT LANGUAGE' FILES; do
  grep -q "^$section" vazdiag.txt || fail "vazdiag.1 has no $section"
done
echo "package: man -l renders vazdiag.1 ($(wc -l <vazdiag.txt) lines) and vazdiag-ecu.1 ($(wc -l <vazdiag-ecu.txt) lines)"

# The bash completion, with the two helpers it takes from bash-completion stood in.
completion=$root/usr/share/bash-completion/completions/vazdiag
# shellcheck disable=SC2016
complete_words() {
  bash -c '_init_completion() { cur=${COMP_WORDS[COMP_CWORD]}; prev=${COMP_WORDS[COMP_CWORD-1]}; words=("${COMP_WORDS[@]}"); cword=$COMP_CWORD; }
    _filedir() { :; }
    source "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _vazdiag; printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "' _ "$completion" "$@"
}
while IFS='|' read -r words expected; do
  read -r -a w <<<"$words"
  [[ $words != *" " ]] || w+=("")  # the word being completed is still empty
  got=$(complete_words "${w[@]}")
  [ "$got" = "$expected" ] || fail "completing '$words': '$got', not '$expected'"
done <<'CASES'
vazdiag --ecu m15|m154 m154-add m154n 
vazdiag --lang |en ru 
vazdiag --no-h|--no-history 
vazdiag h|history 
vazdiag report 3 --h|--history 
vazdiag report 3 -o|-o 
CASES
echo "package: the bash completion completes options, ECU names, languages and commands"

cd "$top"
if command -v lintian >/dev/null; then
  lintian --fail-on error "$main" "$dev" 2>&1 | { grep -v 'running with root privileges' || true; } | tee "$root/lintian.txt" ||
    fail "lintian found errors"
  echo "package: lintian: $(grep -c '^E:' "$root/lintian.txt" || true) errors, $(grep -c '^W:' "$root/lintian.txt" || true) warnings"
fi

dpkg --root="$root" --force-depends --force-not-root --log=/dev/null -r vazdiag-dev vazdiag >"$root/work/dpkg.log" 2>&1 ||
  { cat "$root/work/dpkg.log"; fail "dpkg could not remove the packages"; }
left=$({ find "$root/usr" -type f 2>/dev/null || true; } | head -5)
[ -z "$left" ] || fail "files left after removal: $left"
echo "package: installed, run and removed again in $((SECONDS - start)) s"
