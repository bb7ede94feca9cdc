#!/usr/bin/env bash
# Checks that a program we ship is a hardened 32-bit Windows executable:
#   - i386 PE, GUI or console subsystem, subsystem and OS version 6.1;
#   - DYNAMIC_BASE, NX_COMPAT, NO_SEH and TERMINAL_SERVICE_AWARE set, the
#     relocations kept (an address chosen at load time needs them);
#   - stripped: no symbol table, no debug sections (the programs as packed
#     in the release zip; the win32-debug build keeps its symbols);
#   - the stack protector linked in and used: its failure routine is there
#     and many functions compare their canary with the one guard;
#   - no SEH frame registered anywhere in the code (no write to %fs:0), as
#     NO_SEH promises;
#   - a load configuration the loader reads (tools/pe-load-config.py check):
#     the header's directory entry pointing at it with its own size, which
#     covers DependentLoadFlags, set to LOAD_LIBRARY_SEARCH_SYSTEM32 (0x800),
#     no SEH handler table, and the header checksum right;
#   - imports only from DLLs on the system's KnownDLLs list (loaded from the
#     system folder whatever lies beside the program), plus common controls
#     for a GUI program (version 6 through its manifest, from the side-by-side
#     store). Any other DLL is loaded at run time by its full path
#     (src/base/system_library_win.h).
#   check-pe.sh [--stripped] koltSSel.exe [gui|console]
#   check-pe.sh --zip koltSSel-<version>.zip     (both programs as packed, stripped)
set -euo pipefail
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}

if [ "${1:-}" = --zip ]; then
    zip=${2:?zip}
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$work"
    gui=$(find "$work" -name koltSSel.exe)
    console=$(find "$work" -name koltssel-info.exe)
    [ -n "$gui" ] && [ -n "$console" ] || { echo "check-pe: $zip: koltSSel.exe or koltssel-info.exe missing" >&2; exit 1; }
    "$0" --stripped "$gui" gui
    "$0" --stripped "$console" console
    exit 0
fi
stripped=
if [ "${1:-}" = --stripped ]; then
    stripped=1
    shift
fi

exe=${1:?executable}
kind=${2:-gui}
fail() { echo "check-pe: $exe: $*" >&2; exit 1; }
dump=$("$objdump" -p "$exe")
field() { awk -v name="$1" '$1 == name {print $2; exit}' <<<"$dump"; }

grep -q "file format pei-i386" <<<"$dump" || fail "not a 32-bit (i386) PE file"
subsystem=$(field Subsystem)
case "$kind" in
gui) [ "$subsystem" = 00000002 ] || fail "subsystem $subsystem, expected 2 (Windows GUI)" ;;
console) [ "$subsystem" = 00000003 ] || fail "subsystem $subsystem, expected 3 (console)" ;;
*) fail "kind $kind: gui or console" ;;
esac
for version in SubsystemVersion OSystemVersion; do
    v="$(field "Major$version").$(field "Minor$version")"
    [ "$v" = 6.1 ] || fail "$version $v, expected 6.1 (Windows 7)"
done

characteristics=$((16#$(field DllCharacteristics)))
for flag in DYNAMIC_BASE:0x40 NX_COMPAT:0x100 NO_SEH:0x400 TERMINAL_SERVICE_AWARE:0x8000; do
    ((characteristics & ${flag#*:})) || fail "DllCharacteristics lacks ${flag%%:*}"
done
grep -q "relocations stripped" <<<"$dump" && fail "relocations stripped: no address can be chosen at load time"
sections=$("$objdump" -h "$exe")
grep -qE '^ +[0-9]+ \.reloc ' <<<"$sections" || fail "no .reloc section"

if [ -n "$stripped" ]; then
    grep -q "^	symbols stripped" <<<"$dump" || fail "not stripped: it has a symbol table"
    grep -qE '^ +[0-9]+ \.debug' <<<"$sections" && fail "not stripped: it has debug sections"
fi

grep -qa "stack smashing detected" "$exe" || fail "no stack protector: its failure routine is missing"
code=$("$objdump" -d --no-show-raw-insn "$exe")
# Each protected function compares its canary with the guard, an absolute
# address, on the way out: the most used such operand is the guard.
guarded=$(grep -oE '(sub|xor|cmp) +0x[0-9a-f]+,%e[a-z]{2}$' <<<"$code" | awk '{sub(/,.*/, "", $2); n[$2]++}
    END {best = 0; for (a in n) if (n[a] > best) best = n[a]; print best}')
[ "$guarded" -ge 20 ] || fail "no stack protector: only $guarded functions compare a canary"

loadconfig=$(python3 "$(dirname "$0")/pe-load-config.py" check "$exe" --dependent-load-flags 0x800 2>&1) ||
    fail "${loadconfig#"pe-load-config: $exe: "}"

if grep -qE ',%fs:0x0$' <<<"$code"; then
    fail "registers an SEH frame (writes %fs:0), which NO_SEH rules out:
$(grep -E -B8 ',%fs:0x0$' <<<"$code" | head -20)"
fi

# KnownDLLs of both Windows 7 and Windows 10 (HKLM\SYSTEM\CurrentControlSet\
# Control\Session Manager\KnownDLLs); version.dll, uxtheme.dll, oleacc.dll
# and the like are not on it.
allowed=" advapi32.dll clbcatq.dll comdlg32.dll gdi32.dll imagehlp.dll imm32.dll kernel32.dll msctf.dll
 msvcrt.dll normaliz.dll nsi.dll ole32.dll oleaut32.dll psapi.dll rpcrt4.dll sechost.dll setupapi.dll
 shell32.dll shlwapi.dll user32.dll wldap32.dll ws2_32.dll "
[ "$kind" = gui ] && allowed+=" comctl32.dll "
dlls=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$dump")
[ -n "$dlls" ] || fail "imports no DLL at all?"
for dll in $dlls; do
    [[ "$allowed" == *" $dll "* ]] ||
        fail "imports $dll, which is not a KnownDLL: load it at run time with LoadSystemLibrary"
done
echo "$exe: i386 PE, $kind subsystem 6.1, DYNAMIC_BASE NX_COMPAT NO_SEH TSAWARE, relocations,${stripped:+ stripped,}" \
    "stack protector in $guarded functions, no SEH frame, ${loadconfig#"$exe": }, $(wc -c <"$exe") bytes," \
    "imports: $(echo $dlls)"
