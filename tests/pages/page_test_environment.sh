# Sourced by the page tests that check files in the documents folder, with
# the page host command as "$@": sets ROOT, ARTIFACTS (made if missing) and
# documents, the documents folder of the prefix the runner uses (its
# --arch).
# shellcheck shell=bash
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
ARTIFACTS="${PAGEWELL_TEST_ARTIFACTS:-$ROOT/build/artifacts}"
mkdir -p "$ARTIFACTS"
for arg in "$@"; do
  case "$arg" in --arch=*) export PAGEWELL_WINE_ARCH="${arg#--arch=}" ;; esac
done
# shellcheck source=../../scripts/wine-env
. "$ROOT/scripts/wine-env"
documents=$(realpath -m "$WINEPREFIX/drive_c/users/$(id -un)/Documents")
