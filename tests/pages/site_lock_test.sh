#!/usr/bin/env bash
# site_lock_test.sh ARTIFACTS HOST_COMMAND...
#
# The site lock every way: site_lock.js through the page host (HOST_COMMAND:
# the Wine runner and pagehost.exe) in pages of the addresses below, with
# the machine policy, with no policy (the user is asked about a site once),
# and with the question turned off; the user's own list of allowed sites
# empty or already holding the page host's site. The machine's settings are
# read when the control is created, so each case is a run of its own; they
# and the user's list are removed again however the test ends, since every
# other page test runs without them.
set -uo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
artifacts=$1
shift
host=("$@")
runner=("${host[@]:0:${#host[@]}-1}")
mkdir -p "$artifacts"

MACHINE_KEY='HKLM\SOFTWARE\Pagewell'
USER_KEY='HKCU\Software\Pagewell'
reg() { "${runner[@]}" reg "$@" </dev/null 2>/dev/null; }
set_machine() {
  reg delete "$MACHINE_KEY" /f >/dev/null
  case $1 in
    policy) reg add "$MACHINE_KEY" /v AllowedOrigins /t REG_MULTI_SZ \
              /d 'https://intranet.example.net\0https://*.example.com https://*.co.uk' /f >/dev/null ;;
    noprompt) reg add "$MACHINE_KEY" /v PromptForUnknownOrigins /t REG_DWORD /d 0 /f >/dev/null ;;
  esac
}
set_user_list() {
  reg delete "$USER_KEY" /f >/dev/null
  [ "$1" = approved ] && reg add "$USER_KEY" /v AllowedOrigins /t REG_MULTI_SZ /d "$OWN_SITE" /f >/dev/null
}
user_list() { reg query "$USER_KEY" /v AllowedOrigins | tr -d '\r' | sed -n 's/.*REG_MULTI_SZ *//p'; }
restore() { reg delete "$MACHINE_KEY" /f >/dev/null; reg delete "$USER_KEY" /f >/dev/null; }
trap restore EXIT

# The page host's own page for this script, unless told another.
OWN_SITE=http://pagehost.test
refused_on() { printf 'Pagewell is not allowed on %s' "$1"; }
unknown="Pagewell is not allowed here: the page's address is unknown"
no_origin="Pagewell is not allowed on this page: it has no web origin"

# machine (policy, none, noprompt) | the user's list (empty, approved) |
# page host options | what the page gets | the question ("-": none, else the
# origin it names) | the user's list afterwards ("=": as before) | screenshot
cases=(
  "policy|empty|--page-url https://intranet.example.net/scan/page.html?batch=1|allowed|-|=|"
  "policy|empty|--page-url https://shop.example.com/checkout|allowed|-|=|"
  "policy|empty|--page-url https://other.example.org/|$(refused_on https://other.example.org)|-|=|site_lock_refused.png"
  "policy|empty|--page-url https://example.com.evil.test/scan.html|$(refused_on https://example.com.evil.test)|-|=|"
  "policy|empty|--no-page-url|$unknown|-|=|"
  "policy|approved||$(refused_on $OWN_SITE)|-|=|"
  "none|empty||allowed|$OWN_SITE|$OWN_SITE|site_lock_asked.png"
  "none|approved||allowed|-|=|"
  "none|empty|--refuse-site|$(refused_on $OWN_SITE)|$OWN_SITE|=|site_lock_denied.png"
  "none|empty|--no-page-url|$unknown|-|=|"
  "none|empty|--page-url file:///C:/pages/scan.html|$no_origin|-|=|"
  "noprompt|empty||$(refused_on $OWN_SITE)|-|=|"
  "noprompt|approved||$(refused_on $OWN_SITE)|-|=|"
)

failures=0
for case in "${cases[@]}"; do
  IFS='|' read -r machine list options expectation question list_after screenshot <<<"$case"
  set_machine "$machine"
  set_user_list "$list"
  before=$(user_list)
  read -r -a page <<<"$options"
  shot=()
  [ -z "$screenshot" ] || shot=("Z:$artifacts/$screenshot")
  where=${options:-"the page host's own page"}
  echo "--- machine $machine, user's list $list, $where: $expectation"
  ok=1
  "${host[@]}" "${page[@]}" "Z:$HERE/site_lock.js" "$expectation" "$question" "${shot[@]}" || ok=0
  [ "$list_after" = = ] && list_after=$before
  after=$(user_list)
  if [ "$after" != "$list_after" ]; then
    echo "FAIL the user's list: got [$after], expected [$list_after]"
    ok=0
  fi
  if [ "$ok" = 0 ]; then
    echo "FAILED: machine $machine, user's list $list, $options"
    failures=$((failures + 1))
  fi
done
# The policy's mistyped entry, told to a page that turns DebugAlerts on.
set_machine policy
set_user_list empty
echo "--- machine policy with https://*.co.uk, DebugAlerts"
"${host[@]}" --page-url https://intranet.example.net/ "Z:$HERE/site_lock_policy_alert.js" 'https://*.co.uk' ||
  { echo "FAILED: the policy's mistyped entry under DebugAlerts"; failures=$((failures + 1)); }

[ "$failures" -eq 0 ] || { echo "$failures cases failed"; exit 1; }
echo "site lock: all cases passed"
