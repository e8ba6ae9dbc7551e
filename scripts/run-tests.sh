#!/usr/bin/env bash
# Builds Kelvora and runs every test; the CTest summary is the last thing printed.
#   scripts/run-tests.sh
# KELVORA_BUILD_DIR (default build) and KELVORA_JOBS (default 2) change where and how wide.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

BUILD_DIR="${KELVORA_BUILD_DIR:-build}"
JOBS="${KELVORA_JOBS:-2}"

bash scripts/bootstrap.sh
# Qt wants a private runtime directory; CI machines have none.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR="$(mktemp -d)"
  chmod 700 "$XDG_RUNTIME_DIR"
  export XDG_RUNTIME_DIR
fi
# The tests build unoptimised (quicker to build, and what developers build too) with every
# warning an error.
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 -DKELVORA_WERROR=ON
cmake --build "$BUILD_DIR" -j "$JOBS"

# ---------------------------------------------------------------------------
# Services the tests need.
# A throw-away PostgreSQL server on 127.0.0.1 for the publication tests, stopped on exit.
# The tests find it through PGHOST/PGPORT; CI=1 makes a missing server a failure.
# ---------------------------------------------------------------------------
PG_DIR="$(mktemp -d /tmp/kelvora-pg.XXXXXX)"
trap 'bash scripts/test-postgres.sh stop "$PG_DIR"' EXIT
eval "$(bash scripts/test-postgres.sh start "$PG_DIR")"
export CI="${CI:-1}"

# Windows are built off screen; no display is needed.
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$JOBS"
