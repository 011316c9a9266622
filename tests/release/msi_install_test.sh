#!/usr/bin/env bash
# The installer end to end under Wine, in a prefix of its own that has never
# seen regsvr32:
#   - its tables (msiinfo): COM registration in the Registry table, no
#     self-registration, the policy's component condition, the optional
#     virtual scanner, the upgrade rows;
#   - a silent install; the control created from a page script;
#   - a newer package with ALLOWEDORIGINS and the virtual scanner upgrades
#     the first in place; an older package is refused;
#   - a silent uninstall leaves no file, class, ProgID, type library or
#     policy behind.
#
#   msi_install_test.sh ARCH(win32|win64) PAGEWELL_DLL SCANNER_DS PAGEHOST_EXE WORKDIR
#
# Both of a package's slots (x86/, x64/) hold this build's files: only the
# slot of this prefix's architecture is ever loaded here, and the other is
# checked as files and registry entries, which do not depend on the bytes.
set -uo pipefail
arch=$1 dll=$2 scanner=$3 pagehost=$4 work=$5
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ROOT="$(cd "$here/../.." && pwd)"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect() { # expect WHAT COMMAND...: the command must succeed
  local what=$1; shift
  "$@" >/dev/null 2>&1 || fail "$what"
}
refuse() { # refuse WHAT COMMAND...: the command must fail
  local what=$1; shift
  ! "$@" >/dev/null 2>&1 || fail "$what"
}

if [ "$arch" = win64 ]; then platform=x64; else platform=x86; fi
rm -rf "$work"
mkdir -p "$work/source/x86" "$work/source/x64"
for slot in x86 x64; do
  cp "$dll" "$work/source/$slot/Pagewell.dll"
  cp "$scanner" "$work/source/$slot/PagewellVirtualScanner.ds"
done
old="$work/Pagewell-1.3.0.msi" new="$work/Pagewell-1.3.1.msi"
"$ROOT/packaging/build-msi" 1.3.0 "$platform" "$work/source" "$old" || { echo "FAIL: build-msi"; exit 1; }
"$ROOT/packaging/build-msi" 1.3.1 "$platform" "$work/source" "$new" || { echo "FAIL: build-msi"; exit 1; }

# --- the tables ---------------------------------------------------------------
CLSID='{60953E2E-8F0C-4A8C-8882-62DE8446F78C}'
LIBID='{16906855-A4E2-4870-B870-8C496E3BEAA5}'
# One table as text (msiinfo writes CRLF lines).
table() { msiinfo export "$old" "$1" | tr -d '\r'; }
registry=$(table Registry)
has_row() { grep -qF -- "$2" <<<"$1"; }
for row in "CLSID\\$CLSID\\InprocServer32		[#PagewellDll32]" \
           "CLSID\\$CLSID\\InprocServer32	ThreadingModel	Apartment" \
           "CLSID\\$CLSID\\Implemented Categories\\{40FC6ED4-2438-11CF-A3DB-080036F12502}" \
           "CLSID\\$CLSID\\Implemented Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}" \
           "Pagewell.TwainForm\\CLSID		$CLSID" \
           "TypeLib\\$LIBID\\1.3\\0\\win32		[#PagewellDll32]" \
           "SOFTWARE\\Pagewell	AllowedOrigins	[~][ALLOWEDORIGINS][~]"; do
  has_row "$registry" "$row" || fail "Registry table lacks: $row"
done
if [ "$platform" = x64 ]; then
  has_row "$registry" "TypeLib\\$LIBID\\1.3\\0\\win64		[#PagewellDll64]" || fail "Registry table lacks the 64-bit type library"
  grep -q '^Template: x64;' <<<"$(msiinfo suminfo "$old")" || fail "the x64 package is not marked x64"
else
  grep -q 'NOT VersionNT64' <<<"$(table LaunchCondition)" || fail "the x86 package does not refuse 64-bit Windows"
fi
! grep -qx SelfReg <<<"$(msiinfo tables "$old")" || fail "the package uses self-registration"
grep -qP '^AllowedOriginsPolicy\t.*\tALLOWEDORIGINS OR REMOVE~="ALL"\t' <<<"$(table Component)" ||
  fail "the policy is not conditioned on ALLOWEDORIGINS"
grep -qP '^VirtualScanner\t.*\t2\t\t0$' <<<"$(table Feature)" || fail "the virtual scanner is not off by default"
grep -q 'WIX_UPGRADE_DETECTED' <<<"$(table Upgrade)" || fail "no upgrade row"

# --- a fresh prefix -------------------------------------------------------------
export PAGEWELL_WINE_ARCH=$arch
# shellcheck source=../../scripts/wine-env
. "$ROOT/scripts/wine-env"
export WINEPREFIX="$work/prefix"
# The display of scripts/test's session, or one of our own.
if [ -n "${PAGEWELL_XVFB:-}" ]; then
  export DISPLAY="$PAGEWELL_XVFB"
