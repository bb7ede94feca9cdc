#!/usr/bin/env bash
# Checks that a program is a 32-bit Windows GUI executable that imports
# system DLLs only (no libstdc++, libgcc or winpthread DLL to ship beside it).
#   check-pe.sh koltSSel.exe [gui|console]
set -euo pipefail
exe=${1:?executable}
kind=${2:-gui}
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
dump=$("$objdump" -p "$exe")
fail() { echo "check-pe: $exe: $*" >&2; exit 1; }
grep -q "file format pei-i386" <<<"$dump" || fail "not a 32-bit (i386) PE file"
subsystem=$(awk '/^Subsystem/ {print $2}' <<<"$dump")
case "$kind" in
gui) [ "$subsystem" = 00000002 ] || fail "subsystem $subsystem, expected 2 (Windows GUI)" ;;
console) [ "$subsystem" = 00000003 ] || fail "subsystem $subsystem, expected 3 (console)" ;;
esac
allowed=" kernel32.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll shell32.dll ole32.dll oleaut32.dll
 version.dll advapi32.dll msvcrt.dll shlwapi.dll uxtheme.dll "
dlls=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$dump")
[ -n "$dlls" ] || fail "imports no DLL at all?"
for dll in $dlls; do
    [[ "$allowed" == *" $dll "* ]] || fail "imports $dll, which is not a system DLL"
done
echo "$exe: i386 PE, $kind subsystem, $(wc -c <"$exe") bytes, imports: $(echo $dlls)"
