#!/usr/bin/env bash
# Prints how many non-blank lines the tests have against the product code, and the ratio.
# Tests: C/C++/rc/py/sh files under tests/ (harness and support included). Product: the
# same kinds of file under app/ book/ view/ output/ base/ res/, without the sample book's
# sources and the icons. The ratio is kept between 0.33 and 0.5.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {  # the files git knows, tracked or about to be
  { git ls-files -- "$@"; git ls-files --others --exclude-standard -- "$@"; } \
    | grep -E '\.(c|cpp|h|rc|py|sh)$' | grep -vE '^res/(sample|icons)/' | tr '\n' '\0' \
    | xargs -0 -r cat | grep -cv '^[[:space:]]*$' || true
}
tests=$(count tests)
product=$(count app book view output base res)
ratio=$(awk -v t="$tests" -v p="$product" 'BEGIN { printf "%.3f", (p ? t / p : 0) }')
echo "tests:   $tests non-blank lines"
echo "product: $product non-blank lines"
echo "ratio:   $ratio (kept between 0.33 and 0.5)"
