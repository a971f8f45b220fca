#!/usr/bin/env bash
# Installs the built .deb into a bare Debian 12 and checks it there: apt resolves its
# Depends from the archive, `tarvolm --version` answers, its files are in place, and the
# window starts (offscreen) for a user who is not root and keeps its settings in
# ~/.config/tarvolm/. The bare system is a debootstrap chroot, made once (a few minutes) in
# $TARVOLM_CHECK_ROOT (default /var/tmp/tarvolm-check-deb) and copied afresh for each run.
# Too slow for tools/test.sh; run it by hand after tools/package.sh. Needs root.
set -euo pipefail
cd "$(dirname "$0")/.."
skip() { echo "check-deb.sh: SKIPPED: $*"; exit 0; }
[ "$(id -u)" -eq 0 ] || skip "needs root for a chroot"
if ! command -v debootstrap >/dev/null; then
  apt-get install -y -qq debootstrap >/dev/null 2>&1 || skip "debootstrap is not installed and cannot be"
fi
version=$(sed -n 's/^project(Tarvolm VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=build/tarvolm_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || tools/package.sh --deb
place=${TARVOLM_CHECK_ROOT:-/var/tmp/tarvolm-check-deb}
base=$place/bookworm
root=$place/run
# The mirror this machine's apt uses, else debootstrap's own.
mirror=$(sed -n 's/^URIs: *\([^ ]*\/debian\)$/\1/p; s/^deb \(http[^ ]*\/debian\) bookworm .*/\1/p' \
           /etc/apt/sources.list.d/*.sources /etc/apt/sources.list 2>/dev/null | head -n1 || true)
if [ ! -f "$base/.complete" ]; then
  rm -rf "$base"
  mkdir -p "$place"
  echo "check-deb.sh: making a bare Debian 12 in $base"
  debootstrap --variant=minbase bookworm "$base" $mirror >"$place/debootstrap.log" 2>&1 ||
    skip "debootstrap failed (see $place/debootstrap.log)"
  touch "$base/.complete"
fi

cleanup() {
  umount "$root/proc" 2>/dev/null || true
  umount "$root/dev" 2>/dev/null || true
  rm -rf "$root"
}
trap cleanup EXIT
cleanup
cp -a "$base" "$root"
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }

failed=0
check() { if "$@"; then echo "ok: ${label}"; else echo "FAILED: ${label}"; failed=1; fi; }

in_root apt-get update -qq
label="apt installs the package with its Depends"
install_deb() { in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "/tmp/$(basename "$deb")" >"$place/install.log" 2>&1; }
check install_deb
shown=$(in_root tarvolm --version 2>&1 || true)
label="tarvolm --version prints 'Tarvolm $version' (it printed '$shown')"
check [ "$shown" = "Tarvolm $version" ]
for file in /usr/bin/tarvolm /usr/share/applications/tarvolm.desktop \
            /usr/share/icons/hicolor/{48x48,128x128,256x256}/apps/tarvolm.png \
            /usr/share/metainfo/org.tarvolm.tarvolm.metainfo.xml /usr/share/man/man1/tarvolm.1.gz \
            /usr/share/doc/tarvolm/copyright; do
  label="$file is in place"
  check [ -s "$root$file" ]
done
label="/usr/bin/tarvolm is executable"
check [ -x "$root/usr/bin/tarvolm" ]
label="an unknown option exits 2"
check bash -c '[ "$(chroot "$1" /usr/bin/tarvolm --bogus >/dev/null 2>&1; echo $?)" = 2 ]' _ "$root"

# A user's first start: the window comes up (offscreen, its platform plugin came with Qt's
# recommended packages) and stays until stopped; its settings land in the user's folder.
in_root useradd -m tester
status=0
chroot --userspec=tester:tester "$root" /usr/bin/env -i PATH=/usr/bin:/bin HOME=/home/tester \
  QT_QPA_PLATFORM=offscreen timeout 5 tarvolm >"$place/window.log" 2>&1 || status=$?
label="the window runs until stopped (timeout's status 124, got $status; see $place/window.log)"
check [ "$status" -eq 124 ]
label="the settings are in ~/.config/tarvolm/Sorvane.ini"
check [ -s "$root/home/tester/.config/tarvolm/Sorvane.ini" ]
# Root may write in /usr/bin, and still gets its own folder.
in_root env QT_QPA_PLATFORM=offscreen timeout 5 tarvolm >>"$place/window.log" 2>&1 || true
label="root's settings are in /root/.config/tarvolm/Sorvane.ini"
check [ -s "$root/root/.config/tarvolm/Sorvane.ini" ]
label="nothing was written beside the program"
check [ ! -e "$root/usr/bin/Sorvane.ini" ]
exit $failed
