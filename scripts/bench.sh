#!/usr/bin/env bash
# Builds and runs the benchmarks; they print figures (nothing here passes or fails):
#   open_book_bench     opening books of 1,000 to 100,000 entries against bare libzip
#   picture_rtf_bench   the picture writer's hexadecimal throughput against memcpy,
#                       and a 12-megapixel photo's time and memory
#   keynote_export_bench exporting a 200-chapter book against libzip reading + writing,
#                       and the peak memory of exporting one 100 MB chapter
#   window_list_bench   time until the real window lists those books (under Wine)
#   search_walk_bench   the Search dialog's walk through 1,000 chapters against the loader alone
#   startup_bench       process start until the first chapter shows, against the reader floor's
#                       (same manifest, a list of 200 rows, one chapter) and a bare window's start
#   chapter_show_bench  time to show 1 to 20 MB of ordinary RTF, and the 50 MB chapter packed in 50 KB
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
build="$root/build"
cmake -S "$root" -B "$build/bench-native" -DCMAKE_BUILD_TYPE=Release -DTOMELET_BENCH=ON -DTOMELET_TESTS=OFF >/dev/null
cmake --build "$build/bench-native" -j"$(nproc)" --target open_book_bench picture_rtf_bench keynote_export_bench
"$build/bench-native/bench/open_book_bench"
"$build/bench-native/bench/picture_rtf_bench"
"$build/bench-native/bench/keynote_export_bench"

cmake -S "$root" -B "$build/win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DTOMELET_BENCH=ON >/dev/null
cmake --build "$build/win32" -j"$(nproc)" --target window_list_bench search_walk_bench startup_bench chapter_show_bench
cd "$build/win32/bench/windows"
"$root/scripts/wine-run.sh" window_list_bench.exe 2>/dev/null
"$root/scripts/wine-run.sh" search_walk_bench.exe 2>/dev/null
"$root/scripts/wine-run.sh" startup_bench.exe 2>/dev/null
"$root/scripts/wine-run.sh" chapter_show_bench.exe 2>/dev/null
