#!/usr/bin/env bash
# Builds what a session needs (the plug-in, the two workbench libraries and
# vazdiag, not the tests) and starts vazdiag; arguments go to vazdiag
# (default: an interactive session with a simulated Bosch M1.5.4).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
echo "run: building vazdiag in $top/build (a first build takes a minute or two)..." >&2
cmake -S "$top" -B "$top/build" >/dev/null
# The compiler's progress lines go to standard error, so that they never mix
# with what vazdiag prints.
cmake --build "$top/build" -j"$(nproc)" --target VAZ_OLD STD COMM_ABSTRACT_LAYER vazdiag >&2
[ $# -gt 0 ] || set -- --ecu m154
exec "$top/build/vazdiag" "$@"
