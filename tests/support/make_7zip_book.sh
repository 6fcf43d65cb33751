#!/usr/bin/env bash
# Writes the book $1 as 7-Zip and WinZip write AES: AE-2 entries (CRC field 0), password "secret".
set -euo pipefail
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
printf '{\\rtf1\\ansi A chapter long enough for the integrity check of 7-Zip AES\\par}' > "$work/01 Seven.rtf"
rm -f "$1"
(cd "$work" && 7z a -tzip -mem=AES256 -psecret "$1" "01 Seven.rtf" >/dev/null)
