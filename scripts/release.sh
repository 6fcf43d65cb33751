#!/usr/bin/env bash
# Makes the release: Release builds of the viewer for 32-bit (i686) and 64-bit (x86_64)
# Windows, stripped, each packed as dist/TomeletViewer-<version>-win32.zip / -win64.zip with
# the program, a short README for users, the program's licence and the licence texts of
# the libraries built into it (libzip, zlib, the MinGW-w64 runtime), and SHA256SUMS for the
# zips. Checks that each program binds at start only DLLs Windows takes from its own folder,
# and prints each program's size. Installs what is missing first (apt).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
dist="$root/dist"
mkdir -p "$dist"
for arch in win32:i686 win64:x86_64; do
  name="${arch%%:*}" cpu="${arch##*:}" triple="${arch##*:}-w64-mingw32"
  build="$root/build/release-$name"
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$cpu.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DTOMELET_TESTS=OFF -DTOMELET_BENCH=OFF >/dev/null
  cmake --build "$build" -j"$(nproc)" --target TomeletViewer
  version="$(sed -n 's/^#define TOMELET_VERSION_TEXT "\(.*\)"$/\1/p' "$build/res/tomelet_version.h")"
  stage="$build/package/TomeletViewer-$version-$name"
  rm -rf "$stage" && mkdir -p "$stage/licences"
  "$triple-strip" -o "$stage/TomeletViewer.exe" "$build/app/TomeletViewer.exe"
  "$root/scripts/check-imports.sh" "$stage/TomeletViewer.exe"
  { printf '\xef\xbb\xbf'; sed "s/@VERSION@/$version/; s/@BITS@/${name#win}/" "$root/res/release/README.txt"; } \
    > "$stage/README.txt"   # UTF-8, marked as such for Notepad
  cp "$root/LICENSE" "$stage/LICENSE.txt"
  tar -xOf "$(sed -n 's/^TOMELET_LIBZIP_TARBALL:FILEPATH=//p' "$build/CMakeCache.txt")" --wildcards '*/LICENSE' \
    > "$stage/licences/libzip.txt"
  cp /usr/share/doc/libz-mingw-w64-dev/copyright "$stage/licences/zlib.txt"
  cp "/usr/share/doc/mingw-w64-${cpu/_/-}-dev/copyright" "$stage/licences/mingw-w64-runtime.txt"
  sed -i 's/$/\r/' "$stage/README.txt" "$stage/LICENSE.txt" "$stage"/licences/*.txt   # Windows line ends
  zip="$dist/TomeletViewer-$version-$name.zip"
  rm -f "$zip"
  (cd "$(dirname "$stage")" && zip -qr -X "$zip" "$(basename "$stage")")
  printf '%s: TomeletViewer.exe %s bytes (%s KiB); %s\n' "$name" "$(stat -c %s "$stage/TomeletViewer.exe")" \
    "$(( $(stat -c %s "$stage/TomeletViewer.exe") / 1024 ))" "$zip"
done
(cd "$dist" && sha256sum TomeletViewer-"$version"-win32.zip TomeletViewer-"$version"-win64.zip > SHA256SUMS)
cat "$dist/SHA256SUMS"
