#!/usr/bin/env bash
# A drive that fills during the installation: drive K: of the prefix is a file system of 1 MiB.
# The archive's 600 small files add up to less than that, so the space check lets the
# installation start, but each of them takes a whole page of the drive, which is full long before
# the last. The error box says so, the installing page stays, Cancel ends the program with 0;
# the log names, in the archive's order, only files that are there whole with their stamps, and
# neither shortcuts nor the folder are recorded. Needs root to mount the file system (skipped
# otherwise, exit 77). English locale.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"
installation_test

small=$scratch/small
drive_link=$KQ_WINEPREFIX/dosdevices/k:
mkdir -p "$small"
if [ "$(id -u)" != 0 ] || ! mount -t tmpfs -o size=1m tmpfs "$small" 2>/dev/null; then
    echo "cannot mount a small file system here: skipped"
    exit 77
fi
trap 'rm -f "$drive_link"; umount -l "$small"; rm -rf "$scratch"' EXIT
# A run stopped before its clean-up leaves its link behind.
[[ $(readlink "$drive_link" 2>/dev/null) != */kq-e2e.*/small ]] || rm -f "$drive_link"
[ ! -e "$drive_link" ] && [ ! -L "$drive_link" ] || fail "drive K: is already taken in the prefix"
ln -s "$small" "$drive_link"

product='Kavoru Qyn'
forget_installation "$product"
files=$scratch/product
mkdir -p "$files/data"
printf 'first\n' >"$files/a.txt"
for i in $(seq 100 699); do head -c 1000 /dev/urandom >"$files/data/f$i.bin"; done
touch -d '2024-05-06 07:08:10' "$files/a.txt" "$files/data/"*
media "$scratch/media"
pack "$files" "$scratch/media/Setup.dat"

drive -- start "$(win_path "$scratch/media/Setup.exe")" -- wait-window Form1 \
    click ButtonNext1 set-text EditDir 'K:\inst\' click ButtonNext2 expect-page TabSheet3 \
    click ButtonNext3 timeout 120000 dialog-text 'Kavoru Qyn Setup' \
    dialog 'Kavoru Qyn Setup' OK expect-page TabSheet4 \
    click ButtonCancel4 dialog Confirm '&Yes' expect-exit 0 5000
expect_status "disk full" 0
grep -q '^dialog-text Kavoru Qyn Setup: .' <<<"$out" || fail "no error message: $out"
logged=$(installed logged "$small/inst" "$files" "$scratch/media/Setup.dat")
[ "$logged" -gt 0 ] && [ "$logged" -lt 601 ] ||
    fail "the drive did not fill in the middle: $logged of 601 files logged"
expect_nothing_recorded "disk full" "$product"
echo "the drive filled after $logged of 601 files: $(grep '^dialog-text' <<<"$out")"
