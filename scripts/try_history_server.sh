#!/usr/bin/env bash
# Tries the shared history on this machine in one command: a throw-away PostgreSQL (the
# tests' own, test/e2e/history_server/pg_server.sh), two bays recording a warm-up at once,
# the server's list of both and the report of one from the server (written to the current
# folder). The server and the bays' files are removed at the end.
# Usage: scripts/try_history_server.sh [BUILD_DIR]  (default build; run scripts/build.sh first)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
info=$(mktemp -u "${TMPDIR:-/tmp}/vazdiag-try.XXXXXX")
work=$(mktemp -d "${TMPDIR:-/tmp}/vazdiag-try-bays.XXXXXX")
trap '"$top/test/e2e/history_server/pg_server.sh" stop "$info"; rm -rf "$work"' EXIT
"$top/test/e2e/history_server/pg_server.sh" start "$info"
read -r dir port <"$info"
server="postgresql://postgres@/postgres?host=$dir&port=$port"
for bay in bay1 bay2; do
  "$build/vazdiag" --ecu m154 --car-option dtc=0102,0325 --record --script "$top/examples/m154_warmup.txt" \
    --history "$work/$bay.sqlite" --station "$bay" --history-server "$server" >/dev/null &
done
wait
"$build/vazdiag" history --server --history-server "$server"
"$build/vazdiag" report 1 --server --history-server "$server" -o vazdiag-server-report.html
