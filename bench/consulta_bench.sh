#!/usr/bin/env bash
# The family page of kelvora-consulta under load.
#   bench/consulta_bench.sh BUILD_DIR [SITES PERSONS DAYS]     (default 50 1000 200)
# Starts a throw-away PostgreSQL server, makes the remote schema with kelvora-admin
# remote-init (indexes and read-only role included), fills it in the server with
# generate_series (SITES x PERSONS persons, an entry and an exit per person and school day:
# 2 x SITES x PERSONS x DAYS movements), starts kelvora-consulta as the read-only role, logs
# in as one family and lets wrk ask for the family's page with 50 connections.
# Prints the EXPLAIN ANALYZE of the family page's statement and wrk's figures.
# Needs wrk, curl and psql (scripts/bootstrap.sh installs them).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
B="$(cd "${1:?uso: $0 BUILD_DIR [SITIOS PERSONAS DIAS]}" && pwd)"
SITES="${2:-50}"; PERSONS="${3:-1000}"; DAYS="${4:-200}"
CONNS="${KV_BENCH_CONNS:-50}"; SECS="${KV_BENCH_SECS:-30}"; THREADS="${KV_BENCH_THREADS:-2}"
ADMIN="$B/tools/kelvora-admin"; [ -x "$ADMIN" ] || ADMIN="$(find "$B" -name kelvora-admin -type f -perm -u+x | head -1)"
CONSULTA="$(find "$B" -name kelvora-consulta -type f -perm -u+x | head -1)"
[ -x "$ADMIN" ] && [ -x "$CONSULTA" ] || { echo "build kelvora-admin and kelvora-consulta in $B first" >&2; exit 2; }
command -v wrk >/dev/null || { echo "wrk is missing (apt-get install wrk)" >&2; exit 2; }

WORK="$(mktemp -d /tmp/kv-consulta-bench.XXXXXX)"
PGDIR="$(mktemp -d /tmp/kv-consulta-bench-pg.XXXXXX)"   # apart: the server runs as postgres
PID=""
cleanup() {
  [ -n "$PID" ] && kill "$PID" 2>/dev/null || true
  bash scripts/test-postgres.sh stop "$PGDIR" >/dev/null 2>&1 || true
  rm -rf "$WORK" "$PGDIR"
}
trap cleanup EXIT
PGENV="$(bash scripts/test-postgres.sh start "$PGDIR")"
eval "$PGENV"
YEAR=$(date +%Y)
psql -X -q -d postgres -c "create database bench"
cat > "$WORK/pralune.ini" <<INI
[Internet]
Servidor=127.0.0.1
Puerto=$PGPORT
BaseDatos=bench
Usuario=$PGUSER
Clave=$PGPASSWORD
SSL=disable
INI
(cd "$WORK" && "$ADMIN" remote-init --year "$YEAR" --consulta-role consulta --consulta-clave bench-consulta)

echo "== filling $SITES sites x $PERSONS persons x $DAYS days ($((2 * SITES * PERSONS * DAYS)) movements)"
start=$(date +%s)
psql -X -q -d bench -v ON_ERROR_STOP=1 <<SQL
set search_path to "$YEAR";
set maintenance_work_mem = '512MB';
insert into colegios select s, 'Colegio ' || s from generate_series(1, $SITES) s;
-- Person p of site s: code C<p>, own document D<s>-<p>, guardian G<s>-<p/2> (two children each).
insert into estudiantes (icolegio, iestudiante, codigo, docident, igrado, igrupo, nestudiante, acudiente, docacud)
select s, p, 'C' || p, 'D' || s || '-' || p, p % 11, chr(65 + p % 3), 'PERSONA ' || s || '-' || p,
       'ACUDIENTE ' || s || '-' || (p / 2), 'G' || s || '-' || (p / 2)
