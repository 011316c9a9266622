#!/usr/bin/env bash
# Checks a built Pagewell.dll from the outside, with binutils only, so that
# it runs where the DLL itself cannot (a 32-bit DLL on a kernel without
# 32-bit support):
#   - it exports exactly the four in-process server entry points, by their
#     plain names (no stdcall decoration such as DllRegisterServer@0);
#   - it imports only DLLs that every Windows installation has, never a
#     mingw runtime DLL that the user would lack;
#   - it embeds the type library as resource TYPELIB (LoadTypeLib on the
#     DLL's own path needs it);
# and reports its size.
#
#   check_dll.sh OBJDUMP DLL
set -euo pipefail
objdump=$1
dll=$2

fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f "$dll" ] || fail "no such file: $dll"

headers=$("$objdump" -p "$dll")

# The export table lists "[Ordinal] Name" lines after "[Ordinal/Name Pointer] Table".
exports=$(awk '/\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
               on && /^[ \t]*\[ *[0-9]+\]/ { print $NF; next }
               on && NF == 0 { on = 0 }' <<<"$headers" | sort)
expected=$(printf '%s\n' DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer)
[ "$exports" = "$expected" ] || fail "exports are
$exports
expected exactly
$expected"

# DLLs that ship with Windows itself (the C runtime msvcrt included).
system_dlls='^(kernel32|user32|gdi32|advapi32|ole32|oleaut32|shell32|comctl32|comdlg32|wininet|msvcrt|shlwapi|version|uuid|ws2_32|crypt32|msimg32|rpcrt4|api-ms-win-[a-z0-9-]+)\.dll$'
imports=$(awk '/DLL Name:/ { print tolower($3) }' <<<"$headers" | sort -u)
[ -n "$imports" ] || fail "no import table found"
while read -r name; do
  [[ "$name" =~ $system_dlls ]] || fail "imports $name, which is not a system DLL"
done <<<"$imports"

# The resource directory names the type "TYPELIB" in UTF-16; the type
# library itself begins with the signature "MSFT".
resources=$(mktemp)
trap 'rm -f "$resources"' EXIT
"${objdump%objdump}objcopy" -O binary --only-section=.rsrc "$dll" "$resources"
LC_ALL=C grep -qaP 'T\x00Y\x00P\x00E\x00L\x00I\x00B\x00' "$resources" || fail "no TYPELIB resource"
LC_ALL=C grep -qa 'MSFT' "$resources" || fail "the TYPELIB resource holds no type library"

size=$(stat -c %s "$dll")
echo "$dll: exports the four entry points; imports $(echo $imports); type library embedded; $size bytes"
