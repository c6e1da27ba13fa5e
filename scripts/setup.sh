#!/usr/bin/env bash
# Installs every Debian package the project needs (only those missing) and
# compiles the project's locale. Safe to run again.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6printsupport6 libgl-dev qt6-translations-l10n
  libsqlite3-dev sqlite3 libgtest-dev
  locales
  fonts-liberation fonts-dejavu-core
  xvfb xauth xdotool imagemagick poppler-utils libxcb1-dev dbus-daemon
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The programs need a short date of the form 2005.08.24. and a time of the
# form 09:05:07; the shipped locale gives both (see platform/sys/locale).
bash "$here/scripts/make-locale.sh"
