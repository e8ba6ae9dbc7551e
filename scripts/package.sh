#!/usr/bin/env bash
# Builds the Debian package of Kelvora: build/kelvora_<version>_amd64.deb.
#   scripts/package.sh
#   sudo apt install ./build/kelvora_*.deb
# KELVORA_BUILD_DIR (default build) and KELVORA_JOBS (default 2) as in run-tests.sh.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

BUILD_DIR="${KELVORA_BUILD_DIR:-build}"
JOBS="${KELVORA_JOBS:-2}"

bash scripts/bootstrap.sh
# A new build directory gets run-tests.sh's configuration; one already configured (by
# run-tests.sh in CI, or by a developer) is used as it is, so nothing is compiled twice.
if [ -f "$BUILD_DIR/CMakeCache.txt" ]; then
  cmake -S . -B "$BUILD_DIR" >/dev/null
else
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
# Only what goes into the package; the tests and benchmarks are not needed for it.
targets=(kelvora kelvora-admin kelvora_packaging)
if ninja -C "$BUILD_DIR" -t targets all 2>/dev/null | grep -q '^kelvora-consulta:'; then
  targets+=(kelvora-consulta)
fi
cmake --build "$BUILD_DIR" -j "$JOBS" --target "${targets[@]}"

rm -f "$BUILD_DIR"/kelvora_*.deb
(cd "$BUILD_DIR" && cpack -G DEB --config CPackConfig.cmake >cpack.log 2>&1) || {
  cat "$BUILD_DIR/cpack.log" >&2
  exit 1
}
ls "$BUILD_DIR"/kelvora_*.deb
