#!/usr/bin/env bash
# Runs a Windows program under Wine in a quiet prefix of the project's own, made on first use.
set -euo pipefail
export WINEPREFIX="${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/tarvolm-wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  # Tests run in parallel; one of them makes the prefix.
  exec 9>"$WINEPREFIX/.init-lock"
  flock 9
  [ -f "$WINEPREFIX/system.reg" ] || { "$wine" wineboot -i >/dev/null 2>&1; "$(dirname "$wine")/wineserver" -w || true; }
  flock -u 9
fi
exec "$wine" "$@"
