#!/usr/bin/env bash
# The wizard's page flow in the language of the locale (argument: zh_CN.UTF-8, zh_TW.UTF-8 or
# C.UTF-8), driven by clicks from outside: the default folder, the summary the folder page fills,
# a screenshot of every page, and Finish ending the program with 0. The expected texts are
# written here in UTF-8 and converted by iconv.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

lang=${1:?locale}
use_complete_cjk_face
setup=$(win_path "$KQ_SETUP")

case $lang in
zh_CN.*)
    charset=GBK tag=zh_CN product=KavoruQyn caption='KavoruQyn 安装向导'
    summary_type='安装类型' summary_normal='典型' summary_dest='安装目标文件夹'
    ;;
zh_TW.*)
    charset=BIG5 tag=zh_TW product=KavoruQyn caption='KavoruQyn 安裝向導'
    summary_type='安裝類型' summary_normal='典型' summary_dest='安裝目標文件夾'
    ;;
*)
    charset=ASCII tag=en product='Kavoru Qyn' caption='Kavoru Qyn Installation Guides'
    summary_type='Setup Type' summary_normal='Typical' summary_dest='Destination folder'
    ;;
esac
in_cp() { printf '%s' "$1" | iconv -f UTF-8 -t "$charset"; }

folder="C:\\Program Files\\$product\\"
summary=$(printf '%s\r\n\r\n    %s\r\n\r\n%s\r\n\r\n    %s\r\n\r\n' \
    "$summary_type" "$summary_normal" "$summary_dest" "$folder")
shot() { printf '%s/flow%s-%s.png' "$KQ_SCREENSHOTS" "$1" "$tag"; }
for page in 0 1 2 3 4; do rm -f "$(shot $page)"; done

drive --lang "$lang" -- start "$setup" -- wait-window Form1 text Form1 \
    expect-page TabSheet1 screenshot "$(shot 0)" \
    click ButtonNext1 expect-page TabSheet2 text EditDir screenshot "$(shot 1)" \
    click ButtonPrior2 expect-page TabSheet1 click ButtonNext1 expect-page TabSheet2 \
    click ButtonNext2 expect-page TabSheet3 text MemoInfo screenshot "$(shot 2)" \
    click ButtonPrior3 expect-page TabSheet2 click ButtonNext2 expect-page TabSheet3 \
    click ButtonNext3 expect-page TabSheet4 screenshot "$(shot 3)" \
    set-page PageControl1 4 expect-page TabSheet5 screenshot "$(shot 4)" \
    click ButtonFinish expect-exit 0 5000
expect_status "the page flow in $lang" 0

# Finish closes the window and the program ends by itself, although the driver's click is sent
# to the button, not posted (the loop must still wake up to see the window gone).

expect_line "caption" "text Form1: $(in_cp "$caption")"
expect_line "default folder" "text EditDir: $(in_cp "$folder")"
# The driver prints a multi-line text as it is; compare the summary as a whole.
grep -qF -- "$(in_cp "$summary")" <<<"$out" || fail "the summary is not in the output: $out"
prefix_folder="$KQ_WINEPREFIX/drive_c/Program Files/$product"
[ -d "$prefix_folder" ] || fail "Next did not create $prefix_folder"
for page in 0 1 2 3 4; do
    [ "$(identify -format '%m %w %h' "$(shot $page)")" = "PNG 1024 768" ] ||
        fail "no screenshot of page $page"
    echo "screenshot: $(shot $page)"
done
