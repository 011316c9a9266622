#!/usr/bin/env bash
# output_test.sh HOST_COMMAND...
#
# Runs tests/pages/output.js through the page host (HOST_COMMAND: the Wine
# runner and pagehost.exe) with the virtual scanner of output_scanner.conf,
# in a fresh folder of the documents folder, then checks every file the
# script reports with the real decoders.
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=page_test_environment.sh
. "$HERE/page_test_environment.sh"
name="PagewellOutputTest.$$"
folder="$documents/$name"
rm -rf "$folder"
mkdir -p "$folder"
trap 'chmod -R u+w "$folder" 2>/dev/null; rm -rf "$folder"' EXIT

printf 'old contents' >"$folder/keep.tif"
printf 'locked' >"$folder/locked.pdf"
chmod a-w "$folder/locked.pdf"
printf 'a file, not a folder' >"$folder/blocker"

failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

export PAGEWELL_VIRTUAL_SCANNER_CONFIG="Z:$HERE/output_scanner.conf"
set +e
"$@" "Z:$HERE/output.js" "$name" "Z:$ARTIFACTS" >"$ARTIFACTS/output_js.log" 2>&1
status=$?
set -e
cat "$ARTIFACTS/output_js.log"
[ "$status" -eq 0 ] || fail "the page script ended with $status"
if [ "$status" -eq 0 ] && grep -q '^SKIP' "$ARTIFACTS/output_js.log"; then
  exit 77
fi

# The size the file's first page decodes to, "width height".
size_of() {
  case "$2" in
    tif) tiffinfo -0 "$1" 2>/dev/null | sed -n 's/.*Image Width: \([0-9]*\) Image Length: \([0-9]*\).*/\1 \2/p' | head -1 ;;
    pdf) pdfimages -list "$1" 2>/dev/null | awk 'NR == 3 { print $4, $5 }' ;;
    wbm) identify -format '%w %h\n' "WBMP:$1" 2>/dev/null | head -1 ;;
    *) identify -format '%w %h\n' "$1" 2>/dev/null | head -1 ;;
  esac
}

check_file() {  # file type pages [width height]
  local file="$folder/$1" type=$2 pages=$3
  [ -f "$file" ] || { fail "$1 was not written"; return; }
  case "$type" in
    tif)
      tiffinfo "$file" >/dev/null 2>&1 || fail "$1: tiffinfo refuses it"
      tiffcp "$file" "$folder/.copy.tif" >/dev/null 2>&1 || fail "$1: tiffcp cannot read it"
      local n; n=$(tiffinfo "$file" 2>/dev/null | grep -c 'TIFF Directory')
      [ "$n" = "$pages" ] || fail "$1: $n pages, not $pages" ;;
    pdf)
      qpdf --check "$file" >/dev/null 2>&1 || fail "$1: qpdf --check fails"
      local n; n=$(pdfinfo "$file" 2>/dev/null | awk '/^Pages:/ { print $2 }')
      [ "$n" = "$pages" ] || fail "$1: $n pages, not $pages" ;;
    jpg) djpeg "$file" >/dev/null 2>&1 || fail "$1: djpeg refuses it" ;;
    png) pngcheck -q "$file" >/dev/null 2>&1 || fail "$1: pngcheck refuses it" ;;
    bmp | gif | pcx | psd) [ "$(identify -format '%m' "$file" 2>/dev/null | head -c 3)" = "$(echo "$type" | tr a-z A-Z)" ] ||
                             fail "$1: ImageMagick does not read it as $type" ;;
    wbm) identify "WBMP:$file" >/dev/null 2>&1 || fail "$1: ImageMagick does not read it as WBMP" ;;
  esac
  if [ $# -ge 5 ]; then
    local size; size=$(size_of "$file" "$type")
    [ "$size" = "$4 $5" ] || fail "$1: first page is [$size], not $4 x $5"
  fi
}

pixels() { convert "$folder/$1" -depth 8 gray:- 2>/dev/null | md5sum; }

while read -r word a b c d e; do
  case "$word" in
    CHECK) check_file "$a" "$b" "$c" ${d:+"$d"} ${e:+"$e"} ;;
    SAME) [ "$(pixels "$a")" = "$(pixels "$b")" ] || fail "$a and $b differ" ;;
    DIFF) [ "$(pixels "$a")" != "$(pixels "$b")" ] || fail "$a and $b do not differ" ;;
    SMALLER)
      size=$(size_of "$folder/$a" png)
      read -r w h <<<"$size"
      { [ -n "$w" ] && [ "$w" -lt "$b" ] && [ "$h" -lt "$c" ] && [ "$w" -gt 1 ] && [ "$h" -gt 1 ]; } ||
        fail "$a is [$size], not smaller than $b x $c" ;;
    ABSENT)
      for place in "$WINEPREFIX/drive_c" "$WINEPREFIX/drive_c/users" "$(dirname "$documents")" "$(dirname "$folder")" "$folder"; do
        [ ! -e "$place/$a" ] || fail "$place/$a was written"
      done ;;
    REPLY) [ "$(od -An -c "$folder/$a" | tr -d ' ')" = '\r\n' ] || fail "$a does not hold the empty reply and CR LF" ;;
  esac
done < <(tr -d '\r' <"$ARTIFACTS/output_js.log")

# The mends: nothing replaced by a failed save, no temporary file left.
[ "$(cat "$folder/keep.tif")" = "old contents" ] || fail "keep.tif was replaced"
[ "$(cat "$folder/locked.pdf")" = "locked" ] || fail "locked.pdf was replaced"
leftovers=$(find "$folder" -name '*.tmp' | head -3)
[ -z "$leftovers" ] || fail "temporary files left: $leftovers"

echo "output test: $failures failures"
[ "$failures" -eq 0 ]
