#!/usr/bin/env bash
# Builds everything and starts vazdiag; arguments go to vazdiag
# (default: an interactive session with a simulated Bosch M1.5.4).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
echo "run: building in $top/build (the first build takes a few minutes)..." >&2
"$top/scripts/build.sh" "$top/build" >/dev/null
[ $# -gt 0 ] || set -- --ecu m154
exec "$top/build/vazdiag" "$@"
