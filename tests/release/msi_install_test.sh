#!/usr/bin/env bash
# The installer end to end under Wine, in a prefix of its own that has never
# seen regsvr32:
#   - its tables (msiinfo): COM registration in the Registry table, no
#     self-registration, the conditions of the policy and of the service's
#     logon entry, the optional virtual scanner, the service's feature, the
#     upgrade rows;
#   - a silent install: the control created from a page script, the service
#     and the browser library installed, no logon entry;
#   - a newer package with ALLOWEDORIGINS, the virtual scanner and
#     SERVICELOGON=1 upgrades the first in place; the service started as the
#     logon entry names it answers the policy's origins; a newer package
#     still keeps the logon entry without being told; an older package is
#     refused;
#   - a silent uninstall leaves no file, class, ProgID, type library,
#     policy or logon entry behind.
#
#   msi_install_test.sh ARCH(win32|win64) STRIP PAGEWELL_DLL SCANNER_DS SERVICE_EXE PAGEHOST_EXE WORKDIR
#
# Both of a package's slots (x86/, x64/) hold this build's files: only the
# slot of this prefix's architecture is ever loaded here, and the other is
# checked as files and registry entries, which do not depend on the bytes.
# They are stripped, as in the release folder: packages of the unstripped
# builds take many times longer to build and install.
set -uo pipefail
arch=$1 strip=$2 dll=$3 scanner=$4 service=$5 pagehost=$6 work=$7
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
mkdir -p "$work/source/x86" "$work/source/x64" "$work/source/web"
for slot in x86 x64; do
  "$strip" --strip-unneeded -o "$work/source/$slot/Pagewell.dll" "$dll"
  "$strip" --strip-unneeded -o "$work/source/$slot/PagewellVirtualScanner.ds" "$scanner"
  "$strip" --strip-unneeded -o "$work/source/$slot/pagewell-service.exe" "$service"
done
cp "$ROOT/web/pagewell.js" "$ROOT/web/pagewell.mjs" "$ROOT/web/pagewell.d.ts" "$ROOT/web/package.json" "$work/source/web/"
old="$work/Pagewell-1.3.0.msi" new="$work/Pagewell-1.3.1.msi" newest="$work/Pagewell-1.3.2.msi"
for package in "$old:1.3.0" "$new:1.3.1" "$newest:1.3.2"; do
  "$ROOT/packaging/build-msi" "${package##*:}" "$platform" "$work/source" "${package%:*}" ||
    { echo "FAIL: build-msi ${package##*:}"; exit 1; }
done

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
           "SOFTWARE\\Pagewell	AllowedOrigins	[~][ALLOWEDORIGINS][~]" \
           "	2	Software\\Microsoft\\Windows\\CurrentVersion\\Run	Pagewell service	\"[#PagewellService]\" --minimized	ServiceLogon"; do
  has_row "$registry" "$row" || fail "Registry table lacks: $row"
done
if [ "$platform" = x64 ]; then
  has_row "$registry" "TypeLib\\$LIBID\\1.3\\0\\win64		[#PagewellDll64]" || fail "Registry table lacks the 64-bit type library"
  grep -q '^Template: x64;' <<<"$(msiinfo suminfo "$old")" || fail "the x64 package is not marked x64"
else
  grep -q 'NOT VersionNT64' <<<"$(table LaunchCondition)" || fail "the x86 package does not refuse 64-bit Windows"
fi
! grep -qx SelfReg <<<"$(msiinfo tables "$old")" || fail "the package uses self-registration"
components=$(table Component)
grep -qP '^AllowedOriginsPolicy\t.*\t\(ALLOWEDORIGINS\) OR REMOVE~="ALL"\t' <<<"$components" ||
  fail "the policy is not conditioned on ALLOWEDORIGINS"
grep -qP '^ServiceLogon\t.*\t\(SERVICELOGON="1"\) OR REMOVE~="ALL"\t' <<<"$components" ||
  fail "the logon entry is not conditioned on SERVICELOGON"
