#!/usr/bin/env bash
# A throw-away PostgreSQL from Debian's packages for the history server tests, in a
# temporary folder, as an unprivileged user (nobody when run as root), on a Unix socket
# and a free loopback port. INFO is a file that tells the tests where it is:
#   pg_server.sh start INFO   initdb and start; INFO gets "DIR PORT"
#   pg_server.sh halt INFO    stop it (a test's outage), keeping its data
#   pg_server.sh resume INFO  start it again on the same port
#   pg_server.sh stop INFO    stop it and remove everything
# Over TCP the server asks for passwords (the role "bay", password "bay-secret"); the
# socket trusts its user postgres.
set -euo pipefail
cmd=$1 info=$2
bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)
as_owner() { if [ "$(id -u)" -eq 0 ]; then runuser -u nobody -- "$@"; else "$@"; fi; }
ctl() { as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/log" "$@"; }
options() { echo "-k $dir -p $port -c listen_addresses=127.0.0.1 -c fsync=off -c max_connections=60"; }

if [ "$cmd" = start ]; then
  [ -f "$info" ] && "$0" stop "$info"
  dir=$(mktemp -d "${TMPDIR:-/tmp}/vazdiag-pg.XXXXXX")
  chmod 755 "$dir"
  [ "$(id -u)" -eq 0 ] && chown nobody "$dir"
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  as_owner "$bin/initdb" -D "$dir/data" -U postgres --auth-local=trust --auth-host=scram-sha-256 --no-locale \
    -E UTF8 >"$dir/initdb.log"
  ctl -w -o "$(options)" start >/dev/null
  "$bin/psql" -q -h "$dir" -p "$port" -U postgres -d postgres -c "CREATE ROLE bay LOGIN PASSWORD 'bay-secret'"
  echo "$dir $port" >"$info"
  exit 0
fi
[ -f "$info" ] || exit 0
read -r dir port <"$info"
case $cmd in
  halt) ctl -w -m fast stop >/dev/null ;;
  resume) ctl -w -o "$(options)" start >/dev/null ;;
  stop)
    ctl -w -m immediate stop >/dev/null 2>&1 || true
    rm -rf "$dir" "$info"
    ;;
  *) echo "pg_server.sh: start, halt, resume or stop" >&2; exit 2 ;;
esac
