#!/usr/bin/env bash
# Compiles the shipped locale definition into build/locale (used through
# LOCPATH), or into the folder given as the first argument (the build
# compiles it into its own build folder the same way, for the tests).
# Programs run with: LOCPATH=<repo>/build/locale LC_TIME=hu_HU@rafordit
# LC_NUMERIC=hu_HU@rafordit (see scripts/run.sh).
# The name carries the variant as a modifier ("@rafordit"), not after a point:
# glibc reads what follows a point as the code set and refuses the locale
# when that does not match the code set compiled into it (UTF-8).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$here/build/locale}"
name="hu_HU@rafordit"
src="$here/platform/sys/locale/hu_HU.rafordit"
[ -f "$src" ] || exit 0
if [ ! -f "$out/$name/LC_TIME" ] || [ "$src" -nt "$out/$name/LC_TIME" ]; then
  mkdir -p "$out"
  # localedef exits non-zero on mere warnings; the compiled files decide.
  localedef -i "$src" -f UTF-8 "$out/$name" || [ -f "$out/$name/LC_TIME" ]
fi
