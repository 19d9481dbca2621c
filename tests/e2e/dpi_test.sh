#!/usr/bin/env bash
# On a screen of 120 DPI the window keeps its 96-DPI layout, scaled by 1.25 (rounded to the
# nearest pixel), rather than being stretched by the system: Setup.exe declares itself DPI-aware
# and scales every length itself. Run in a prefix of its own, set to 120 DPI once.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

prefix=$KQ_WINEPREFIX-dpi120
if ! grep -qF '"LogPixels"=dword:00000078' "$prefix/user.reg" 2>/dev/null; then
    "$KQ_WINE_RUN" --prefix "$prefix" reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
        /t REG_DWORD /d 120 /f >/dev/null || fail "cannot set 120 DPI in $prefix"
fi
shot=$KQ_SCREENSHOTS/form1-dpi120.png
rm -f "$shot"

drive --prefix "$prefix" -- start "$(win_path "$KQ_SETUP")" -- wait-window Form1 \
    client-size Form1 bounds TabSheet1 bounds Image1 bounds ButtonNext1 \
    set-page PageControl1 1 bounds Panel2 bounds EditDir set-page PageControl1 0 \
    screenshot "$shot" close Form1 expect-exit 0 5000
expect_status "Setup.exe at 120 DPI" 0

# Each 96-DPI length times 120 / 96, worked out by hand: 628 x 368 -> 785 x 460; 81 -> 101.25;
# 22 -> 27.5, rounded away from zero.
expected=(
    "client-size Form1: 785 460"
    "bounds TabSheet1: 5 5 775 448"
    "bounds Image1: 0 0 311 448"
    "bounds ButtonNext1: 490 390 101 31"
    "bounds Panel2: 28 60 691 4"
    "bounds EditDir: 114 100 508 26"
)
for line in "${expected[@]}"; do
    expect_line "Setup.exe at 120 DPI" "$line"
done
[ "$(identify -format '%m' "$shot")" = PNG ] || fail "no screenshot in $shot"
echo "screenshot: $shot"
