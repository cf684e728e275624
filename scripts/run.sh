#!/usr/bin/env bash
# Builds the programs alone (the plug-in, the two workbench libraries, vazdiag and
# vazdiag-ecu; no tests, so no GoogleTest either) in build-run, says how long that took,
# and starts vazdiag; arguments go to vazdiag (default: an interactive session with a
# simulated Bosch M1.5.4). `scripts/run.sh --help` lists them.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=$top/build-run
start=$SECONDS
"$top/scripts/setup.sh"
echo "run: building vazdiag and vazdiag-ecu in $dir (no tests; the first build takes a few minutes)" >&2
cmake -S "$top" -B "$dir" -DVAZ_BUILD_TESTS=OFF >/dev/null
# The compiler's progress lines go to standard error, so that they never mix
# with what vazdiag prints.
cmake --build "$dir" -j"$(nproc)" --target VAZ_OLD STD COMM_ABSTRACT_LAYER vazdiag vazdiag-ecu >&2
echo "run: built in $((SECONDS - start)) s; $dir/vazdiag --help lists the options" >&2
[ $# -gt 0 ] || set -- --ecu m154
exec "$dir/vazdiag" "$@"
