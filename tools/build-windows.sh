#!/usr/bin/env bash
# Installs what is missing and cross-builds the native Windows program, build-win/src/tarvolm.exe,
# with its tests (run them under Wine with: ctest --test-dir build-win).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh --windows
cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-win -j2
