#!/usr/bin/env bash
# The wizard window as it first appears: caption, client area, position and border as designed;
# closing it ends Setup.exe with exit code 0. A screenshot is kept in the screenshot folder.
#
#   window_test.sh LANG     (the locale Setup.exe runs in, e.g. C.UTF-8 or zh_CN.UTF-8)
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

lang=${1:?usage: window_test.sh LANG}
shot=$KQ_SCREENSHOTS/form1-${lang%%.*}.png
rm -f "$shot"

# The window's name and class travel as global atoms, which outlive the program unless it
# deletes them.
# The application's title captions the task-bar button, the window itself is captioned with the
# product's name and the installation guide's: both composed at start-up in the system's language
# (code page 936: simplified Chinese; any other: English). Arguments go to the driver in UTF-8,
# which Wine hands on in the code page; what the driver prints comes back in the code page.
case $lang in
zh_CN*)
    title='KavoruQyn安装系统'
    caption_line="$(in_gbk 'text Form1: KavoruQyn 安装向导')"
    ;;
*)
    title='Kavoru Qyn Setup'
    caption_line=''
    ;;
esac
drive --lang "$lang" -- start "$(win_path "$KQ_SETUP")" -- wait-window Form1 \
    wait-window "$title" 5000 \
    text Form1 client-size Form1 bounds Form1 style Form1 atom Form1 atom TForm1 \
    screenshot "$shot" close Form1 expect-exit 0 5000 atom Form1 atom TForm1
expect_status "Setup.exe under $lang" 0

# Each line is what the window description asks for, as the driver reports it: the client area
# is 628 x 368 at 67, 48; single border (a caption, not sizable) with the system menu and the
# minimise box but no maximise box.
expected=(
    "client-size Form1: 628 368"
    "style Form1: caption sysmenu minimize-box no-maximize-box no-sizable visible enabled"
    "expect-exit 0: ok"
    # asked while the window is shown, and again once the program has ended
    "atom Form1: present" "atom TForm1: present"
    "atom Form1: absent" "atom TForm1: absent"
)
for line in "${expected[@]}"; do
    expect_line "Setup.exe under $lang" "$line"
done
if [ -n "$caption_line" ]; then
    expect_line "Setup.exe under $lang" "$caption_line"
else
    grep -q '^text Form1: Kavoru Qyn ' <<<"$out" ||
        fail "Setup.exe under $lang: caption $(grep '^text Form1:' <<<"$out")"
fi
grep -qE '^bounds Form1: 67 48 [0-9]+ [0-9]+$' <<<"$out" ||
    fail "Setup.exe under $lang: the window is not at 67, 48: $(grep '^bounds' <<<"$out")"

[ "$(identify -format '%m' "$shot")" = PNG ] || fail "no screenshot in $shot"
echo "screenshot: $shot"
