#!/usr/bin/env bash
# Builds the viewer and opens the bundled sample book in it (under Wine on Linux).
# With no display, the viewer runs on a virtual one until its window shows the book, a
# screenshot of it is saved, and the viewer is closed; the script fails when the window
# never shows the book. Installs what is missing first (apt).
#   TOMELET_RUN_WAIT  seconds to wait for the window (default 120)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
build="$root/build/win32"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DTOMELET_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target TomeletViewer sample_book
exe="$build/app/TomeletViewer.exe"
book="Z:${build//\//\\}\\sample.tmk"

if [ -n "${DISPLAY:-}" ]; then
  exec "$root/scripts/wine-run.sh" "$exe" "$book"
fi

# The Wine prefix is made (or made again) before the viewer starts, so the wait below is
# the viewer's own.
"$root/scripts/wine-run.sh" cmd /c exit 0 >/dev/null 2>&1 || { echo "run.sh: Wine cannot run programs" >&2; exit 1; }
echo "No display: running the viewer on a virtual display and taking a screenshot."
shot="$root/build/screenshots/sample-book.png"
mkdir -p "$(dirname "$shot")"
rm -f "$shot"
status=0
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  wine_run=$1 exe=$2 book=$3 shot=$4 bound=$5
  "$wine_run" "$exe" "$book" >/dev/null 2>&1 &
  viewer=$!
  # The caption names the book once it is open; then the screen is taken when two
  # pictures of the window half a second apart are the same (the first chapter is drawn).
  for _ in $(seq $((bound * 10))); do
    xdotool search --onlyvisible --name "^Tomelet: sample\.tmk$" >/dev/null 2>&1 && break
    kill -0 $viewer 2>/dev/null || break
    sleep 0.1
  done
  status=0
  if window=$(xdotool search --onlyvisible --name "^Tomelet: sample\.tmk$" 2>/dev/null | head -n 1); then
    import -window "$window" "$shot.new.png"
    for _ in $(seq 20); do
      sleep 0.5
      mv "$shot.new.png" "$shot"
      import -window "$window" "$shot.new.png"
      [ "$(compare -metric AE "$shot" "$shot.new.png" null: 2>&1)" = 0 ] && break
    done
    rm -f "$shot.new.png"
  else
    status=3
  fi
  "$wine_run" taskkill /im TomeletViewer.exe >/dev/null 2>&1 || true
  for _ in $(seq 100); do kill -0 $viewer 2>/dev/null || break; sleep 0.1; done
  WINEPREFIX="${TOMELET_WINEPREFIX:-$(dirname "$wine_run")/../build/wineprefix}" wineserver -k 2>/dev/null || true
  exit $status
' _ "$root/scripts/wine-run.sh" "$exe" "$book" "$shot" "${TOMELET_RUN_WAIT:-120}" || status=$?
if [ "$status" != 0 ] || [ ! -f "$shot" ]; then
  echo "run.sh: the viewer's window did not show the book within ${TOMELET_RUN_WAIT:-120} s" >&2
  exit 1
fi
echo "Screenshot of the viewer with the sample book: $shot"
