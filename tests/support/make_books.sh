#!/usr/bin/env bash
# Writes the test books libzip cannot write into the folder $1: traditional PKWARE
# encryption with Info-ZIP's zip -P, and WinZip AES as 7-Zip writes it (AE-2: CRC 0, the
# authentication code is the check; 7-Zip refuses passwords beyond ASCII for ZIP); their
# bombs (50 MB of one letter, about 50 KB packed); and a JPEG cut in half (ImageMagick).
set -euo pipefail
out="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
cd "$work"
rm -f "$out"/pkware*.tmk "$out"/7z-aes*.tmk "$out/jpeg-cut.tmk"
printf '{\\rtf1\\ansi First secret chapter\\par}' > "01 One.rtf"
printf '{\\rtf1\\ansi Second secret chapter\\par}' > "02 Two.rtf"
printf '{\\rtf1\\ansi Plain chapter\\par}' > "03 Plain.rtf"
zip -q -P secret "$out/pkware.tmk" "01 One.rtf" "02 Two.rtf"
zip -q "$out/pkware.tmk" "03 Plain.rtf"
zip -q -P "$(printf 'p\xc3\xa4ss')" "$out/pkware-utf8.tmk" "01 One.rtf" "02 Two.rtf"  # the UTF-8 bytes
# An encrypted index file naming encrypted entries.
cp "01 One.rtf" 01 && cp "02 Two.rtf" 02 && printf '01 First.rtf\r\n02 Second.rtf\r\n' > "#INDEX.TXT"
zip -q -P secret "$out/pkware-index.tmk" "#INDEX.TXT" 01 02
# AES-128, -192 and -256: a short entry stored, a long one deflated, and a long one stored.
add() { 7z a -tzip -bd -bso0 -bsp0 -psecret "-mem=AES$1" "$out/7z-aes.tmk" "${@:2}"; }
for n in 128 192 256; do
  printf '{\\rtf1 s%s}' "$n" > "s$n.rtf"  # under 20 bytes
  { printf '{\\rtf1\\ansi '; for i in $(seq 400); do printf 'AES-%s line %d\\par ' "$n" "$i"; done; printf '}'; } > "l$n.rtf"
  add "$n" -mx0 "s$n.rtf"
  add "$n" "l$n.rtf"
done
cp l256.rtf t256.rtf && add 256 -mx0 t256.rtf

{ printf '{\\rtf1 '; head -c 52428800 /dev/zero | tr '\0' a; printf '}'; } > "01 Bomb.rtf"
zip -q -P secret "$out/pkware-bomb.tmk" "01 Bomb.rtf"
7z a -tzip -bd -bso0 -bsp0 -psecret -mem=AES256 "$out/7z-aes-bomb.tmk" "01 Bomb.rtf"
convert -size 64x48 gradient:red-blue "02 Cut.jpg"
head -c "$(( $(stat -c %s "02 Cut.jpg") / 2 ))" "02 Cut.jpg" > "02 Half.jpg" && mv "02 Half.jpg" "02 Cut.jpg"
zip -q "$out/jpeg-cut.tmk" "03 Plain.rtf" "02 Cut.jpg"
