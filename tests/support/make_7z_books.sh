#!/usr/bin/env bash
# Writes test books with WinZip AES encryption as 7-Zip writes it (AE-2: CRC 0, the
# authentication code is the check) into the folder $1, with p7zip's 7z:
#   7z-aes.tmk    AES-128, -192 and -256 entries, stored and deflated, short and long
#   7z-plain.tmk  the same entries unencrypted, to compare with
# (7-Zip refuses passwords beyond ASCII for ZIP archives.)
set -euo pipefail
out="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
cd "$work"
short() { printf '{\\rtf1 %s}' "$2" > "$1"; }  # under 20 bytes with a short text
long() { { printf '{\\rtf1\\ansi '; for i in $(seq 400); do printf '%s line %d\\par ' "$2" "$i"; done; printf '}'; } > "$1"; }

short "01 S128.rtf" "s128"
long "02 L128.rtf" "AES-128 deflated"
short "03 S192.rtf" "s192"
long "04 L192.rtf" "AES-192 deflated"
short "05 S256.rtf" "s256"
long "06 L256.rtf" "AES-256 deflated"
long "07 Stored256.rtf" "AES-256 stored"
rm -f "$out/7z-aes.tmk" "$out/7z-plain.tmk"
add() { 7z a -tzip -bd -bso0 -bsp0 "$@"; }
add -mem=AES128 -psecret -mx0 "$out/7z-aes.tmk" "01 S128.rtf"
add -mem=AES128 -psecret "$out/7z-aes.tmk" "02 L128.rtf"
add -mem=AES192 -psecret -mx0 "$out/7z-aes.tmk" "03 S192.rtf"
add -mem=AES192 -psecret "$out/7z-aes.tmk" "04 L192.rtf"
add -mem=AES256 -psecret -mx0 "$out/7z-aes.tmk" "05 S256.rtf" "07 Stored256.rtf"
add -mem=AES256 -psecret "$out/7z-aes.tmk" "06 L256.rtf"
add "$out/7z-plain.tmk" ./*.rtf

