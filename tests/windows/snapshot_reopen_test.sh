#!/usr/bin/env bash
# The sample player opened in the stand-in host twice, by two processes with one
# settings folder: the second opening reads no catalogue file, takes the first
# one's snapshot, and shows its rows. Between the two, every catalogue file is
# overwritten with as many x's, its time kept: had the second opening read any
# of them, its rows would differ.
#
#   snapshot_reopen_test.sh MAKE_IMAGE DEVHOST DLL WORK_FOLDER
set -euo pipefail

if [ "${1:-}" = "--inside" ]; then
  devhost=$2 dll=$3 work=$4
  settings=$(winepath -w "$work/settings/winamp.ini")
  dllPath=$(winepath -w "$dll")
  open_view() {  # $1: output file; the status line and every row
    wine "$devhost" --dll "$dllPath" --settings "$settings" --rows 100 | grep -v ' ms\b\|^figures:' >"$1"
  }
  open_view "$work/first.txt"
  [ -s "$work/settings/ml_kovra.cache" ] || { echo "FAIL: no snapshot beside the settings file"; exit 1; }
  find "$work/e/SYSTEM" -type f | while read -r file; do
    size=$(stat -c %s "$file")
    touch -r "$file" "$work/time"
    head -c "$size" /dev/zero | tr '\0' x >"$file"
    touch -r "$work/time" "$file"
  done
  open_view "$work/second.txt"
  if ! diff "$work/first.txt" "$work/second.txt"; then
    echo "FAIL: the second opening read catalogue files or showed other rows"
    exit 1
  fi
  grep -q "items" "$work/first.txt" || { echo "FAIL: no status line"; exit 1; }
  echo "PASS: $(wc -l <"$work/first.txt") lines alike, the catalogue files read once"
  exit 0
fi

make_image=$1 devhost=$2 dll=$3 work=$4
rm -rf "$work"
mkdir -p "$work/settings"
"$(dirname "$0")/../../scripts/wine-prefix"
mkdir -p "$work/e"
wine "$make_image" "$(winepath -w "$work/e")" --tracks 40 --seed 5 >/dev/null
# Written an hour ago: no time of theirs lies within the file system's
# resolution of the read.
find "$work/e" -type f -exec touch -d '1 hour ago' {} +
exec "$(dirname "$0")/with-drives" "e=floppy:$work/e" -- "$0" --inside "$devhost" "$dll" "$work"
