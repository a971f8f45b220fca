#!/usr/bin/env bash
# Screenshots of the Windows build under Wine and Xvfb, one PNG per locale (default: English
# and Simplified Chinese) in screenshots/wine-<locale>.png: the main window and, beside it,
# the Filter dialog. Each window is captured on its own, since a capture of the whole screen
# shows windows owned by another one black. Settings go to a scratch folder.
#   tools/screenshot-wine.sh [build-win-dir] [locale ...]
# TARVOLM_WINEPREFIX chooses the Wine prefix (made on first use, about a minute);
# TARVOLM_WINDOW_DRIVER the driver, else the one found in the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-win}
shift || true
locales=("$@")
[ ${#locales[@]} -eq 0 ] && locales=(en_US.UTF-8 zh_CN.UTF-8)

exe=$build/src/tarvolm.exe
driver=${TARVOLM_WINDOW_DRIVER:-$(find "$build" -name window_driver.exe -print -quit)}
[ -f "$exe" ] || { echo "no $exe: build the Windows target first" >&2; exit 1; }
[ -f "$driver" ] || { echo "no window_driver.exe in $build (or set TARVOLM_WINDOW_DRIVER)" >&2; exit 1; }

# The title and the control id come from the sources, not from copies here.
title=$(sed -n 's/.*kProgramTitle\[\] = u"\(.*\)";/\1/p' src/res/string_table.h)
filter_set=$(sed -n 's/.* IDC_FILTER_SET = \([0-9]*\);/\1/p' src/res/resource.h)

export WINEPREFIX=${TARVOLM_WINEPREFIX:-${TMPDIR:-/tmp}/tarvolm-wine-$(id -u)}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="  # no offer to install Mono or Gecko
scratch=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
[ -f "$WINEPREFIX/system.reg" ] || wine wineboot -i >"$scratch/wineboot.log" 2>&1
cp "$exe" "$driver" "$scratch/"
mkdir -p screenshots

for locale in "${locales[@]}"; do
  name=${locale%%.*}
  out=screenshots/wine-$name.png
  # Wine's services keep the output of whatever starts them: start them with a log first.
  xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    set -euo pipefail
    cd "$1"
    wine wineboot >>wine.log 2>&1
    LANG=$2 LC_ALL=$2 wine tarvolm.exe >>wine.log 2>&1 &
    # Runs driver commands; the X windows of the program from the last answer. To a file, not
    # a pipe: a service the driver happens to start would hold a pipe open.
    windows() {
      printf "%s\n" "window \"$title\" 30000" "$@" | wine window_driver.exe >driver.log 2>&1
      local reply
      reply=$(tail -n 1 driver.log)
      [[ $reply == "ok "* ]] || { echo "no windows to capture: $reply" >&2; exit 1; }
      echo "${reply#ok }"
    }
    capture() {  # once it is painted, and before anything covers it
      sleep 1
      import -window "$1" "shot-$1.png"
      shots+=("shot-$1.png")
    }
    title=$3
    shots=()
    main=$(windows "windows")
    capture "$main"
    all=$(windows "click $4" "windows 2")
    for id in $all; do
      [ "$id" = "$main" ] || capture "$id"
    done
    convert "${shots[@]}" -bordercolor "#6b7b8c" -border 16 -background "#6b7b8c" -gravity north +append shot.png
    wineserver -k
  ' bash "$scratch" "$locale" "$title" "$filter_set"
  mv "$scratch/shot.png" "$out"
  rm -f "$scratch"/shot-*.png
  echo "$out"
done
