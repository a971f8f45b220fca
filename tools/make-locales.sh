#!/usr/bin/env bash
# Generates the Chinese locales the Windows program is checked in under Wine.
set -euo pipefail
wanted=(zh_CN.UTF-8 zh_TW.UTF-8)
have=$(locale -a 2>/dev/null | tr 'A-Z' 'a-z')
todo=0
for l in "${wanted[@]}"; do
  grep -qx "$(echo "${l%.UTF-8}.utf8" | tr 'A-Z' 'a-z')" <<<"$have" || todo=1
done
[ $todo -eq 0 ] && exit 0
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
for l in "${wanted[@]}"; do
  "${sudo_cmd[@]}" sed -i "s/^# *\(${l} UTF-8\)/\1/" /etc/locale.gen
done
"${sudo_cmd[@]}" locale-gen >/dev/null