else
  start_xvfb || { echo "FAIL: no display"; exit 1; }
  export DISPLAY="$XVFB_DISPLAY"
fi
cleanup() { wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1; stop_xvfb; }
trap cleanup EXIT
wine wineboot -i </dev/null >/dev/null 2>&1 || { echo "FAIL: the prefix did not boot"; exit 1; }

windows_path() { printf 'Z:%s' "$(realpath "$1")"; }
msiexec() { wine msiexec "$@" </dev/null >/dev/null 2>&1; }
reg_has() { wine reg query "$@" </dev/null >/dev/null 2>&1; }
drive_c="$WINEPREFIX/drive_c"
if [ "$arch" = win64 ]; then
  controls=("$drive_c/Program Files/Pagewell/Pagewell.dll" "$drive_c/Program Files (x86)/Pagewell/Pagewell.dll")
  scanners=("$drive_c/windows/twain_64/PagewellVirtualScanner.ds" "$drive_c/windows/twain_32/PagewellVirtualScanner.ds")
  views=(/reg:64 /reg:32)
else
  controls=("$drive_c/Program Files/Pagewell/Pagewell.dll")
  scanners=("$drive_c/windows/twain_32/PagewellVirtualScanner.ds")
  views=(/reg:32)
fi
installed_versions() {
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s </dev/null 2>/dev/null |
    tr -d '\r' | awk '/DisplayName.*REG_SZ.*Pagewell$/ { name = 1 } /DisplayVersion/ { version = $NF }
                      /^HKEY/ { if (name) print version; name = 0; version = "" }
                      END { if (name) print version }' | sort | tr '\n' ' '
}

# 1. The first install, silently, without the optional feature or the policy.
expect "install 1.3.0" msiexec /i "$(windows_path "$old")" /qn
for file in "${controls[@]}"; do [ -f "$file" ] || fail "not installed: $file"; done
for file in "${scanners[@]}"; do [ ! -e "$file" ] || fail "the virtual scanner was installed without being asked for: $file"; done
for view in "${views[@]}"; do
  expect "class $view" reg_has "HKCR\\CLSID\\$CLSID\\InprocServer32" "$view"
  expect "ProgID $view" reg_has 'HKCR\Pagewell.TwainForm\CLSID' "$view"
done
expect "type library" reg_has "HKCR\\TypeLib\\$LIBID\\1.3"
refuse "a policy without ALLOWEDORIGINS" reg_has 'HKLM\SOFTWARE\Pagewell' /v AllowedOrigins

# 2. A page creates the control from what the installer registered.
page_output=$(wine "$pagehost" "$(windows_path "$here/installed_control.js")" </dev/null 2>&1)
grep -q "installed control answers" <<<"$page_output" || fail "the page could not use the installed control: $page_output"

# 3. The newer package replaces the older in place, with the policy and the
# virtual scanner this time.
expect "upgrade to 1.3.1" msiexec /i "$(windows_path "$new")" /qn \
  "ALLOWEDORIGINS=https://intranet.example.com https://*.example.org" ADDLOCAL=Control,VirtualScanner
[ "$(installed_versions)" = "1.3.1 " ] || fail "installed after the upgrade: [$(installed_versions)], expected only 1.3.1"
for file in "${controls[@]}" "${scanners[@]}"; do [ -f "$file" ] || fail "missing after the upgrade: $file"; done
policy=$(wine reg query 'HKLM\SOFTWARE\Pagewell' /v AllowedOrigins </dev/null 2>/dev/null | tr -d '\r')
grep -q 'REG_MULTI_SZ.*https://intranet.example.com https://\*.example.org' <<<"$policy" ||
  fail "policy after the upgrade: $policy"
refuse "a downgrade to 1.3.0" msiexec /i "$(windows_path "$old")" /qn
[ "$(installed_versions)" = "1.3.1 " ] || fail "installed after the refused downgrade: [$(installed_versions)]"

# 4. Uninstalling removes everything the package added.
expect "uninstall" msiexec /x "$(windows_path "$new")" /qn
for file in "${controls[@]}" "${scanners[@]}"; do [ ! -e "$file" ] || fail "left behind: $file"; done
for view in "${views[@]}"; do
  refuse "class left behind $view" reg_has "HKCR\\CLSID\\$CLSID" "$view"
  refuse "ProgID left behind $view" reg_has 'HKCR\Pagewell.TwainForm' "$view"
done
refuse "type library left behind" reg_has "HKCR\\TypeLib\\$LIBID"
refuse "policy left behind" reg_has 'HKLM\SOFTWARE\Pagewell' /v AllowedOrigins
[ -z "$(installed_versions)" ] || fail "still listed as installed: $(installed_versions)"

if [ "$failures" -ne 0 ]; then
  echo "$failures failures"
  exit 1
fi
echo "installer: tables, install, page, upgrade, downgrade refused, uninstall: all passed"