# The service lies beside the control of the package's architecture, whose
# Pagewell.dll it loads.
if [ "$platform" = x64 ]; then native_folder=ControlFolder64; else native_folder=ControlFolder32; fi
grep -qP "^Service\t[^\t]*\t$native_folder\t.*\tPagewellService\$" <<<"$components" ||
  fail "the service is not beside the $platform control"
features=$(table Feature)
grep -qP '^VirtualScanner\t.*\t2\t\t0$' <<<"$features" || fail "the virtual scanner is not off by default"
grep -qP '^Service\t.*\t1\t\t0$' <<<"$features" || fail "the service is not on by default"
feature_components=$(table FeatureComponents)
for component in Service BrowserLibrary ServiceLogon; do
  grep -qP "^Service\t$component\$" <<<"$feature_components" || fail "the Service feature lacks $component"
done
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
service_folder="$drive_c/Program Files/Pagewell"
service_files=("$service_folder/pagewell-service.exe" "$service_folder/web/pagewell.js" "$service_folder/web/pagewell.mjs"
               "$service_folder/web/pagewell.d.ts" "$service_folder/web/package.json")
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run' run_name='Pagewell service'
installed_versions() {
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s </dev/null 2>/dev/null |
    tr -d '\r' | awk '/DisplayName.*REG_SZ.*Pagewell$/ { name = 1 } /DisplayVersion/ { version = $NF }
                      /^HKEY/ { if (name) print version; name = 0; version = "" }
                      END { if (name) print version }' | sort | tr '\n' ' '
}
logon_command() {
  wine reg query "$run_key" /v "$run_name" </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p'
}
# The program a logon entry starts: the service in the 64-bit folder of the
# x64 package or the only folder of the x86 package, quoted for its space,
# minimised until a page uses it.
expected_logon_command='"C:\Program Files\Pagewell\pagewell-service.exe" --minimized'

