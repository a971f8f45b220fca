#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the Linux program's, then
# the Windows program's under Wine (unit and hub tests, and the real tarvolm.exe driven from
# outside on a COM port that is a pseudo-terminal).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh --windows
tools/make-locales.sh
tools/build-windows.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DTARVOLM_WINDOWS_BUILD="$PWD/build-win" >/dev/null
cmake --build build -j2
# A fresh, quiet Wine prefix for this run.
export WINEPREFIX="$PWD/build-win/wine-prefix"
rm -rf "$WINEPREFIX"
ctest --test-dir build --output-on-failure -j2
# The window tests need a display.
xvfb-run -a ctest --test-dir build-win --output-on-failure -j2
