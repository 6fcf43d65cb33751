#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix (created on first use),
# with a virtual display when there is none.
#   TOMELET_WINEPREFIX  the prefix to use (default: build/wineprefix in the repository)
#   TOMELET_WINE_DPI    the screen DPI of that prefix (e.g. 192; unset: as it is)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
export WINEPREFIX="${TOMELET_WINEPREFIX:-$here/../build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"   # no Mono/Gecko prompts

# A prefix is made whole or not at all: under another name, checked (Wine starts a program
# in it), and only then moved into place with its mark. A prefix whose making was ended
# halfway (Wine then answers every program with "could not load kernel32.dll") never gets
# the mark, and one without the mark is made again. One maker at a time (a lock file).
mark=".tomelet-prefix-ok"
make_prefix() {
  local new="$WINEPREFIX.making-$$"
  rm -rf "$WINEPREFIX".making-*        # left by an interrupted run
  trap 'WINEPREFIX="$new" wineserver -k 2>/dev/null; rm -rf "$new"' EXIT
  mkdir -p "$new"
  WINEPREFIX="$new" wineboot -i >/dev/null 2>&1 || true
  WINEPREFIX="$new" wineserver -w || true
  # Without a window manager Wine waits about 2 s whenever a top-level window is hidden
  # or destroyed; unmanaged windows don't.
  WINEPREFIX="$new" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  if ! WINEPREFIX="$new" wine cmd /c exit 0 >/dev/null 2>&1; then
    echo "wine-run: Wine cannot start a program in a new prefix" >&2
    exit 1
  fi
  WINEPREFIX="$new" wineserver -w || true
  touch "$new/$mark"
  rm -rf "$WINEPREFIX"
  mv "$new" "$WINEPREFIX"
  trap - EXIT
}
if [ ! -f "$WINEPREFIX/$mark" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  exec 9>"$WINEPREFIX.lock"
  flock 9
  [ -f "$WINEPREFIX/$mark" ] || make_prefix
  exec 9>&-
fi

# Wine reads the DPI (LogPixels) when its server starts: set it, then end the server.
if [ -n "${TOMELET_WINE_DPI:-}" ] && [ ! -f "$WINEPREFIX/.tomelet-dpi-$TOMELET_WINE_DPI" ]; then
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$TOMELET_WINE_DPI" /f >/dev/null 2>&1
  wineserver -k || true
  wineserver -w || true
  rm -f "$WINEPREFIX"/.tomelet-dpi-*
  touch "$WINEPREFIX/.tomelet-dpi-$TOMELET_WINE_DPI"
fi

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" wine "$@"
fi
exec wine "$@"
