#!/usr/bin/env bash
# Builds the fuzzers (clang, ASan, UBSan, libFuzzer) in the folder given as $1 (default
# build/fuzz) and runs them for about a minute together (FUZZ_SECONDS) from seeds made
# here: the book fuzzer first, then the whole-book fuzzer for the other half.
# Exits non-zero when the build fails or the fuzzer finds a crash, leak or timeout.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/fuzz}"
seconds="${FUZZ_SECONDS:-60}"

cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOMELET_FUZZ=ON -DTOMELET_TESTS=OFF >/dev/null
cmake --build "$build" --target book_fuzz whole_book_fuzz fuzz_seeds -j1

work="$build/fuzz-smoke"
rm -rf "$work"
mkdir -p "$work/seeds" "$work/corpus" "$work/corpus-whole" "$work/artifacts"

# Seeds: source names, index files and small books, written by Python's zipfile.
python3 - "$work/seeds" <<'PY'
import io, sys, zipfile
out = sys.argv[1]
def put(name, data):
    with open(f"{out}/{name}", "wb") as f:
        f.write(data)
names = ["01 Jean-Paul.rtf", "01 Part-2 more.rtf", "010-3.rtf", "010-x.rtf", "0003", "1.5 Notes",
         "picture.JPeG", "#meta.txt", "readme.txt", "#notes.rtf", "images/photo.png", "007 Manual.pdf"]
for i, n in enumerate(names):
    put(f"name{i}", n.encode())
put("index-utf8", b"\xef\xbb\xbf0001 First.rtf\r\n0002-1 Second \xc3\xa4.png\n\n0003-9.rtf\r")
put("index-ansi", b"0001 Gr\xfc\xdfe.rtf\r\n-1 x\n0002\n")
def book(name, entries, method=zipfile.ZIP_DEFLATED):
    buf = io.BytesIO()
    with zipfile.ZipFile(buf, "w", method) as z:
        for n, d in entries:
            z.writestr(n, d)
    put(name, buf.getvalue())
book("book-plain", [("003 C.rtf", b"{\\rtf1 c}"), ("001 A.rtf", b"{\\rtf1 a}"), ("#META.TXT", b"Title: T\r\n"),
                    ("002 B.png", b"\x89PNG\r\n"), ("004-1 Data.bin", b"\x00" * 64)])
book("book-index", [("#INDEX.TXT", b"0001 One.rtf\n0002-1 Two.png\n0001-2.rtf\n0009 Gone.rtf\n"),
                    ("0001", b"{\\rtf1 one}"), ("0002", b"png")], zipfile.ZIP_STORED)
book("book-dirs", [("images/", b""), ("images/photo.png", b"x" * 100), ("docs/#INDEX.TXT", b"1 x\n")])
PY

"$build/fuzz/fuzz_seeds" "$work/seeds"                     # the tests' bad-input corpus
"$root/tests/support/make_books.sh" "$work/seeds" >/dev/null 2>&1 || true  # zip -P and 7z books

status=0
run() {  # target, corpus, seconds
  "$build/fuzz/$1" "$work/$2" "$work/seeds" -max_total_time="$3" -max_len=65536 -rss_limit_mb=2048 -timeout=20 \
    -artifact_prefix="$work/artifacts/" -print_final_stats=1 >"$work/$1.log" 2>&1 || status=$?
  tail -n 20 "$work/$1.log"
}
run book_fuzz corpus $((seconds / 2))
run whole_book_fuzz corpus-whole $((seconds - seconds / 2))
if [ "$status" -ne 0 ] || ls "$work/artifacts"/* >/dev/null 2>&1; then
  echo "fuzz-smoke: FAILED (status $status); see $work/*.log and $work/artifacts" >&2
  exit 1
fi
echo "fuzz-smoke: no crash in ${seconds}s"
