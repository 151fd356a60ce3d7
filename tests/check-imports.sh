#!/bin/sh
# Fails when an executable imports, at load time, a DLL that is not a
# KnownDLL on every supported Windows version: such a DLL would be searched
# for beside the executable (a Downloads folder) before our entry could
# restrict the search. Delay-loaded DLLs are listed separately by objdump and
# are loaded only after the entry has run.
set -eu
objdump=$1; shift
allowed="kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll shlwapi.dll ole32.dll oleaut32.dll ws2_32.dll imm32.dll setupapi.dll comdlg32.dll psapi.dll msvcrt.dll rpcrt4.dll"
status=0
for exe in "$@"; do
  [ -f "$exe" ] || { echo "missing: $exe"; status=1; continue; }
  # Static imports are the "DLL Name" lines of the import table section,
  # which ends where the delay import table begins.
  names=$("$objdump" -p "$exe" | awk '/^The Delay Import Tables/ {stop=1} !stop && /DLL Name:/ {print tolower($3)}')
  for dll in $names; do
    case " $allowed " in
      *" $dll "*) ;;
      *) echo "$exe: static import of $dll"; status=1 ;;
    esac
  done
  echo "$exe: static imports: $(echo $names)"
done
exit $status
