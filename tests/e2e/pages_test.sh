#!/usr/bin/env bash
# The wizard window under code page 936 as the user sees it: every control at its place, with its
# text and enabled state, read from the native windows by the driver and compared with the
# window's design (the texts that start-up composes as the design says it composes them); then a
# screenshot of each of the five pages, shown through the page control's automation message.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

setup=$(win_path "$KQ_SETUP")
# The folder field shows the default folder only while no earlier installation is recorded.
"$KQ_WINE_RUN" reg delete 'HKCU\Software\Kavoru\KavoruQyn' /v InstallPath /f >/dev/null 2>&1 || true

# name | bounds ("auto L T": a label sized to its text, only its corner is fixed) | enabled | text
controls=(
    "PageControl1|0 0 628 368|enabled|"
    "TabSheet1|4 4 620 358|enabled|TabSheet1"
    "Image1|0 0 249 358|enabled|"
    "LabelWelcome|auto 253 16|enabled|欢迎使用 KavoruQyn 安装向导"
    "LabelCompanyAll1|256 256 361 20|enabled|Kavoru软件开发有限公司"
    "LabelCompanyAll2|256 284 353 20|enabled|Ferrun计算机有限公司"
    "ButtonPrior1|296 312 81 25|disabled|<上一步(&B)"
    "ButtonNext1|392 312 81 25|enabled|下一步(&N)>"
    "ButtonCancel1|488 312 81 25|enabled|取消"
    "Memo1|258 72 324 153|enabled|-"
    "TabSheet2|4 4 620 358|enabled|TabSheet2"
    "LabelDestFolder|auto 22 8|enabled|安装目标文件夹"
    "Label4|auto 24 32|enabled|单击“下一步”安装到此文件夹，或单击“更改”安装到不同的文件夹中。"
    "Panel2|22 48 553 3|enabled|"
    "ImageIco1|532 7 45 33|enabled|"
    "ImageDir|21 63 47 42|enabled|"
    "LabelDir|auto 91 64|enabled|将 KavoruQyn 安装到："
    "EditDir|91 80 406 21|enabled|C:\\Program Files\\KavoruQyn\\"
    "ButtonChgDir|499 77 75 25|enabled|更改(&C)"
    "LabelInstallationGuides|auto 20 280|enabled|安装向导"
    "Panel1|22 297 549 2|enabled|"
    "ButtonPrior2|296 312 81 25|enabled|<上一步(&B)"
    "ButtonNext2|392 312 81 25|enabled|下一步(&N)>"
    "ButtonCancel2|488 312 81 25|enabled|取消"
    "TabSheet3|4 4 620 358|enabled|TabSheet3"
    "Label5|auto 20 8|enabled|已做好安装程序的准备"
    "Label6|auto 22 32|enabled|向导准备开始安装"
    "Panel3|22 48 551 3|enabled|"
    "ImageIco2|526 7 45 33|enabled|"
    "Label7|auto 21 62|enabled|要查看或更改任何安装设置，请点击“上一步”。单击“取消”退出向导。"
    "Label8|auto 21 91|enabled|当前设置"
    "MemoInfo|20 112 553 169|enabled|MemoInfo"
    "Panel4|20 297 555 2|enabled|"
    "ButtonPrior3|296 312 81 25|enabled|<上一步(&B)"
    "ButtonNext3|392 312 81 25|enabled|安装(&I)"
    "ButtonCancel3|488 312 81 25|enabled|取消"
    "TabSheet4|4 4 620 358|enabled|TabSheet4"
    "Labelinstall|auto 29 16|enabled|正在安装KavoruQyn"
    "Label10|auto 31 40|enabled|正在安装您选择的程序。"
    "Panel5|29 56 535 3|enabled|"
    "ImageIco3|518 7 45 33|enabled|"
    "MemoInstall|29 72 497 37|enabled|安装向导正在安装 KavoruQyn ，请稍候。这需要几分钟的时间。"
    "Label11|auto 104 112|enabled|状态:"
    "LabelInstall2|auto 104 134|enabled|LabelInstall2"
    "ProgressBar1|104 152 361 17|enabled|"
    "Panel6|30 305 538 2|enabled|"
    "ButtonPrior4|296 312 81 25|disabled|<上一步(&B)"
    "ButtonNext4|392 312 81 25|disabled|下一步(&N)>"
    "ButtonCancel4|488 312 81 25|enabled|取消"
    "TabSheet5|4 4 620 358|enabled|TabSheet5"
    "Image2|0 0 297 358|enabled|"
    "Label9|auto 308 16|enabled|安装完成"
    "Memo2|309 80 274 73|enabled|安装向导成功地安装了 KavoruQyn 。单击\"完成\"退出向导。"
    "CheckBox1|311 183 162 17|enabled|启动程序"
    "ButtonFinish|392 312 81 25|enabled|完成(&F)"
)

commands=(start "$setup" -- wait-window Form1 text Form1 expect-page TabSheet1)
for c in "${controls[@]}"; do
    IFS='|' read -r name _ _ _ <<<"$c"
    commands+=(bounds "$name" enabled "$name" text "$name")
done
commands+=(checked CheckBox1 progress ProgressBar1 visible LabelCompanyAll2)
# The summary page as the wizard fills it once the folder is chosen.
# (Arguments go in UTF-8; Wine hands them on in the code page.)
summary=$(printf '安装类型\r\n\r\n    典型\r\n\r\n安装目标文件夹\r\n\r\n    C:\\Program Files\\KavoruQyn\\\r\n\r\n')
# The installing page as it shows a file being copied: the status label takes the text (set from
# outside, as an automation tool would) and grows to hold it.
copying='正在拷贝 C:\Program Files\KavoruQyn\qynapp.exe'
for page in 0 1 2 3 4; do
    [ "$page" = 2 ] && commands+=(set-text MemoInfo "$summary")
    [ "$page" = 3 ] && commands+=(set-text LabelInstall2 "$copying" text LabelInstall2
        bounds LabelInstall2)
    commands+=(set-page PageControl1 "$page" expect-page "TabSheet$((page + 1))"
        screenshot "$KQ_SCREENSHOTS/page$page-zh_CN.png")
done
commands+=(close Form1 expect-exit 0 5000)
for page in 0 1 2 3 4; do rm -f "$KQ_SCREENSHOTS/page$page-zh_CN.png"; done

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
expect_line "status" "$(in_gbk "text LabelInstall2: $copying")"
mapfile -t widths < <(sed -n 's/^bounds LabelInstall2: 104 134 \([0-9]*\) [0-9]*$/\1/p' <<<"$out")
[ "${#widths[@]}" = 2 ] && [ "${widths[1]}" -gt "${widths[0]}" ] ||
    fail "the status label did not grow to its new text: widths ${widths[*]}"
expect_line "check box" "checked CheckBox1: checked"
expect_line "progress bar" "progress ProgressBar1: 0"
expect_line "second company label" "visible LabelCompanyAll2: hidden"

for page in 0 1 2 3 4; do
    shot=$KQ_SCREENSHOTS/page$page-zh_CN.png
    [ "$(identify -format '%m %w %h' "$shot")" = "PNG 1024 768" ] || fail "no screenshot of page $page"
    echo "screenshot: $shot"
done
