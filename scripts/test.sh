#!/usr/bin/env bash
# Builds the project and runs every test, headless.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh"
cd "$here/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
