#!/usr/bin/env bash
# Fails when a Windows program imports a DLL that Windows itself does not ship: such a
# program would not start on a user's machine (a lost -static leaves libstdc++-6.dll behind).
#   check_imports.sh OBJDUMP program.exe...
set -uo pipefail
objdump=$1
shift
# Windows' own libraries, lower case; api-ms-win-* sets are matched separately.
allowed=(kernel32.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll msvcrt.dll advapi32.dll imm32.dll
  shell32.dll ole32.dll oleaut32.dll uxtheme.dll shcore.dll shlwapi.dll version.dll
  ucrtbase.dll ws2_32.dll bcrypt.dll)
allowed_line=" ${allowed[*]} "
status=0
for exe in "$@"; do
  if [[ ! -f $exe ]]; then
    echo "FAIL $exe: no such file"
    status=1
    continue
  fi
  names=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: *//p' | tr -d '\r')
  if [[ -z $names ]]; then
    # Every Windows program imports at least KERNEL32; none listed means objdump failed.
    echo "FAIL $exe: no imports found"
    status=1
    continue
  fi
  while IFS= read -r name; do
    lower=${name,,}
    if [[ $lower == api-ms-win-* || $allowed_line == *" $lower "* ]]; then
      continue
    fi
    echo "FAIL $exe imports $name, which is not part of Windows"
    status=1
  done <<<"$names"
  echo "checked $(basename "$exe"): $(tr '\n' ' ' <<<"$names")"
done
exit $status
