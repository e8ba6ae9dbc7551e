#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Kelvora needs.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail
PKGS=(
  g++ cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6svg6 qt6-qpa-plugins qt6-translations-l10n
  libsqlite3-dev libpq-dev postgresql postgresql-contrib
  libxlsxwriter-dev zlib1g-dev libzip-dev pxlib-dev python3-openpyxl
  libhpdf-dev libfontconfig-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth imagemagick poppler-utils qpdf fonts-dejavu-core fonts-liberation unzip
  libxss-dev libx11-dev alsa-utils
  libcpp-httplib-dev chromium chromium-driver python3-selenium wrk curl
  dpkg-dev file lintian appstream desktop-file-utils help2man librsvg2-bin
)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
