#!/usr/bin/env bash
# Two installations into the same folder, of a product without Qyn.doc (so the uninstaller is
# the only extra shortcut). The second run proposes the folder the first one recorded, and its
# archive (with data descriptors) has newer files, one of them read-only (replaced, read-only
# again) and one whose stamp gets longer in the log (a date after 2043 is negative), an older
# file (the installed one stays) and a file the first lacked: the log keeps its keys, updates
# those of the files extracted again in their place and appends the new ones. English locale.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"
installation_test

product='Kavoru Qyn'
v1=$scratch/v1 v2=$scratch/v2
make_product "$v1"
rm "$v1/Qyn.doc"
cp -a "$v1" "$v2"
chmod u+w "$v2/data/sub/notes.txt"
seq 10 5000 >"$v2/data/sub/notes.txt"
stamp "$v2/data/sub/notes.txt" '2044-01-01 08:00:00'
chmod a-w "$v2/data/sub/notes.txt"
printf 'See the new notes.\n' >"$v2/docs/Read Me.txt"
stamp "$v2/docs/Read Me.txt" '2024-07-01 08:00:00'
head -c 5000 /dev/urandom >"$v2/data/table.bin"
stamp "$v2/data/table.bin" '1999-12-31 23:59:56'
printf 'new\n' >"$v2/zz.txt"
stamp "$v2/zz.txt" '2024-07-01 08:00:02'
media "$scratch/m1"
media "$scratch/m2"
pack "$v1" "$scratch/m1/Setup.dat"
pack "$v2" "$scratch/m2/Setup.dat" --descriptors
forget_installation "$product"
dest=$(win_path "$scratch")'\dest\'
programs=$(shell_folder Programs)/$product

install() { # MEDIA [set-text EditDir FOLDER]
    drive -- start "$(win_path "$1/Setup.exe")" -- wait-window Form1 click ButtonNext1 \
        expect-page TabSheet2 "${@:2}" text EditDir click ButtonNext2 expect-page TabSheet3 \
        click ButtonNext3 timeout 30000 expect-page TabSheet5 \
        click CheckBox1 click ButtonFinish expect-exit 0 5000
}

install "$scratch/m1" set-text EditDir "$dest"
expect_status "the first installation" 0
installed tree "$v1" "$scratch/dest"
expect_log "the first installation" "$scratch/dest/Uninstall.log" "$scratch/m1/Setup.dat" "$v1"
cp "$scratch/dest/Uninstall.log" "$scratch/first.log"
expect_links cp1252 "$programs" "$dest" "$product:qynapp.exe" "Uninstall Qyn:UnInstall.exe"

install "$scratch/m2"
expect_status "the second installation" 0
expect_line "the recorded folder proposed" "text EditDir: $dest"
cp -a "$v2" "$scratch/expected"
cp -a "$v1/data/table.bin" "$scratch/expected/data/table.bin"
installed tree "$scratch/expected" "$scratch/dest"
expect_log "the second installation" "$scratch/dest/Uninstall.log" "$scratch/m2/Setup.dat" "$v2" \
    --base "$scratch/first.log" --kept 'data\table.bin'
! cmp -s "$scratch/first.log" "$scratch/dest/Uninstall.log" ||
    fail "the second archive changes nothing in the log; the test lost its point"
expect_links cp1252 "$programs" "$dest" "$product:qynapp.exe" "Uninstall Qyn:UnInstall.exe"
[ ! -e "$scratch/dest/qynapp.ran" ] || fail "Finish started the program with the box unchecked"
[ "$(reg_value 'Software\Kavoru\KavoruQyn' InstallPath)" = "$dest" ] ||
    fail "InstallPath is not $dest"
