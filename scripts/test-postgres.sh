#!/usr/bin/env bash
# A throw-away PostgreSQL 15 server for the publication tests, on 127.0.0.1 only.
#   eval "$(scripts/test-postgres.sh start DIR)"   # prints the PG* variables to export
#   scripts/test-postgres.sh stop DIR
# initdb and pg_ctl refuse to run as root, so as root they run as the postgres user.
set -euo pipefail
BIN="${KELVORA_PG_BIN:-/usr/lib/postgresql/15/bin}"
cmd="${1:-}"; dir="${2:-}"
[ -n "$cmd" ] && [ -n "$dir" ] || { echo "uso: $0 start|stop DIR" >&2; exit 2; }

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

case "$cmd" in
start)
  mkdir -p "$dir"
  [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
  chmod 700 "$dir"
  pw="$dir/pw"
  echo "kelvora-pruebas" | as_owner tee "$pw" >/dev/null
  as_owner "$BIN/initdb" -D "$dir/data" -U kelvora --pwfile="$pw" \
    --auth-local=scram-sha-256 --auth-host=scram-sha-256 -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 \
    || { cat "$dir/initdb.log" >&2; exit 1; }
  # A free port: try random ones until the server starts (a taken port makes it fail).
  port=""
  for _ in $(seq 1 20); do
    try=$(( 20000 + RANDOM % 40000 ))
    if as_owner "$BIN/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
         -o "-c listen_addresses=127.0.0.1 -p $try -k $dir -c max_connections=200" start >/dev/null 2>&1; then
      port=$try; break
    fi
  done
  [ -n "$port" ] || { cat "$dir/server.log" >&2; exit 1; }
  echo "export PGHOST=127.0.0.1 PGPORT=$port PGUSER=kelvora PGPASSWORD=kelvora-pruebas"
  ;;
stop)
  [ -d "$dir/data" ] && as_owner "$BIN/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1 || true
  rm -rf "$dir"
  ;;
*) echo "uso: $0 start|stop DIR" >&2; exit 2 ;;
esac
