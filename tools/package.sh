#!/usr/bin/env bash
# Makes the packages people install, from the builds in build/ and build-win/ (built here as
# far as needed):
#   build/tarvolm_<version>_amd64.deb      the Linux program for Debian, from its install tree
#   build-win/tarvolm-<version>-win64.zip  tarvolm.exe with a README and the license
# and checks them: the .deb's file list, its program's --version, and, where the tools are
# installed (tools/install-deps.sh --package), the desktop entry, the AppStream data and lintian.
# With --deb or --zip it makes only that one.
set -euo pipefail
cd "$(dirname "$0")/.."
want_deb=1 want_zip=1
case "${1:-}" in
  --deb) want_zip=0 ;;
  --zip) want_deb=0 ;;
  "") ;;
  *) echo "usage: tools/package.sh [--deb|--zip]" >&2; exit 2 ;;
esac
umask 022
version=$(sed -n 's/^project(Tarvolm VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "package.sh: no project version in CMakeLists.txt" >&2; exit 1; }
# Dates inside the packages are the last commit's, so the same sources give the same packages.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
maintainer="Tarvolm developers <developers@tarvolm.org>"
failed=0
fail() { echo "package.sh: $*" >&2; failed=1; }
skip() { echo "package.sh: skipped, $1 is not installed (tools/install-deps.sh --package installs it)"; }

# The files the .deb must hold, and no others.
deb_files=(
  ./usr/bin/tarvolm
  ./usr/share/applications/tarvolm.desktop
  ./usr/share/doc/tarvolm/changelog.gz
  ./usr/share/doc/tarvolm/copyright
  ./usr/share/icons/hicolor/128x128/apps/tarvolm.png
  ./usr/share/icons/hicolor/256x256/apps/tarvolm.png
  ./usr/share/icons/hicolor/48x48/apps/tarvolm.png
  ./usr/share/man/man1/tarvolm.1.gz
  ./usr/share/metainfo/org.tarvolm.tarvolm.metainfo.xml
)

write_copyright() {
  cat <<COPYRIGHT
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Tarvolm
Source: https://tarvolm.org

Files: *
Copyright: $(sed -n 's/^Copyright (c) //p' LICENSE)
License: Expat
COPYRIGHT
  # The license text after its title and copyright line, indented, blank lines as " .".
  sed '1,/^Copyright/d' LICENSE | sed '1{/^$/d}' | sed 's/^$/./; s/^/ /'
}

write_changelog() {
  cat <<CHANGELOG
tarvolm ($version) unstable; urgency=medium

  * Tarvolm $version.

 -- $maintainer  $(date -u -R -d "@$SOURCE_DATE_EPOCH")
CHANGELOG
}

# The Depends line from the libraries the program links, as dpkg-shlibdeps finds them; it
# looks for the package tree as debian/<package> under the folder it runs in.
shlib_depends() {
  local work=$1
  printf 'Source: tarvolm\n\nPackage: tarvolm\nArchitecture: any\n' >"$work/debian/control"
  (cd "$work" && dpkg-shlibdeps -O debian/tarvolm/usr/bin/tarvolm) | sed -n 's/^shlibs:Depends=//p'
}

make_deb() {
  command -v dpkg-shlibdeps >/dev/null ||
    { echo "package.sh: dpkg-shlibdeps is missing: tools/install-deps.sh --package installs it" >&2; exit 1; }
  if [ -f build/CMakeCache.txt ]; then
    cmake -S . -B build >/dev/null
  else
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build build --target tarvolm -j2 >/dev/null
  local work=build/deb root=build/deb/debian/tarvolm arch deb
  arch=$(dpkg --print-architecture)
  deb=build/tarvolm_${version}_${arch}.deb
  rm -rf "$work" "$deb"
  DESTDIR="$PWD/$root" cmake --install build --prefix /usr --strip >/dev/null
  gzip -9n "$root/usr/share/man/man1/tarvolm.1"
  mkdir -p "$root/usr/share/doc/tarvolm" "$root/DEBIAN"
  write_copyright >"$root/usr/share/doc/tarvolm/copyright"
  write_changelog | gzip -9n >"$root/usr/share/doc/tarvolm/changelog.gz"
  find "$root" -type d -exec chmod 0755 {} +
  find "$root" -type f -exec chmod 0644 {} +
  chmod 0755 "$root/usr/bin/tarvolm"
  local depends size
  depends=$(shlib_depends "$work")
  size=$(du -k -s --exclude=DEBIAN "$root" | cut -f1)
  cat >"$root/DEBIAN/control" <<CONTROL
Package: tarvolm
Version: $version
Architecture: $arch
Maintainer: $maintainer
Installed-Size: $size
Depends: $depends
Section: comm
Priority: optional
Homepage: https://tarvolm.org
Description: serial port terminal
 Tarvolm talks to serial ports: USB serial adapters, boards with a USB
 serial console, RS-232 ports and pseudo-terminals. Pick a port and its
 line settings, open it, and watch what arrives as text or hex; filter it,
 save it, and send text, hex, repeated commands and whole files.
 .
 Its window speaks English, Simplified Chinese and Traditional Chinese.
CONTROL
  (cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$root/DEBIAN/md5sums"
  chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"
  dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
  echo "package.sh: $deb (Depends: $depends)"
  check_deb "$deb" "$root"
}

check_deb() {
  local deb=$1 root=$2 listed expected
  listed=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
  expected=$(printf '%s\n' "${deb_files[@]}" | sort)
  [ "$listed" = "$expected" ] || fail "the package's files differ from those expected:
$(diff <(echo "$expected") <(echo "$listed") || true)"
  local shown
  shown=$("$root/usr/bin/tarvolm" --version) || true
  [ "$shown" = "Tarvolm $version" ] || fail "the packaged program's --version printed '$shown'"
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/usr/share/applications/tarvolm.desktop" || fail "desktop-file-validate"
  else
    skip desktop-file-validate
  fi
  if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/org.tarvolm.tarvolm.metainfo.xml" >/dev/null ||
      fail "appstreamcli validate: $(appstreamcli validate --no-net "$root/usr/share/metainfo/org.tarvolm.tarvolm.metainfo.xml")"
  else
    skip appstreamcli
  fi
  if command -v lintian >/dev/null; then
    # Errors fail; warnings and the rest are shown.
    lintian --fail-on error --tag-display-limit 0 "$deb" 2> >(grep -v "root privileges" >&2) || fail "lintian"
  else
    skip lintian
  fi
}

make_zip() {
  if [ -f build-win/CMakeCache.txt ]; then
    cmake --build build-win --target tarvolm -j2 >/dev/null
  else
    tools/build-windows.sh >/dev/null
  fi
  local stage=build-win/zip-root zip
  zip=build-win/tarvolm-${version}-win64.zip
  rm -rf "$stage" "$zip"
  mkdir -p "$stage"
  cp build-win/src/tarvolm.exe "$stage/"
  # Line ends for Notepad on Windows 7.
  sed "s/@VERSION@/$version/; s/\$/\r/" src/res/windows/README.txt >"$stage/README.txt"
  sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
  touch -d "@$SOURCE_DATE_EPOCH" "$stage"/*
  (cd "$stage" && cmake -E tar cf "../$(basename "$zip")" --format=zip \
     --mtime="$(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S UTC')" \
     tarvolm.exe README.txt LICENSE.txt)
  local listed
  listed=$(cmake -E tar tf "$zip" | sort | tr '\n' ' ')
  [ "$listed" = "LICENSE.txt README.txt tarvolm.exe " ] || fail "the zip holds: $listed"
  echo "package.sh: $zip"
}

[ $want_deb -eq 1 ] && make_deb
[ $want_zip -eq 1 ] && make_zip
exit $failed
