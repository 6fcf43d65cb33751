#!/usr/bin/env bash
# Builds the viewer and opens the bundled sample book in it (under Wine on Linux).
# With no display, the viewer runs on a virtual one for a few seconds and a screenshot
# of it is saved instead. Installs what is missing first (apt).
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

echo "No display: running the viewer on a virtual display and taking a screenshot."
shot="$root/build/screenshots/sample-book.png"
mkdir -p "$(dirname "$shot")"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  "$1" "$2" "$3" &
  sleep 6
  import -window root "$4"
  WINEPREFIX="${TOMELET_WINEPREFIX:-$5/build/wineprefix}" wineserver -k
' _ "$root/scripts/wine-run.sh" "$exe" "$book" "$shot" "$root" || true
echo "Screenshot: $shot"
