#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the Linux program's, then
# the Windows program's under Wine (unit and hub tests, and the real tarvolm.exe driven from
# outside on a COM port that is a pseudo-terminal); the packages are made and checked too.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh --windows --package
tools/make-locales.sh
tools/build-windows.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DTARVOLM_WINDOWS_BUILD="$PWD/build-win" >/dev/null
cmake --build build -j2
# Both programs build with CMake's default generator too; the programs alone, as the tests
# above are built once already.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-make -G "Unix Makefiles" -DBUILD_TESTING=OFF "${launcher[@]}" >/dev/null
cmake --build build-make --target tarvolm -j2 >/dev/null
cmake -S . -B build-win-make -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
      -DBUILD_TESTING=OFF "${launcher[@]}" >/dev/null
cmake --build build-win-make --target tarvolm -j2 >/dev/null
# The .deb and the Windows zip, with their file lists, desktop entry, AppStream data and lintian.
tools/package.sh
# Fresh, quiet Wine prefixes for this run: one for the test programs, one for the program
# driven on its COM port.
export WINEPREFIX="$PWD/build-win/wine-prefix"
export TARVOLM_WINEPREFIX="$PWD/build-win/wine-session-prefix"
rm -rf "$WINEPREFIX" "$TARVOLM_WINEPREFIX"
ctest --test-dir build --output-on-failure -j2
# The window tests need a display.
xvfb-run -a ctest --test-dir build-win --output-on-failure -j2
