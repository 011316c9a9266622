#!/usr/bin/env bash
# page_store_test.sh HOST_COMMAND...
#
# Runs tests/pages/page_store.js through the page host (HOST_COMMAND: the
# Wine runner and pagehost.exe) beside the upload receiver, with the
# virtual scanner of page_store.cfg, saving into a fresh folder of the
# documents folder; page_store_check.py then checks the saved and the
# uploaded files.
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=page_test_environment.sh
. "$HERE/page_test_environment.sh"
name="PagewellStoreTest.$$"
export PAGEWELL_TEST_SAVED="$documents/$name"
rm -rf "$PAGEWELL_TEST_SAVED"
trap 'rm -rf "$PAGEWELL_TEST_SAVED"' EXIT

export PAGEWELL_VIRTUAL_SCANNER_CONFIG="Z:$HERE/page_store.cfg"
python3 "$ROOT/tests/support/upload_servers.py" --lifetime 200 --verify "$HERE/page_store_check.py" -- \
  "$@" "Z:$HERE/page_store.js" "{HTTP}" "$name" "Z:$ARTIFACTS"
