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
drive --lang "$lang" -- start "$(win_path "$KQ_SETUP")" -- wait-window Form1 \
    text Form1 client-size Form1 bounds Form1 style Form1 atom Form1 atom TForm1 \
    screenshot "$shot" close Form1 expect-exit 0 5000 atom Form1 atom TForm1
expect_status "Setup.exe under $lang" 0

# Each line is what the window description asks for, as the driver reports it: the client area
# is 628 x 368 at 67, 48; single border (a caption, not sizable) with the system menu and the
# minimise box but no maximise box.
expected=(
    "text Form1: Form1"
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
grep -qE '^bounds Form1: 67 48 [0-9]+ [0-9]+$' <<<"$out" ||
    fail "Setup.exe under $lang: the window is not at 67, 48: $(grep '^bounds' <<<"$out")"

[ "$(identify -format '%m' "$shot")" = PNG ] || fail "no screenshot in $shot"
echo "screenshot: $shot"
