#!/usr/bin/env bash
# Installations that do not complete. Without Setup.dat beside Setup.exe, Install shows the
# error box and the installing page stays, only Cancel working. A Setup.dat with one byte of a
# file inverted gets a box naming that file and stays there too, the other files installed and
# logged. Cancel in the middle of a large archive ends the program with 0: the uninstall log
# then names, in the archive's order, files that are all there with the product's bytes and the
# logged stamps. None of these records the folder or makes shortcuts. English locale.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"
installation_test

product='Kavoru Qyn'
forget_installation "$product"

media "$scratch/bare"
dest=$(win_path "$scratch")'\bare-dest\'
drive -- start "$(win_path "$scratch/bare/Setup.exe")" -- wait-window Form1 \
    click ButtonNext1 set-text EditDir "$dest" click ButtonNext2 expect-page TabSheet3 \
    click ButtonNext3 dialog-text 'Kavoru Qyn Setup' dialog 'Kavoru Qyn Setup' OK \
    expect-page TabSheet4 enabled ButtonPrior4 enabled ButtonNext4 \
    click ButtonCancel4 dialog Confirm '&Yes' expect-exit 0 5000
expect_status "no Setup.dat" 0
grep -q '^dialog-text Kavoru Qyn Setup: .' <<<"$out" || fail "no error message: $out"
expect_line "Back on the installing page" "enabled ButtonPrior4: disabled"
expect_line "Next on the installing page" "enabled ButtonNext4: disabled"
[ -d "$scratch/bare-dest" ] && [ -z "$(ls -A "$scratch/bare-dest")" ] ||
    fail "the folder should be there, empty: $(ls -A "$scratch/bare-dest")"
expect_nothing_recorded "no Setup.dat" "$product"

# The stored file of the test product, damaged as by a bad download.
make_product "$scratch/product"
media "$scratch/damaged"
pack "$scratch/product" "$scratch/damaged/Setup.dat"
installed damage "$scratch/damaged/Setup.dat" data/table.bin
dest=$(win_path "$scratch")'\damaged-dest\'
drive -- start "$(win_path "$scratch/damaged/Setup.exe")" -- wait-window Form1 \
    click ButtonNext1 set-text EditDir "$dest" click ButtonNext2 expect-page TabSheet3 \
    click ButtonNext3 dialog-text 'Kavoru Qyn Setup' dialog 'Kavoru Qyn Setup' OK \
    expect-page TabSheet4 click ButtonCancel4 dialog Confirm '&Yes' expect-exit 0 5000
expect_status "damaged Setup.dat" 0
heading='dialog-text Kavoru Qyn Setup: The installation archive is damaged. Please download it again. Damaged files:'
box=$(tr -d '\r' <<<"$out" | grep -A1 -xF -- "$heading") || true
[ "$box" = "$heading"$'\n''data\table.bin' ] || fail "damaged Setup.dat: the box is not as wanted: $out"
cp -a "$scratch/product" "$scratch/good" && rm -f "$scratch/good/data/table.bin" ||
    fail "cannot copy the product"
installed tree "$scratch/good" "$scratch/damaged-dest"
expect_log "damaged Setup.dat" "$scratch/damaged-dest/Uninstall.log" \
    "$scratch/damaged/Setup.dat" "$scratch/product" --kept 'data\table.bin'
expect_nothing_recorded "damaged Setup.dat" "$product"

# Many small files, seconds of work under Wine, so the click lands well before the end; a few
# come first, so some are surely done by then.
big=$scratch/big
mkdir -p "$big/files"
printf 'first\n' >"$big/a.txt"
for i in $(seq 1000 3499); do printf 'file %s\n' "$i" >"$big/files/f$i.txt"; done
touch -d '2024-05-06 07:08:10' "$big/a.txt" "$big/files/"*
media "$scratch/media"
pack "$big" "$scratch/media/Setup.dat"
dest=$(win_path "$scratch")'\dest\'
drive -- start "$(win_path "$scratch/media/Setup.exe")" -- wait-window Form1 \
    click ButtonNext1 set-text EditDir "$dest" click ButtonNext2 expect-page TabSheet3 \
    click ButtonNext3 click ButtonCancel4 dialog Confirm '&Yes' expect-exit 0 5000
expect_status "Cancel while installing" 0
logged=$(installed logged "$scratch/dest" "$big" "$scratch/media/Setup.dat")
[ "$logged" -gt 0 ] && [ "$logged" -lt 2501 ] ||
    fail "Cancel did not land in the middle: $logged of 2501 files logged"
expect_nothing_recorded "Cancel while installing" "$product"
echo "cancelled after $logged of 2501 files"