from generate_series(1, $SITES) s, generate_series(1, $PERSONS) p;
insert into consultantes (icolegio, docident, clave, nombre, nivelconsulta)
select s, 'G' || s || '-' || g, 'G' || s || '-' || g, 'ACUDIENTE ' || s || '-' || g, 0
from generate_series(1, $SITES) s, generate_series(0, $PERSONS / 2) g;
-- Indexes are dropped for the load and made again afterwards, as remote-init made them.
drop index if exists entradassalidas_movimiento, entradassalidas_dia;
insert into entradassalidas (icolegio, codigo, fecha, hora, docident, tipodocident, nestudiante, tipomvt, detalle)
select s, 'C' || p, current_date - d, time '06:30' + (p % 60) * interval '1 minute' + m * interval '8 hours',
       'D' || s || '-' || p, 0, 'PERSONA ' || s || '-' || p, case m when 0 then 'E' else 'S' end, ''
from generate_series(0, $DAYS - 1) d, generate_series(1, $SITES) s, generate_series(1, $PERSONS) p,
     generate_series(0, 1) m;
SQL
(cd "$WORK" && PGOPTIONS="-c client_min_messages=warning" "$ADMIN" remote-init --year "$YEAR" >/dev/null)
psql -X -q -d bench -c "vacuum analyze"
echo "== loaded in $(( $(date +%s) - start )) s; $(psql -X -t -A -d bench -c "select count(*) from \"$YEAR\".entradassalidas") movements"

FAMILY_SITE=$(( (SITES + 1) / 2 )); FAMILY="G$FAMILY_SITE-$(( PERSONS / 4 ))"
echo "== EXPLAIN ANALYZE of the family page's statement (site $FAMILY_SITE, document $FAMILY)"
psql -X -d bench <<SQL
set search_path to "$YEAR";
explain (analyze, buffers, costs off)
select e.codigo, e.nestudiante, e.igrado, e.igrupo, u.tipomvt, u.hora,
 (select count(distinct m.fecha) from entradassalidas m where m.icolegio=e.icolegio
  and m.codigo=e.codigo and m.fecha between current_date - 29 and current_date and m.tipomvt='E')
 from estudiantes e
 left join lateral (select m.tipomvt, m.hora from entradassalidas m where m.icolegio=e.icolegio
  and m.codigo=e.codigo and m.fecha=current_date order by m.hora desc limit 1) u on true
 where e.icolegio=$FAMILY_SITE and (e.docacud='$FAMILY' or e.docident='$FAMILY' or e.codigo='$FAMILY')
 order by e.nestudiante, e.codigo;
SQL

cat > "$WORK/consulta.ini" <<INI
[Internet]
Servidor=127.0.0.1
Puerto=$PGPORT
BaseDatos=bench
Usuario=consulta
Clave=bench-consulta
SSL=disable
[Consulta]
Secreto=secreto-del-banco-de-pruebas
INI
env -u PGHOST -u PGPORT -u PGUSER -u PGPASSWORD "$CONSULTA" --config "$WORK/consulta.ini" --listen 127.0.0.1:0 \
    --anio "$YEAR" --hilos "${KV_BENCH_HILOS:-$CONNS}" > "$WORK/consulta.out" 2>&1 &
PID=$!
for _ in $(seq 1 50); do grep -q escuchando "$WORK/consulta.out" && break; sleep 0.2; done
URL=$(grep -o 'http://127.0.0.1:[0-9]*' "$WORK/consulta.out")
JAR="$WORK/cookies"
TOKEN=$(curl -s -c "$JAR" "$URL/" | grep -o 'name="token" value="[^"]*"' | sed 's/.*value="//;s/"$//')
curl -s -b "$JAR" -c "$JAR" -o /dev/null -w "login: %{http_code}\n" --data-urlencode "documento=$FAMILY" \
     --data-urlencode "clave=$FAMILY" --data-urlencode "token=$TOKEN" "$URL/entrar"
COOKIE=$(awk '$6 ~ /^kv/ {printf "%s%s=%s", sep, $6, $7; sep="; "}' "$JAR")
curl -s -H "Cookie: $COOKIE" "$URL/" | grep -o 'PERSONA [0-9-]*' | sort -u | tr '\n' ' '; echo
uptime
echo "== wrk: $CONNS connections, $THREADS threads, ${SECS}s, GET / as family $FAMILY"
wrk -t "$THREADS" -c "$CONNS" -d "${SECS}s" --latency -H "Cookie: $COOKIE" "$URL/"
