#!/usr/bin/env bash
# Fails unless the Windows programs given bind at start only DLLs that Windows takes from
# its own folder whatever lies beside the program (its KnownDLLs, and kernel32/ntdll).
# Others (version, bcrypt, gdiplus, comctl32) are delay-loaded after the program limited
# DLL loading to the system folder. comdlg32 and shell32, KnownDLLs though they are, are
# bound at their first call as well: loading them at start slows it (base/late_bound.h).
# Run after every link of the viewer and by release.sh.
set -euo pipefail
known=" advapi32.dll gdi32.dll kernel32.dll msvcrt.dll ntdll.dll ole32.dll oleaut32.dll shlwapi.dll user32.dll "
slow=" comdlg32.dll shell32.dll "
objdump=x86_64-w64-mingw32-objdump
command -v "$objdump" >/dev/null || objdump=objdump
status=0
for exe in "$@"; do
  # Only the import directory: the delay-loaded DLLs are listed after it.
  imports="$("$objdump" -p "$exe" | sed '/^The Delay Import Tables/,$d' | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')"
  for dll in $imports; do
    if [[ "$slow" == *" $dll "* ]]; then
      echo "check-imports: $exe binds $dll at start; call it through base/late_bound.h" >&2
      status=1
    elif [[ "$known" != *" $dll "* ]]; then
      echo "check-imports: $exe binds $dll at start; it must be delay-loaded (CMakeLists.txt)" >&2
      status=1
    fi
  done
done
exit $status
