#!/usr/bin/env bash
# Builds the project and starts Sebrix in a ready data folder (rundata/).
#   bash scripts/run.sh              Sebrix, data in rundata/
#   bash scripts/run.sh zorivozure   the ward program, data in rundata-zorivozure/
# Without a display the program runs on a virtual one (Xvfb :99).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"

program="${1:-sebrix}"
case "$program" in
  sebrix)     title="Sebrix";     data="$here/rundata" ;;
  zorivozure) title="Zorivozure"; data="$here/rundata-zorivozure" ;;
  *) echo "usage: bash scripts/run.sh [sebrix|zorivozure]" >&2; exit 2 ;;
esac

bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh"

# The three database files; files already there (a clerk's data) are kept.
"$here/build/app/rafordit_makedata" "$data" "$program"

# The programs need the short date 2005.08.24. and the time 09:05:07; the
# shipped locale gives both, the decimal comma of the grids and lists and the
# no-break space that groups the thousands of printed amounts.
unset LC_ALL
export LOCPATH="$here/build/locale"
export LC_TIME="hu_HU@rafordit"
export LC_NUMERIC="hu_HU@rafordit"

if [ -z "${DISPLAY:-}" ]; then
  echo "No display found: starting $title on a virtual display (Xvfb :99)..."
  if [ ! -e /tmp/.X99-lock ]; then
    Xvfb :99 -screen 0 1280x1024x24 >/dev/null 2>&1 &
    xvfb_pid=$!
    trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X99 ] && break; sleep 0.1; done
  fi
  export DISPLAY=:99
  echo "Take a screenshot from another terminal with: import -window root -display :99 shot.png"
fi

cd "$data"
"$here/build/app/$program"
