#!/usr/bin/env bash
# Puts libzip's upstream source tarball (from Debian's source package) into the
# folder given as $1, unless it is there already. Used by every build (cmake/Libzip.cmake).
set -euo pipefail
dest="$1"
here="$(cd "$(dirname "$0")" && pwd)"
mkdir -p "$dest"
cd "$dest"
if ls libzip_*.orig.tar.* >/dev/null 2>&1; then exit 0; fi
if ! apt-get source --download-only libzip >/dev/null 2>fetch.log; then
  # The source lists may be missing on a fresh machine: install-deps.sh adds them.
  "$here/install-deps.sh"
  apt-get source --download-only libzip >/dev/null 2>fetch.log
fi
ls libzip_*.orig.tar.* >/dev/null
