#!/usr/bin/env bash
# The wizard window under code page 936 as the user sees it: every control at its place, with its
# text and enabled state, read from the native windows by the driver and compared with the
# layout file the wizard-window test also reads (the texts start-up composes stated here); the
# summary the wizard fills; then a screenshot of each of the five pages.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

setup=$(win_path "$KQ_SETUP")
# The folder field shows the default folder only while no earlier installation is recorded.
"$KQ_WINE_RUN" reg delete 'HKCU\Software\Kavoru\KavoruQyn' /v InstallPath /f >/dev/null 2>&1 || true

# The window's layout, as designed: one file, read also by the wizard-window test.
layout=$(dirname "$0")/../forms/data/wizard_window.txt
# The texts start-up composes, where they differ from the design ("-": not compared; the licence,
# and the summary, which the wizard writes when its page is reached and which is checked below).
declare -A shown=(
    [LabelWelcome]='欢迎使用 KavoruQyn 安装向导'
    [LabelCompanyAll1]='Kavoru软件开发有限公司'
    [LabelCompanyAll2]='Ferrun计算机有限公司'
    [Memo1]=-
    [LabelDir]='将 KavoruQyn 安装到：'
    [EditDir]='C:\Program Files\KavoruQyn\'
    [MemoInfo]=-
    [Labelinstall]='正在安装KavoruQyn'
    [MemoInstall]='安装向导正在安装 KavoruQyn ，请稍候。这需要几分钟的时间。'
    [Memo2]='安装向导成功地安装了 KavoruQyn 。单击"完成"退出向导。'
)
# name|bounds|enabled|text, from the layout file. A page's controls have windows once the page has
# been shown: each page and its controls are read when it is reached (reads[N], page N from 1;
# reads[0] for the window and its page control).
controls=()
declare -A reads
while IFS='|' read -r name _ parent bounds _ state _ _ text; do
    [[ $name == \#* || -z $name ]] && continue
    name=${name% } bounds=${bounds# } bounds=${bounds% } text=${text# } parent=${parent// /}
    read -r enabled _ <<<"$state"
    controls+=("$name|$bounds|$enabled|${shown[$name]-$text}")
    page=0
    [[ $parent == TabSheet[1-5] ]] && page=${parent#TabSheet}
    [[ $name == TabSheet[1-5] ]] && page=${name#TabSheet}
    reads[$page]+=" bounds $name enabled $name text $name"
done <"$layout"
[ "${#controls[@]}" = 55 ] || fail "$layout: ${#controls[@]} controls, not 55"

# shellcheck disable=SC2206  # the reads are words
commands=(start "$setup" -- wait-window Form1 text Form1 expect-page TabSheet1 ${reads[0]} ${reads[1]}
    visible LabelCompanyAll2)
# The first three pages as the user reaches them with Next, the summary filled by the wizard
# for the default folder. (Arguments go in UTF-8; Wine hands them on in the code page.)
summary=$(printf '安装类型\r\n\r\n    典型\r\n\r\n安装目标文件夹\r\n\r\n    C:\\Program Files\\KavoruQyn\\\r\n\r\n')
# The installing page, shown through the automation message, as it shows a file being copied:
# the status label takes the text (set from outside, as an automation tool would) and grows to
# hold it.
copying='正在拷贝 C:\Program Files\KavoruQyn\qynapp.exe'
shot() { printf '%s/page%s-zh_CN.png' "$KQ_SCREENSHOTS" "$1"; }
# shellcheck disable=SC2206
commands+=(screenshot "$(shot 0)"
    click ButtonNext1 expect-page TabSheet2 ${reads[2]} screenshot "$(shot 1)"
    click ButtonNext2 expect-page TabSheet3 ${reads[3]} text MemoInfo screenshot "$(shot 2)"
    set-page PageControl1 3 expect-page TabSheet4 ${reads[4]} progress ProgressBar1
    set-text LabelInstall2 "$copying" bounds LabelInstall2 screenshot "$(shot 3)"
    set-page PageControl1 4 expect-page TabSheet5 ${reads[5]} checked CheckBox1
    screenshot "$(shot 4)")
commands+=(close Form1 expect-exit 0 5000)
for page in 0 1 2 3 4; do rm -f "$(shot $page)"; done

drive --lang zh_CN.UTF-8 -- "${commands[@]}"
expect_status "the five pages" 0

expect_line "caption" "$(in_gbk 'text Form1: KavoruQyn 安装向导')"
for c in "${controls[@]}"; do
    IFS='|' read -r name bounds enabled text <<<"$c"
    if [[ $bounds == auto* ]]; then
        read -r _ left top <<<"$bounds"
        grep -qE "^bounds $name: $left $top [1-9][0-9]* [1-9][0-9]*$" <<<"$out" ||
            fail "$name: not at $left, $top or of no size: $(grep "^bounds $name:" <<<"$out")"
    else
        expect_line "$name" "bounds $name: $bounds"
    fi
    expect_line "$name" "enabled $name: $enabled"
    [ "$text" = - ] || expect_line "$name" "$(in_gbk "text $name: $text")"
done
[[ $out == *"$(in_gbk "text MemoInfo: $summary")"* ]] || fail "the summary is not in the output: $out"
mapfile -t widths < <(sed -n 's/^bounds LabelInstall2: 104 134 \([0-9]*\) [0-9]*$/\1/p' <<<"$out")
[ "${#widths[@]}" = 2 ] && [ "${widths[1]}" -gt "${widths[0]}" ] ||
    fail "the status label did not grow to its new text: widths ${widths[*]}"
expect_line "check box" "checked CheckBox1: checked"
expect_line "progress bar" "progress ProgressBar1: 0"
expect_line "second company label" "visible LabelCompanyAll2: hidden"

for page in 0 1 2 3 4; do
    file=$(shot "$page")
    [ "$(identify -format '%m %w %h' "$file")" = "PNG 1024 768" ] || fail "no screenshot of page $page"
    echo "screenshot: $file"
done
