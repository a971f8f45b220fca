#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the screenshots need (only the
# missing ones, so a second run costs nothing). With --windows also the cross compiler and
# Wine for the native Windows program and its tests; with --package what tools/package.sh
# makes and checks the .deb with.
set -euo pipefail
packages=(cmake ninja-build make g++ pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev
          fonts-wqy-microhei xvfb xauth x11-apps imagemagick)
# Wine is installed with its recommended packages: its X11 driver and fonts come that way.
windows_packages=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 googletest
                  wine wine64 fonts-wine locales)
package_packages=(dpkg-dev desktop-file-utils appstream lintian)
missing() {
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
updated=0
install() {
  local recommends=$1; shift
  [ $# -eq 0 ] && return 0
  [ $updated -eq 1 ] || { "${sudo_cmd[@]}" apt-get update -qq; updated=1; }
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq $recommends "$@"
}
install --no-install-recommends $(missing "${packages[@]}")
for option in "$@"; do
  case "$option" in
    --windows) install "" $(missing "${windows_packages[@]}") ;;
    --package) install --no-install-recommends $(missing "${package_packages[@]}") ;;
    *) echo "usage: tools/install-deps.sh [--windows] [--package]" >&2; exit 2 ;;
  esac
done
