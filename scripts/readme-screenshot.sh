#!/usr/bin/env bash
# Makes the README's picture, docs/viewer.png, again: the screenshot the run command takes
# of the viewer with the sample book on a virtual display (scripts/run.sh without a display).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
env -u DISPLAY "$root/scripts/run.sh"
cp "$root/build/screenshots/sample-book.png" "$root/docs/viewer.png"
echo "docs/viewer.png made from the run command's screenshot"
