#!/usr/bin/env bash
# Writes the test books with traditional PKWARE encryption (Info-ZIP's zip -P; libzip
# only writes AES) into the folder $1.
set -euo pipefail
out="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
cd "$work"
rtf() { printf '{\\rtf1\\ansi %s\\par}' "$2" > "$1"; }

# Two encrypted chapters and a plain one.
rtf "01 One.rtf" "First secret chapter"
rtf "02 Two.rtf" "Second secret chapter"
rtf "03 Plain.rtf" "Plain chapter"
rm -f "$out/pkware.tmk"
zip -q -P secret "$out/pkware.tmk" "01 One.rtf" "02 Two.rtf"
zip -q "$out/pkware.tmk" "03 Plain.rtf"

# An encrypted index file naming encrypted entries.
rm -f ./*
rtf 01 "Indexed one"
rtf 02 "Indexed two"
printf '01 First.rtf\r\n02 Second.rtf\r\n' > "#INDEX.TXT"
rm -f "$out/pkware-index.tmk"
zip -q -P secret "$out/pkware-index.tmk" "#INDEX.TXT" 01 02

# A password with a character beyond ASCII, encrypted from its UTF-8 bytes.
rm -f ./*
rtf "01 Umlaut.rtf" "Opened with the UTF-8 password"
rtf "02 Umlaut.rtf" "Second chapter of the UTF-8 book"
rm -f "$out/pkware-utf8.tmk"
zip -q -P "$(printf 'p\xc3\xa4ss')" "$out/pkware-utf8.tmk" "01 Umlaut.rtf" "02 Umlaut.rtf"
