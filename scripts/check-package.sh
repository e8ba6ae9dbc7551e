#!/usr/bin/env bash
# Builds the Debian package and checks it: its contents, lintian, the AppStream data, the
# menu entry, and that the programs unpacked into a scratch root find every library.
# Prints a few lines; exits non-zero when any check fails. CTest runs it as the test `package`.
#   scripts/check-package.sh
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

BUILD_DIR="${KELVORA_BUILD_DIR:-build}"
LOG="$BUILD_DIR/check-package.log"
mkdir -p "$BUILD_DIR"
: >"$LOG"
failed=0
fail() { echo "package check: FAILED: $*"; failed=1; }

if ! bash scripts/package.sh >>"$LOG" 2>&1; then
  echo "package check: FAILED: scripts/package.sh (see $LOG)"
  tail -n 15 "$LOG"
  exit 1
fi
deb="$(ls "$BUILD_DIR"/kelvora_*.deb | head -n 1)"
version="$(dpkg-deb -f "$deb" Version)"

# What the package must hold.
expected=(
  ./usr/bin/kelvora
  ./usr/bin/kelvora-admin
  ./usr/share/applications/kelvora.desktop
  ./usr/share/metainfo/com.ormelix.kelvora.metainfo.xml
  ./usr/share/icons/hicolor/scalable/apps/kelvora.svg
  ./usr/share/icons/hicolor/48x48/apps/kelvora.png
  ./usr/share/icons/hicolor/256x256/apps/kelvora.png
  ./usr/share/man/man1/kelvora.1.gz
  ./usr/share/man/man1/kelvora-admin.1.gz
  ./usr/share/doc/kelvora/copyright
  ./usr/share/doc/kelvora/changelog.gz
)
if ninja -C "$BUILD_DIR" -t targets all 2>/dev/null | grep -q '^kelvora-consulta:'; then
  expected+=(
    ./usr/bin/kelvora-consulta
    ./usr/share/man/man1/kelvora-consulta.1.gz
    ./lib/systemd/system/kelvora-consulta.service
    ./usr/lib/sysusers.d/kelvora-consulta.conf
    ./etc/kelvora/consulta.ini
  )
fi
contents="$(dpkg-deb --contents "$deb" | awk '{print $NF}')"
for f in "${expected[@]}"; do
  grep -qxF "$f" <<<"$contents" || fail "$f is not in the package"
done

# lintian: errors fail; warnings are counted in the log.
lintian --fail-on error --tag-display-limit 0 "$deb" >>"$LOG" 2>&1 || fail "lintian found errors (see $LOG)"
warnings="$(grep -c '^W: ' "$LOG" || true)"

root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
appstreamcli validate --no-net "$root/usr/share/metainfo/com.ormelix.kelvora.metainfo.xml" >>"$LOG" 2>&1 \
  || fail "appstreamcli validate (see $LOG)"
desktop-file-validate "$root/usr/share/applications/kelvora.desktop" >>"$LOG" 2>&1 \
  || fail "desktop-file-validate (see $LOG)"

# Every program of the unpacked package finds its libraries, and answers with its version.
for bin in "$root"/usr/bin/*; do
  missing="$(ldd "$bin" 2>&1 | grep 'not found')"
  [ -z "$missing" ] || fail "$(basename "$bin"): $(echo "$missing" | tr -s ' \t\n' ' ')"
done
said="$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/kelvora-admin" --version 2>&1 | head -n 1)"
[ "$said" = "kelvora-admin $version" ] || fail "kelvora-admin --version says '$said', the package is $version"

if [ "$failed" -eq 0 ]; then
  echo "package check: OK: $(basename "$deb"), $(wc -l <<<"$contents") entries, lintian $warnings warnings, no errors"
fi
exit "$failed"
