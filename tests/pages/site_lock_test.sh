#!/usr/bin/env bash
# site_lock_test.sh ARTIFACTS HOST_COMMAND...
#
# The site lock both ways: site_lock.js through the page host (HOST_COMMAND:
# the Wine runner and pagehost.exe) in pages of the addresses below, with
# and without the machine policy in the test prefix. The policy is read when
# the control is created, so each case is a run of its own; the policy is
# removed again however the test ends, since every other page test runs
# without one.
set -uo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
artifacts=$1
shift
host=("$@")
runner=("${host[@]:0:${#host[@]}-1}")
mkdir -p "$artifacts"

POLICY_KEY='HKLM\SOFTWARE\Pagewell'
set_policy() {
  "${runner[@]}" reg add "$POLICY_KEY" /v AllowedOrigins /t REG_MULTI_SZ \
    /d 'https://intranet.example.net\0https://*.example.com' /f >/dev/null 2>&1
}
remove_policy() { "${runner[@]}" reg delete "$POLICY_KEY" /f >/dev/null 2>&1; }
trap remove_policy EXIT

refused_on() { printf 'Pagewell is not allowed on %s' "$1"; }
unknown="Pagewell is not allowed here: the page's address is unknown"

# policy | page address ("-": the control cannot learn it) | what the page gets | screenshot
cases=(
  "policy|https://intranet.example.net/scan/page.html?batch=1|allowed|"
  "policy|https://shop.example.com/checkout|allowed|"
  "policy|https://other.example.org/|$(refused_on https://other.example.org)|site_lock_refused.png"
  "policy|https://example.com.evil.test/scan.html|$(refused_on https://example.com.evil.test)|"
  "policy|-|$unknown|"
  "none|-|allowed|"
)

failures=0
for case in "${cases[@]}"; do
  IFS='|' read -r policy address expectation screenshot <<<"$case"
  remove_policy
  [ "$policy" = policy ] && set_policy
  page=()
  [ "$address" = - ] || page=(--page-url "$address")
  shot=()
  [ -z "$screenshot" ] || shot=("Z:$artifacts/$screenshot")
  echo "--- $policy, page ${address}: $expectation"
  if ! "${host[@]}" "${page[@]}" "Z:$HERE/site_lock.js" "$expectation" "${shot[@]}"; then
    echo "FAILED: $policy, page $address"
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] || { echo "$failures cases failed"; exit 1; }
echo "site lock: all cases passed"
