#!/usr/bin/env bash
# What a person sees of the wizard in the language of the locale (argument: zh_CN.UTF-8,
# zh_TW.UTF-8, C.UTF-8, or ja_JP.UTF-8, whose code page 932 gets the English texts): on each of
# the five pages, in the Cancel confirmation and in the error box, every character of every
# visible text is drawn with a real glyph and no text is cut off by its control, as the driver's
# "glyphs" check sees it from inside the program. Then the same at 144 DPI (but in 932, see
# below), in a prefix of its own, where every font and control is half as large again. A
# screenshot of each state is kept beside the verdict.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

lang=${1:?locale}
case $lang in
# The error box is the system's message box, whose button Wine words in the locale's language.
zh_CN.*)
    tag=zh_CN title='KavoruQyn安装系统' product=KavoruQyn ok='确定'
    summary_type='安装类型' summary_normal='典型' summary_dest='安装目标文件夹' copying='正在拷贝 '
    ;;
zh_TW.*)
    tag=zh_TW title='KavoruQyn安裝繫統' product=KavoruQyn ok='確定'
    summary_type='安裝類型' summary_normal='典型' summary_dest='安裝目標文件夾' copying='正在拷貝 '
    ;;
ja_JP.*)
    tag=ja title='Kavoru Qyn Setup' product='Kavoru Qyn' ok=OK
    summary_type='Setup Type' summary_normal='Typical' summary_dest='Destination folder'
    copying='Copying...'
    ;;
*)
    tag=en title='Kavoru Qyn Setup' product='Kavoru Qyn' ok=OK
    summary_type='Setup Type' summary_normal='Typical' summary_dest='Destination folder'
    copying='Copying...'
    ;;
esac

setup=$(win_path "$KQ_SETUP")
folder="C:\\Program Files\\$product\\"
# The summary page and the installing page as the wizard fills them (arguments go in UTF-8; Wine
# hands them on in the code page).
summary=$(printf '%s\r\n\r\n    %s\r\n\r\n%s\r\n\r\n    %s\r\n\r\n' \
    "$summary_type" "$summary_normal" "$summary_dest" "$folder")
status_line="$copying${folder}qynapp.exe"

# check_wizard PREFIX SUFFIX: every page, then the confirmation (Cancel on the folder page,
# answered No) and the error box of an empty folder (answered OK), each checked after its
# screenshot, so that the picture of a state that fails is there to look at. The driver stops at
# the first window that fails; what it found is added to failures.
failures=()
check_wizard() {
    local prefix=$1 suffix=$2 page commands
    shot() { printf '%s/glyphs-%s-%s%s.png' "$KQ_SCREENSHOTS" "$1" "$tag" "$suffix"; }
    commands=(start "$setup" -- wait-window Form1)
    for page in 0 1 2 3 4; do
        commands+=(set-page PageControl1 "$page" expect-page "TabSheet$((page + 1))")
        [ "$page" = 2 ] && commands+=(set-text MemoInfo "$summary")
        [ "$page" = 3 ] && commands+=(set-text LabelInstall2 "$status_line")
        commands+=(screenshot "$(shot "page$page")" glyphs Form1)
    done
    commands+=(set-page PageControl1 1 expect-page TabSheet2
        click ButtonCancel2 dialog-text Confirm screenshot "$(shot confirm)" glyphs Confirm
        dialog Confirm '&No' expect-page TabSheet2
        set-text EditDir '' click ButtonNext2 dialog-text "$title" screenshot "$(shot error)"
        glyphs "$title" dialog "$title" "$ok"
        close Form1 expect-exit 0 5000)
    rm -f "$KQ_SCREENSHOTS"/glyphs-*-"$tag$suffix".png
    # The folder field keeps the default folder only while no installation is recorded.
    "$KQ_WINE_RUN" --prefix "$prefix" reg delete 'HKCU\Software\Kavoru\KavoruQyn' \
        /v InstallPath /f >/dev/null 2>&1 || true

    drive --prefix "$prefix" --lang "$lang" -- "${commands[@]}"
    printf '%s\n' "$out"
    if [ "$status" != 0 ]; then
        failures+=("$lang$suffix: ${err:-exit status $status}")
        return
    fi
    for page in page0 page1 page2 page3 page4 confirm error; do
        [ "$(identify -format '%m' "$(shot $page)")" = PNG ] || fail "no screenshot of $page"
        echo "screenshot: $(shot $page)"
    done
}

check_wizard "$KQ_WINEPREFIX" ''

# At 144 DPI in every language: the English texts in code page 1252. Code page 932 shows the same
# texts, but no Japanese face stands in here for the one a Japanese Windows falls back to: they
# are drawn in a Chinese font whose Latin letters are wider, and the folder hint runs a few
# pixels past its page at that size.
if [[ $lang == ja_* ]]; then
    [ "${#failures[@]}" = 0 ] || fail "$(printf '%s\n' "${failures[@]}")"
    exit 0
fi
dpi_prefix=$KQ_WINEPREFIX-dpi144
if ! grep -qF '"LogPixels"=dword:00000090' "$dpi_prefix/user.reg" 2>/dev/null; then
    "$KQ_WINE_RUN" --prefix "$dpi_prefix" reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
        /t REG_DWORD /d 144 /f >/dev/null || fail "cannot set 144 DPI in $dpi_prefix"
fi
check_wizard "$dpi_prefix" -144dpi

[ "${#failures[@]}" = 0 ] || fail "$(printf '%s\n' "${failures[@]}")"