# The service started as its logon entry names it (on a port of this test's
# own, without the consent window): it loads the installed control beside
# it and admits exactly the origins of the installed policy.
service_status() { # service_status PORT ORIGIN: the HTTP status of GET /status, 000 without an answer
  curl -s -o /dev/null -w '%{http_code}' --max-time 10 -H "Origin: $2" "http://127.0.0.1:$1/status"
}
check_installed_service() {
  local command program arguments port pid answer case origin expected
  # "PROGRAM" ARGUMENTS: the quoted path, then words without spaces.
  command=$(logon_command)
  program=${command#\"}
  program=${program%%\"*}
  read -ra arguments <<<"${command#\"*\"}"
  port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  # The loader itself, not the wine function, so that $! is the service.
  "${WINELOADER:-wine}" "$program" "${arguments[@]}" --port "$port" --no-prompt </dev/null >"$work/service.log" 2>&1 &
  pid=$!
  # Until it answers or ends (the checks below then say what went wrong).
  for _ in $(seq 150); do
    if ! kill -0 "$pid" 2>/dev/null || [ "$(service_status "$port" https://intranet.example.com)" != 000 ]; then break; fi
    sleep 0.2
  done
  for case in "https://intranet.example.com 200" "https://scan.example.org 200" "https://elsewhere.example.net 403"; do
    origin=${case% *} expected=${case#* }
    answer=$(service_status "$port" "$origin")
    [ "$answer" = "$expected" ] || fail "the installed service answered $origin with $answer, expected $expected: $(cat "$work/service.log")"
  done
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
}

# 1. The first install, silently, with the default features and without the
# policy or the logon entry.
expect "install 1.3.0" msiexec /i "$(windows_path "$old")" /qn
for file in "${controls[@]}" "${service_files[@]}"; do [ -f "$file" ] || fail "not installed: $file"; done
for file in "${scanners[@]}"; do [ ! -e "$file" ] || fail "the virtual scanner was installed without being asked for: $file"; done
for view in "${views[@]}"; do
  expect "class $view" reg_has "HKCR\\CLSID\\$CLSID\\InprocServer32" "$view"
  expect "ProgID $view" reg_has 'HKCR\Pagewell.TwainForm\CLSID' "$view"
done
expect "type library" reg_has "HKCR\\TypeLib\\$LIBID\\1.3"
refuse "a policy without ALLOWEDORIGINS" reg_has 'HKLM\SOFTWARE\Pagewell' /v AllowedOrigins
refuse "a prompting policy without PROMPTFORUNKNOWNORIGINS" reg_has 'HKLM\SOFTWARE\Pagewell' /v PromptForUnknownOrigins
refuse "a logon entry without SERVICELOGON" reg_has "$run_key" /v "$run_name"

# 2. A page creates the control from what the installer registered.
page_output=$(wine "$pagehost" "$(windows_path "$here/installed_control.js")" </dev/null 2>&1)
grep -q "installed control answers" <<<"$page_output" || fail "the page could not use the installed control: $page_output"

# 3. The newer package replaces the older in place, with the policy, the
# virtual scanner and the logon entry this time.
expect "upgrade to 1.3.1" msiexec /i "$(windows_path "$new")" /qn \
  "ALLOWEDORIGINS=https://intranet.example.com https://*.example.org" ADDLOCAL=Control,Service,VirtualScanner \
  SERVICELOGON=1 PROMPTFORUNKNOWNORIGINS=0
[ "$(installed_versions)" = "1.3.1 " ] || fail "installed after the upgrade: [$(installed_versions)], expected only 1.3.1"
for file in "${controls[@]}" "${scanners[@]}" "${service_files[@]}"; do [ -f "$file" ] || fail "missing after the upgrade: $file"; done
policy=$(wine reg query 'HKLM\SOFTWARE\Pagewell' /v AllowedOrigins </dev/null 2>/dev/null | tr -d '\r')
grep -q 'REG_MULTI_SZ.*https://intranet.example.com https://\*.example.org' <<<"$policy" ||
  fail "policy after the upgrade: $policy"
prompting=$(wine reg query 'HKLM\SOFTWARE\Pagewell' /v PromptForUnknownOrigins </dev/null 2>/dev/null | tr -d '\r')
grep -q 'REG_DWORD.*0x0' <<<"$prompting" || fail "prompting policy after PROMPTFORUNKNOWNORIGINS=0: $prompting"
[ "$(logon_command)" = "$expected_logon_command" ] || fail "logon entry after SERVICELOGON=1: [$(logon_command)]"
check_installed_service

# 4. A still newer package given no properties keeps the logon entry.
expect "upgrade to 1.3.2" msiexec /i "$(windows_path "$newest")" /qn
[ "$(installed_versions)" = "1.3.2 " ] || fail "installed after the second upgrade: [$(installed_versions)], expected only 1.3.2"
[ "$(logon_command)" = "$expected_logon_command" ] || fail "logon entry after an upgrade without SERVICELOGON: [$(logon_command)]"
refuse "a downgrade to 1.3.0" msiexec /i "$(windows_path "$old")" /qn
[ "$(installed_versions)" = "1.3.2 " ] || fail "installed after the refused downgrade: [$(installed_versions)]"

# 5. Uninstalling removes everything the packages added.
expect "uninstall" msiexec /x "$(windows_path "$newest")" /qn
for file in "${controls[@]}" "${scanners[@]}" "${service_files[@]}"; do [ ! -e "$file" ] || fail "left behind: $file"; done
for view in "${views[@]}"; do
  refuse "class left behind $view" reg_has "HKCR\\CLSID\\$CLSID" "$view"
  refuse "ProgID left behind $view" reg_has 'HKCR\Pagewell.TwainForm' "$view"
done
refuse "type library left behind" reg_has "HKCR\\TypeLib\\$LIBID"
refuse "policy left behind" reg_has 'HKLM\SOFTWARE\Pagewell' /v AllowedOrigins
refuse "prompting policy left behind" reg_has 'HKLM\SOFTWARE\Pagewell' /v PromptForUnknownOrigins
refuse "logon entry left behind" reg_has "$run_key" /v "$run_name"
[ -z "$(installed_versions)" ] || fail "still listed as installed: $(installed_versions)"

if [ "$failures" -ne 0 ]; then
  echo "$failures failures"
  exit 1
fi
echo "installer: tables, install, page, upgrade with the logon entry, installed service, upgrade keeping it, downgrade refused, uninstall: all passed"
