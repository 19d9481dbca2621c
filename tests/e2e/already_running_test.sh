#!/usr/bin/env bash
# One Setup at a time, in each language: while a wizard shows its first page, a second Setup.exe
# says in a box that Setup is already running and ends with 6; a silent one (/S) ends with 6
# too, showing nothing, its /LOG= file holding the same text. Neither installs although
# Setup.dat lies beside them and /D= names a folder: no folder, no InstallPath, no shortcut, and
# nothing else in drive C. The first wizard is then closed as usual. A screenshot of each box.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"
installation_test

make_product "$scratch/product"
media "$scratch/media"
pack "$scratch/product" "$scratch/media/Setup.dat"
setup=$(win_path "$scratch/media/Setup.exe")
log=$(win_path "$scratch")'\second.log'
second="$scratch/second"
drive_c="$KQ_WINEPREFIX/drive_c"
# What drive C holds, files and folders with sizes and times, Wine's own folder aside.
drive_c_now() {
    (cd "$drive_c" && find . -path ./windows -prune -o -printf '%p %s %T@\n' | sort)
}

# locale | code page | screenshot tag | product | box caption | OK button | text
runs=(
    "zh_CN.UTF-8|GBK|zh_CN|KavoruQyn|KavoruQyn安装系统|确定|KavoruQyn 的安装程序已在运行。"
    "zh_TW.UTF-8|BIG5|zh_TW|KavoruQyn|KavoruQyn安裝繫統|確定|KavoruQyn 的安裝程式已在執行。"
    "C.UTF-8|CP1252|en|Kavoru Qyn|Kavoru Qyn Setup|OK|Setup of Kavoru Qyn is already running."
)
for run in "${runs[@]}"; do
    IFS='|' read -r lang charset tag product title ok text <<<"$run"
    in_cp() { printf '%s' "$1" | iconv -f UTF-8 -t "$charset"; }
    shot="$KQ_SCREENSHOTS/already-running-$tag.png"
    rm -f "$shot" "$scratch/second.log"
    forget_installation "$product"
    before=$(drive_c_now)

    drive --lang "$lang" -- start "$setup" -- wait-window Form1 expect-page TabSheet1 detach \
        start "$setup" "/D=$(win_path "$scratch")\\second" -- dialog-text "$title" \
        screenshot "$shot" glyphs "$title" dialog "$title" "$ok" expect-exit 6 5000 detach \
        start "$setup" /S "/LOG=$log" "/D=$(win_path "$scratch")\\second" -- \
        expect-exit-without-window 6 20000 detach \
        attach Form1 expect-page TabSheet1 click ButtonCancel1 expect-exit 0 5000
    expect_status "two Setups in $lang" 0
    expect_line "the box in $lang" "$(in_cp "dialog-text $title: $text")"

    [ "$(cat "$scratch/second.log")" = "$(in_cp "$text")"$'\r' ] ||
        fail "$lang: the silent one's log holds: $(cat -A "$scratch/second.log")"
    [ ! -e "$second" ] || fail "$lang: the second Setup made its folder"
    expect_nothing_recorded "two Setups in $lang" "$product"
    [ "$(drive_c_now)" = "$before" ] || fail "$lang: drive C changed:
$(diff <(echo "$before") <(drive_c_now))"
    [ -s "$shot" ] || fail "$lang: no screenshot of the box"
    echo "$lang: the second Setup refused, the silent one ended with 6, nothing written"
done
