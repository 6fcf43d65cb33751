#!/usr/bin/env bash
# Builds everything and runs every test:
#   1. native build of the platform-neutral code: unit tests under ASan/UBSan;
#   2. the Windows program (i686): the same unit tests, the Win32 tests and the UI tests
#      that drive the real main window, all under Wine on a virtual display;
#   3. the x86_64 Windows build: the same tests and UI stories under 64-bit Wine;
#   4. a short fuzzing run of the book parsers.
# Installs what is missing first (apt). Usage: scripts/test.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
"$root/scripts/install-deps.sh"

jobs="${JOBS:-$(nproc)}"
build="$root/build"
export TOMELET_WINEPREFIX="${TOMELET_WINEPREFIX:-$build/wineprefix}"
export TOMELET_SCREENSHOTS="${TOMELET_SCREENSHOTS:-$build/screenshots}"
mkdir -p "$build" "$TOMELET_SCREENSHOTS"
results="$build/test-results.txt"
: > "$results"

# One virtual display for every Wine test, unless the caller has a display.
xvfb_pid=""
small_disk=""
cupsd_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  [ -n "$cupsd_pid" ] && kill "$cupsd_pid" 2>/dev/null || true
  WINEPREFIX="$TOMELET_WINEPREFIX" wineserver -k 2>/dev/null || true
  if [ -n "$small_disk" ]; then
    rm -f "$TOMELET_WINEPREFIX/dosdevices/t:"
    umount "$small_disk" 2>/dev/null || true
  fi
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 120); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      xvfb_pid=$!
      export DISPLAY=":$n"
      break
    fi
  done
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ] && break; sleep 0.1; done
fi

# A printer for the printing test: Wine prints through CUPS, and CUPS-PDF's printer "PDF"
# writes each job as a PDF. A running CUPS daemon is used as it is; otherwise one is
# started for the tests and stopped at the end.
if ! lpstat -r 2>/dev/null | grep -q "is running"; then
  /usr/sbin/cupsd -f >/dev/null 2>&1 &
  cupsd_pid=$!
  for _ in $(seq 100); do lpstat -r 2>/dev/null | grep -q "is running" && break; sleep 0.1; done
fi
if ! lpstat -p PDF >/dev/null 2>&1; then
  lpadmin -p PDF -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -E 2>/dev/null || echo "test.sh: could not add the PDF printer"
fi
lpstat -d 2>/dev/null | grep -q "system default destination:" || lpadmin -d PDF 2>/dev/null || true
# Where CUPS-PDF puts the PDFs of this user's jobs ("Out" in its configuration).
pdf_out="$(sed -n 's/^Out[[:space:]]\+//p' /etc/cups/cups-pdf.conf 2>/dev/null | tail -1)"
[ -n "$pdf_out" ] || pdf_out='/var/spool/cups-pdf/${USER}'
user_name="$(id -un)"
user_home="$(getent passwd "$user_name" | cut -d: -f6)"
home_mark='${HOME}' user_mark='${USER}'
pdf_out="${pdf_out//"$home_mark"/$user_home}"
export TOMELET_PRINT_OUTPUT="${pdf_out//"$user_mark"/$user_name}"

# Test cases GoogleTest reports in a log.
count_passed() { { grep -hoE '^\[  PASSED  \] [0-9]+' "$1" 2>/dev/null || true; } | awk '{s+=$4} END {print s+0}'; }
count_failed() { { grep -hoE '^\[  FAILED  \] [A-Za-z0-9_/]+\.[A-Za-z0-9_/]+' "$1" 2>/dev/null || true; } | sort -u | wc -l; }

run_ctest() {  # folder, label
  echo "== $2"
  local log="$build/ctest-$2.log"
  set +e
  ctest --test-dir "$1" --output-on-failure 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  set -e
  # Count the test cases GoogleTest ran, for the closing line.
  local passed failed
  passed=$(count_passed "$1"/Testing/Temporary/LastTest.log)
  failed=$(count_failed "$1"/Testing/Temporary/LastTest.log)
  echo "$2 $passed $failed $rc" >> "$results"
  return 0
}

echo "== native build"
cmake -S "$root" -B "$build/native" -DTOMELET_SANITIZE=ON -DTOMELET_BENCH=ON >/dev/null
cmake --build "$build/native" -j"$jobs"
run_ctest "$build/native" native

echo "== Windows build (i686)"
cmake -S "$root" -B "$build/win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DTOMELET_BENCH=ON >/dev/null
cmake --build "$build/win32" -j"$jobs"
"$root/scripts/wine-run.sh" cmd /c exit 0 >/dev/null 2>&1 || true   # prepare the prefix once
# A disk of 64 KiB, drive T: for Wine, for the test that writes into a full disk. Only
# root can mount it; without it that test is skipped.
if [ "$(id -u)" = 0 ] && [ ! -e "$TOMELET_WINEPREFIX/dosdevices/t:" ]; then
  mkdir -p "$build/small-disk"
  if mount -t tmpfs -o size=64k tmpfs "$build/small-disk"; then
    small_disk="$build/small-disk"
    ln -s "$small_disk" "$TOMELET_WINEPREFIX/dosdevices/t:"
    export TOMELET_SMALL_DISK="T:"
  fi
fi
run_ctest "$build/win32" win32

echo "== Windows build (x86_64)"
cmake -S "$root" -B "$build/win64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" >/dev/null
cmake --build "$build/win64" -j"$jobs"
run_ctest "$build/win64" win64

if [ -x "$root/scripts/fuzz-smoke.sh" ]; then
  echo "== fuzzing (short run)"
  if "$root/scripts/fuzz-smoke.sh" "$build/fuzz"; then echo "fuzz 1 0 0" >> "$results"; else echo "fuzz 0 1 1" >> "$results"; fi
fi

echo "== summary"
total_passed=0; total_failed=0; bad=0
while read -r label passed failed rc; do
  printf '  %-8s %5s passed, %s failed%s\n' "$label" "$passed" "$failed" "$([ "$rc" != 0 ] && echo " (exit $rc)")"
  total_passed=$((total_passed + passed)); total_failed=$((total_failed + failed))
  [ "$rc" != 0 ] && bad=1
done < "$results"
echo "$total_passed passed, $total_failed failed"
[ "$bad" = 0 ] && [ "$total_failed" = 0 ]
