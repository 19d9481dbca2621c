#!/usr/bin/env bash
# Setup.exe /S ended at once (TerminateProcess, as by the task manager) at moments spread over an
# installation of 301 files, every fifteenth of them 2 MB, each run starting where the last was
# killed. scripts/kill-sweep sets KQ_KILL_FILES and KQ_KILL_MOMENTS for the full sweep (2,000
# files, 50 kills). After each kill every file the uninstall log names is whole with its stamp, and every
# file under its own name is whole: a file being written stands only under its partial name.
# The last run, not killed, leaves what one uninterrupted run leaves: the same tree with no
# partial file, the same uninstall log byte for byte, InstallPath and the shortcuts.
# English locale.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"
installation_test

product='Kavoru Qyn'
files=${KQ_KILL_FILES:-301} moments=${KQ_KILL_MOMENTS:-5}
make_product "$scratch/product"
for i in $(seq 100 $((100 + files - 8))); do
    if (( i % 15 == 0 )); then
        head -c 2000000 /dev/urandom >"$scratch/product/data/f$i.bin"
    else
        head -c $(( (i * 7919) % 20000 )) /dev/urandom >"$scratch/product/data/f$i.bin"
    fi
done
touch -d '2024-05-06 07:08:10' "$scratch/product/data/"f*.bin
media "$scratch/media"
pack "$scratch/product" "$scratch/media/Setup.dat"
dest_dir="$KQ_WINEPREFIX/drive_c/Kavoru Killed"
dest='C:\Kavoru Killed\'
setup=$(win_path "$scratch/media/Setup.exe")

install() {
    drive -- start "$setup" /S '/D=C:\Kavoru' Killed -- "$@"
}

# The uninterrupted run, for comparison.
forget_installation "$product"
rm -rf "$dest_dir"
install expect-exit-without-window 0 120000
expect_status "the uninterrupted installation" 0
installed tree "$scratch/product" "$dest_dir"
cp "$dest_dir/Uninstall.log" "$scratch/clean.log"
size=$(stat -c %s "$scratch/clean.log")

forget_installation "$product"
rm -rf "$dest_dir"
for (( k = 0; k < moments; k++ )); do
    at=$(( size * k / moments + 1 ))
    install wait-size "${dest}Uninstall.log" "$at" 120000 kill
    expect_status "the run killed at $at bytes of the log" 0
    installed logged "$dest_dir" "$scratch/product" "$scratch/media/Setup.dat" >/dev/null
    partial=$(installed whole "$dest_dir" "$scratch/product")
    echo "killed once the log held $at of $size bytes: logged files and named files whole," \
        "$partial partial"
done

install expect-exit-without-window 0 120000
expect_status "the run after the kills" 0
installed tree "$scratch/product" "$dest_dir"
cmp -s "$scratch/clean.log" "$dest_dir/Uninstall.log" ||
    fail "the log after the kills differs from an uninterrupted run's:
$(diff <(tr -d '\r' <"$scratch/clean.log") <(tr -d '\r' <"$dest_dir/Uninstall.log") | head)"
[ "$(reg_value 'Software\Kavoru\KavoruQyn' InstallPath)" = "$dest" ] ||
    fail "InstallPath is not $dest"
expect_links CP1252 "$(shell_folder Programs)/$product" "$dest" \
    "$product:qynapp.exe" "Qyn Readme:Qyn.doc" "Uninstall Qyn:UnInstall.exe"
installed link "$(shell_folder Desktop)/$product.lnk" "${dest}qynapp.exe" "$dest" "$product"
rm -rf "$dest_dir"
echo "the run after $moments kills of $files files left what an uninterrupted run leaves"
