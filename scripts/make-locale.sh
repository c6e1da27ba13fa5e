#!/usr/bin/env bash
# Compiles the shipped locale definition into build/locale (used through LOCPATH).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
out="$here/build/locale"
src="$here/platform/sys/locale/hu_HU.rafordit"
[ -f "$src" ] || exit 0
if [ ! -f "$out/hu_HU.rafordit/LC_TIME" ] || [ "$src" -nt "$out/hu_HU.rafordit/LC_TIME" ]; then
  mkdir -p "$out"
  localedef -i "$src" -f UTF-8 "$out/hu_HU.rafordit" || [ -f "$out/hu_HU.rafordit/LC_TIME" ]
fi
