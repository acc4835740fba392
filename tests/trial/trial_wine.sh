# shellcheck shell=bash
# Wine as the second reader of the crash trial's registry files. Source it.
# Every Wine server started here belongs to the trial's own prefix and is
# ended with that prefix's WINEPREFIX.

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# Finds the 64-bit loader and the server: WINE and WINESERVER.
wine_find() {
  WINE=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver
  [ -x "$WINE" ] || WINE=$(command -v wine64 || command -v wine || true)
  [ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver || true)
  [ -n "$WINE" ] && [ -n "$WINESERVER" ]
}

# Makes the trial's prefix once (wineboot, without a display), and keeps
# Wine from updating it later over the registry copies put into it.
wine_prefix() {
  WINE_PREFIX=$1 WINE_LOG="$(dirname "$1")/wine.log"
  wine_stop
  [ -f "$WINE_PREFIX/.trial-ready" ] && return 0
  rm -rf "$WINE_PREFIX"
  echo "making the Wine prefix $WINE_PREFIX"
  if ! env -u DISPLAY WINEPREFIX="$WINE_PREFIX" timeout 600 "$WINE" wineboot -i >"$WINE_LOG" 2>&1; then
    echo "wineboot failed:"; tail -5 "$WINE_LOG"; return 1
  fi
  WINEPREFIX="$WINE_PREFIX" timeout 120 "$WINESERVER" -w
  echo disable > "$WINE_PREFIX/.update-timestamp"
  touch "$WINE_PREFIX/.trial-ready"
}

# Ends the prefix's server (it writes its registry back; the next check puts
# its own copy in place afterwards).
wine_stop() {
  [ -n "${WINE_PREFIX:-}" ] && [ -d "$WINE_PREFIX" ] || return 0
  WINEPREFIX="$WINE_PREFIX" "$WINESERVER" -k 2>/dev/null
  WINEPREFIX="$WINE_PREFIX" timeout 60 "$WINESERVER" -w 2>/dev/null
  return 0
}

# wine_keys <system.reg> <out>: a copy of the file becomes the prefix's
# system.reg, a fresh server loads it, and every key under HKEY_LOCAL_MACHINE
# is exported; <out> gets the key paths in lower case, sorted. Fails when the
# export fails or the server reports a fault in the file; WINE_WHY says which. ("reg query /s"
# gives the same reading but takes some twenty seconds on this file.)
# shellcheck disable=SC2034  # WINE_WHY is for the caller
wine_keys() {
  local export="$WINE_PREFIX/drive_c/trial-export.reg"
  wine_stop
  cp "$1" "$WINE_PREFIX/system.reg" || return 1
  rm -f "$export"
  WINEPREFIX="$WINE_PREFIX" timeout 120 "$WINE" reg export HKLM 'C:\trial-export.reg' /y >"$WINE_LOG" 2>&1
  local status=$?
  wine_stop
  WINE_WHY="reg export ended with status $status: $(head -c 300 "$WINE_LOG")"
  [ $status -eq 0 ] || return 1
  WINE_WHY="the export is empty"
  [ -s "$export" ] || return 1
  WINE_WHY="the server reports: $(grep -m3 "system.reg" "$WINE_LOG")"
  ! grep -q "system.reg" "$WINE_LOG" || return 1
  iconv -f UTF-16 -t UTF-8 "$export" | tr -d '\r' |
    sed -n 's/^\[HKEY_LOCAL_MACHINE\\\(.*\)\]$/\1/p' | tr '[:upper:]' '[:lower:]' | LC_ALL=C sort -u > "$2"
}
