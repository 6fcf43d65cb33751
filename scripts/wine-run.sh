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

if [ ! -f "$WINEPREFIX/.tomelet-ready" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
  # Without a window manager Wine waits about 2 s whenever a top-level window is hidden
  # or destroyed; unmanaged windows don't.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -w || true
  touch "$WINEPREFIX/.tomelet-ready"
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
