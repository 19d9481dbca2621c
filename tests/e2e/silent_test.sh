#!/usr/bin/env bash
# Setup.exe /S: installs the test product, showing no window, into a folder given by
# /D= unquoted, blanks included, taken to the end of the command line, then reads from Linux the
# tree, the uninstall log, InstallPath, the shortcuts, the Apps & features entry in the machine's
# registry and the /LOG= file. Then the exit codes of the runs that cannot install: an unknown
# switch (5), a missing archive (2) and a folder below a file (3); and /D= without /S filling the
# wizard's folder field. Last, the round trip: one installed file changed, UnInstall.exe /S
# (the built one, argument 1) leaves that file and its folder and nothing else. English locale.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"
installation_test

uninstaller=${1:?UnInstall.exe}
product='Kavoru Qyn'
entry='Software\Microsoft\Windows\CurrentVersion\Uninstall\KavoruQyn'
make_product "$scratch/product"
cp "$uninstaller" "$scratch/product/UnInstall.exe"
stamp "$scratch/product/UnInstall.exe" '2025-06-30 23:59:58'
media "$scratch/media"
pack "$scratch/product" "$scratch/media/Setup.dat"
forget_installation "$product"
"$KQ_WINE_RUN" reg delete "HKLM\\$entry" /f >/dev/null 2>&1 || true
installed_dir="$KQ_WINEPREFIX/drive_c/Kavoru Test Dir"
rm -rf "$installed_dir"
setup="$scratch/media/Setup.exe"
log=$(win_path "$scratch")'\setup.log'
dest='C:\Kavoru Test Dir\'

# Each word is an argument of its own: the driver joins them with one blank, unquoted, as a
# script on Windows would type the line. It watches that no window shows until the end.
drive -- start "$(win_path "$setup")" /S "/LOG=$log" '/D=C:\Kavoru' Test Dir -- \
    expect-exit-without-window 0 60000
expect_status "silent installation" 0

installed tree "$scratch/product" "$installed_dir"
expect_log "silent" "$installed_dir/Uninstall.log" "$scratch/media/Setup.dat" "$scratch/product"
[ "$(reg_value 'Software\Kavoru\KavoruQyn' InstallPath)" = "$dest" ] ||
    fail "InstallPath is not $dest"
expect_links CP1252 "$(shell_folder Programs)/$product" "$dest" \
    "$product:qynapp.exe" "Qyn Readme:Qyn.doc" "Uninstall Qyn:UnInstall.exe"
installed link "$(shell_folder Desktop)/$product.lnk" "${dest}qynapp.exe" "$dest" "$product"
[ ! -e "$installed_dir/qynapp.ran" ] || fail "the silent installation started the program"

# The entry lies in the machine's registry (system.reg of the prefix).
system_reg="$KQ_WINEPREFIX/system.reg"
expect_entry() {
    local got
    got=$(python3 "$e2e_dir/installed.py" "$1" "$system_reg" "$entry" "$2") ||
        fail "no value $2 in the Apps & features entry"
    [ "$got" = "$3" ] || fail "Apps & features $2 is '$got', wanted '$3'"
}
# The product's bytes in KiB, rounded up, from the sizes of its files.
kib=$(( ($(find "$scratch/product" -type f -printf '%s+')0 + 1023) / 1024 ))
expect_entry reg DisplayName "$product"
expect_entry reg DisplayVersion 1.0.0.0
expect_entry reg Publisher 'Kavoru Software Development CO., LTD.'
expect_entry reg InstallLocation 'C:\Kavoru Test Dir'
expect_entry reg DisplayIcon 'C:\Kavoru Test Dir\qynapp.exe'
expect_entry reg UninstallString '"C:\Kavoru Test Dir\UnInstall.exe"'
expect_entry reg QuietUninstallString '"C:\Kavoru Test Dir\UnInstall.exe" /S'
expect_entry dword EstimatedSize "$kib"
expect_entry dword NoModify 1
expect_entry dword NoRepair 1

# One line per file in the /LOG= file, the last line the finished page's title.
for file in qynapp.exe Qyn.doc UnInstall.exe 'data\sub\notes.txt' 'docs\Read Me.txt'; do
    grep -qxF "Copying...$dest$file"$'\r' "$scratch/setup.log" ||
        fail "no line for $file in the log: $(cat "$scratch/setup.log")"
done
[ "$(tail -n 1 "$scratch/setup.log")" = $'Setup complete\r' ] ||
    fail "the log does not end with the finished page: $(cat "$scratch/setup.log")"
echo "silent installation into '$dest': tree, logs, InstallPath, shortcuts and entry checked"

# Without /S the wizard shows as always, /D= in its folder field.
drive -- start "$(win_path "$setup")" '/D=C:\Kavoru' Test Dir -- wait-window Form1 \
    click ButtonNext1 expect-page TabSheet2 text EditDir click ButtonPrior2 expect-page TabSheet1 \
    click ButtonCancel1 expect-exit 0 5000
expect_status "the wizard with /D=" 0
expect_line "the folder field" 'text EditDir: C:\Kavoru Test Dir'

# exit_case LABEL CODE LOG-TEXT ARGS...: a silent run that ends with CODE, its log saying why.
exit_case() {
    local label=$1 code=$2 text=$3
    shift 3
    rm -f "$scratch/setup.log"
    run_wine "$setup" /S "/LOG=$log" "$@"
    expect_status "$label" "$code"
    grep -qF -- "$text" "$scratch/setup.log" ||
        fail "$label: '$text' not in the log: $(cat "$scratch/setup.log" 2>/dev/null)"
    echo "$label: exit $code"
}
exit_case "unknown switch" 5 "Unknown switch: /X" /X '/D=C:\Kavoru Test Dir'
: >"$KQ_WINEPREFIX/drive_c/kq-file"
exit_case "folder below a file" 3 "Please choose the correct folder." '/D=C:\kq-file\Qyn'
rm -f "$KQ_WINEPREFIX/drive_c/kq-file"

# The round trip: install silently again, change one file, uninstall silently.
drive -- start "$(win_path "$setup")" /S '/D=C:\Kavoru' Test Dir -- \
    expect-exit-without-window 0 60000
expect_status "the second silent installation" 0
printf 'changed\r\n' >>"$installed_dir/data/sub/notes.txt"
drive -- start 'C:\Kavoru Test Dir\UnInstall.exe' /S "/LOG=$(win_path "$scratch")\\un.log" -- \
    expect-exit 2 20000 sleep 3000
expect_status "the silent uninstallation" 0
grep -qxF 'Changed since the installation: C:\Kavoru Test Dir\data\sub\notes.txt'$'\r' \
    "$scratch/un.log" ||
    fail "the kept file is not in the uninstaller's log: $(cat "$scratch/un.log")"
expect_left "the round trip" "$installed_dir" data data/sub data/sub/notes.txt
expect_nothing_recorded "the round trip" "$product"
if python3 "$e2e_dir/installed.py" reg "$system_reg" "$entry" DisplayName >/dev/null 2>&1; then
    fail "the Apps & features entry stays"
fi
echo "round trip: only the changed file and its folders are left"

rm "$scratch/media/Setup.dat"
exit_case "missing archive" 2 "Cannot open file \"$(win_path "$scratch/media")\\Setup.dat\"" '/D=C:\Kavoru Test Dir'
rm -rf "$installed_dir"
