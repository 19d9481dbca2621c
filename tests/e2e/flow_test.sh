#!/usr/bin/env bash
# A whole installation in the language of the locale (argument: zh_CN.UTF-8, zh_TW.UTF-8 or
# C.UTF-8), driven by clicks from outside, with a screenshot of every page: the default folder,
# the summary the folder page fills, Install extracting the test product's Setup.dat beside
# Setup.exe into a folder named in the code page (in Chinese, characters whose second byte is a
# backslash), and Finish starting the installed program and ending with 0. Then, read from Linux:
# every file with its bytes, time and read-only state; the uninstall log, byte for byte; the
# shortcuts; the folder recorded in the registry; the program's marker. The expected texts are
# written here in UTF-8 and converted by iconv.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"
installation_test

lang=${1:?locale}

case $lang in
zh_CN.*)
    charset=GBK tag=zh_CN product=KavoruQyn caption='KavoruQyn 安装向导' folder='運誠'
    summary_type='安装类型' summary_normal='典型' summary_dest='安装目标文件夹'
    copying='正在拷贝 ' readme='Qyn介绍文档' uninstall='卸载Qyn'
    ;;
zh_TW.*)
    charset=BIG5 tag=zh_TW product=KavoruQyn caption='KavoruQyn 安裝向導' folder='許功'
    summary_type='安裝類型' summary_normal='典型' summary_dest='安裝目標文件夾'
    copying='正在拷貝 ' readme='Qyn介紹文檔' uninstall='卸載Qyn'
    ;;
*)
    charset=CP1252 tag=en product='Kavoru Qyn' caption='Kavoru Qyn Installation Guides'
    folder='Café Qyn'
    summary_type='Setup Type' summary_normal='Typical' summary_dest='Destination folder'
    copying='Copying...' readme='Qyn Readme' uninstall='Uninstall Qyn'
    ;;
esac
in_cp() { printf '%s' "$1" | iconv -f UTF-8 -t "$charset"; }

make_product "$scratch/product"
media "$scratch/media"
pack "$scratch/product" "$scratch/media/Setup.dat"
forget_installation "$product"
dest="$(win_path "$scratch")\\$folder\\"

summary=$(printf '%s\r\n\r\n    %s\r\n\r\n%s\r\n\r\n    %s\r\n\r\n' \
    "$summary_type" "$summary_normal" "$summary_dest" "$dest")
shot() { printf '%s/flow%s-%s.png' "$KQ_SCREENSHOTS" "$1" "$tag"; }
for page in 0 1 2 3 4; do rm -f "$(shot $page)"; done

# The installing page passes quickly; its screenshot is taken when it is shown again at the end,
# with the bar full and the last file in the status line. The folder is typed without its
# backslash, which Next adds, also in Chinese, where its last character's second byte is one.
typed=${dest%\\}
drive --lang "$lang" -- start "$(win_path "$scratch/media/Setup.exe")" -- wait-window Form1 \
    text Form1 expect-page TabSheet1 screenshot "$(shot 0)" \
    click ButtonNext1 expect-page TabSheet2 text EditDir screenshot "$(shot 1)" \
    click ButtonPrior2 expect-page TabSheet1 click ButtonNext1 expect-page TabSheet2 \
    set-text EditDir "$typed" \
    click ButtonNext2 expect-page TabSheet3 text MemoInfo screenshot "$(shot 2)" \
    click ButtonPrior3 expect-page TabSheet2 click ButtonNext2 expect-page TabSheet3 \
    click ButtonNext3 timeout 30000 expect-page TabSheet5 screenshot "$(shot 4)" \
    progress ProgressBar1 text LabelInstall2 \
    set-page PageControl1 3 expect-page TabSheet4 screenshot "$(shot 3)" \
    set-page PageControl1 4 checked CheckBox1 \
    click ButtonFinish expect-exit 0 5000 wait-file "${dest}qynapp.ran" 5000
expect_status "the installation in $lang" 0

# Finish closes the window and the program ends by itself, although the driver's click is sent
# to the button, not posted (the loop must still wake up to see the window gone).

expect_line "caption" "text Form1: $(in_cp "$caption")"
expect_line "default folder" "text EditDir: $(in_cp "C:\\Program Files\\$product\\")"
# The driver prints a multi-line text as it is; compare the summary as a whole (grep -F would
# take each of its lines as a pattern of its own).
[[ $out == *"text MemoInfo: $(in_cp "$summary")"* ]] || fail "the summary is not in the output: $out"
expect_line "progress bar" "progress ProgressBar1: 100"
expect_line "status line" "text LabelInstall2: $(in_cp "$copying${dest}qynapp.exe")"
expect_line "launch offered" "checked CheckBox1: checked"
for page in 0 1 2 3 4; do
    [ "$(identify -format '%m %w %h' "$(shot $page)")" = "PNG 1024 768" ] ||
        fail "no screenshot of page $page"
    echo "screenshot: $(shot $page)"
done

installed tree "$scratch/product" "$scratch/$folder"
expect_log "$lang" "$scratch/$folder/Uninstall.log" "$scratch/media/Setup.dat" "$scratch/product"

expect_links "$charset" "$(shell_folder Programs)/$product" "$dest" \
    "$product:qynapp.exe" "$readme:Qyn.doc" "$uninstall:UnInstall.exe"
installed link "$(shell_folder Desktop)/$product.lnk" "${dest}qynapp.exe" "$dest" "$product" \
    "$charset"
[ "$(reg_value 'Software\Kavoru\KavoruQyn' InstallPath)" = "$dest" ] ||
    fail "InstallPath is not $dest"

# The program started in its folder (shown without the trailing backslash).
ran=$(iconv -f "$charset" -t UTF-8 "$scratch/$folder/qynapp.ran" | tr -d '\r')
[[ $(sed -n 1p <<<"$ran") == *"${dest}qynapp.exe"* ]] || fail "qynapp.exe's command line: $ran"
[ "$(sed -n 2p <<<"$ran")" = "${dest%\\}" ] || fail "qynapp.exe's folder: $ran"
echo "installed in $lang: files, log, shortcuts, registry value and launch checked"
