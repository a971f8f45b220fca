#!/usr/bin/env bash
# Takes a screenshot of the real window under Xvfb, in each language given (default: English
# and Simplified Chinese), into screenshots/<lang>.png. Settings go to a scratch folder.
#   tools/screenshot.sh [build-dir] [locale ...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
locales=("$@")
[ ${#locales[@]} -eq 0 ] && locales=(en_US.UTF-8 zh_CN.UTF-8)
mkdir -p screenshots
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$build/src/tarvolm" "$scratch/"
for locale in "${locales[@]}"; do
  name=${locale%%.*}
  xvfb-run -a -s "-screen 0 1400x800x24" bash -c "
    LANG=$locale LC_ALL=$locale '$scratch/tarvolm' 2>/dev/null &
    pid=\$!
    sleep 3
    import -window root 'screenshots/$name.png'
    kill \$pid
  "
  echo "screenshots/$name.png"
done
