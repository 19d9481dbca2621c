#!/usr/bin/env bash
# An output file that cannot be made, because a folder of its name is in the way: the question
# names the file. No ends the program with 0 and leaves the files extracted before it with their
# log keys, no shortcuts and no recorded folder. Installing again into that folder, Yes asks
# again while the folder is there; once it is gone, Yes makes the file and the installation
# completes, its log as if it had never stopped. The status line names the file of the question.
# English locale.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"
installation_test

product='Kavoru Qyn'
make_product "$scratch/product"
media "$scratch/media"
pack "$scratch/product" "$scratch/media/Setup.dat"
forget_installation "$product"
dest=$(win_path "$scratch")'\dest\'
blocked='data\table.bin'
mkdir -p "$scratch/dest/data/table.bin"
stamp "$scratch/dest/data/table.bin" "1990-01-01 00:00:00" # older than the entry
question="Copy file error. File is likely to be used.
$dest$blocked
Retry?"

start_install() {
    local commands=(start "$(win_path "$scratch/media/Setup.exe")" -- wait-window Form1
        click ButtonNext1 set-text EditDir "$dest" click ButtonNext2 expect-page TabSheet3
        click ButtonNext3)
    drive -- "${commands[@]}" "$@"
}
# The question as the driver prints it, its CR LF pairs as line ends.
expect_question() {
    [[ ${out//$'\r'/} == *"dialog-text Confirm: $question"* ]] ||
        fail "$1: no question '$question' in the output: $out"
}

start_install dialog-text Confirm text LabelInstall2 dialog Confirm '&No' expect-exit 0 5000
expect_status "No to the question" 0
expect_question "No"
# The status line, redrawn only now and then while files follow each other, names the file of
# the question while it is asked.
expect_line "status line at the question" "text LabelInstall2: Copying...$dest$blocked"
expect_nothing_recorded "No" "$product"
# The files before the blocked one, in the archive's order, and only those.
upto=$(python3 -c 'import sys, zipfile
names = [i.filename for i in zipfile.ZipFile(sys.argv[1]).infolist()]
print(names.index(sys.argv[2]))' "$scratch/media/Setup.dat" "${blocked//\\//}")
mkdir "$scratch/expected"
for name in Qyn.doc UnInstall.exe data/sub/notes.txt; do
    mkdir -p "$(dirname "$scratch/expected/$name")"
    cp -a "$scratch/product/$name" "$scratch/expected/$name"
done
installed tree "$scratch/expected" "$scratch/dest"
expect_log "No" "$scratch/dest/Uninstall.log" "$scratch/media/Setup.dat" "$scratch/product" \
    --upto "$upto"

start_install dialog-text Confirm dialog Confirm '&Yes' dialog-text Confirm \
    remove "$dest$blocked" dialog Confirm '&Yes' timeout 30000 expect-page TabSheet5 \
    click CheckBox1 click ButtonFinish expect-exit 0 5000
expect_status "Yes to the question" 0
[ "$(grep -c '^dialog-text Confirm: ' <<<"$out")" = 2 ] || fail "Yes did not ask again: $out"
expect_question "Yes"
installed tree "$scratch/product" "$scratch/dest"
expect_log "Yes" "$scratch/dest/Uninstall.log" "$scratch/media/Setup.dat" "$scratch/product"
[ "$(reg_value 'Software\Kavoru\KavoruQyn' InstallPath)" = "$dest" ] ||
    fail "InstallPath is not $dest"
[ -e "$(shell_folder Desktop)/$product.lnk" ] || fail "no shortcut on the desktop"
