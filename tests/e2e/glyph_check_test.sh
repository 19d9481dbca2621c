#!/usr/bin/env bash
# The driver's "glyphs" check reports the faults it is there for. On the installing page of the
# wizard under code page 936, a control's text is replaced from outside to show one fault at a
# time: characters no font has (the first code points of the private use area, which code page 936
# reaches through its user-defined area and no installed font draws) in a label, drawn by
# DrawText and GDI's font linking, and in a memo, drawn by Uniscribe with its own fallback; a label
# that runs past the edge of its page; a memo with more lines than it has room for. One run per
# case, since the check stops the driver at the first fault.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

setup=$(win_path "$KQ_SETUP")

# case | control | its text (printf escapes, in UTF-8) | what the check must report (a pattern)
cases=(
    'no glyph in a label|LabelInstall2|状态 \xee\x80\x80\xee\x80\x81 正在拷贝|Form1.LabelInstall2 (missing * U+E000, * U+E001)'
    'no glyph in a memo|MemoInstall|状态 \xee\x80\x80\xee\x80\x81 正在拷贝|Form1.MemoInstall (missing * U+E000, * U+E001)'
    'label past its page|LabelInstall2|C:\\Program Files\\KavoruQyn\\qynapp.exe C:\\Program Files\\KavoruQyn\\qynapp.exe C:\\Program Files\\KavoruQyn\\qynapp.exe|Form1.LabelInstall2 (clipped (text *x* in 516x*))'
    'memo of too many lines|MemoInstall|1\r\n2\r\n3\r\n4\r\n5\r\n6|Form1.MemoInstall (clipped (text *x* in *x*))'
)
for c in "${cases[@]}"; do
    IFS='|' read -r name control text wanted <<<"$c"
    text=$(printf '%b' "$text")
    drive --lang zh_CN.UTF-8 -- start "$setup" -- wait-window Form1 \
        set-page PageControl1 3 expect-page TabSheet4 set-text "$control" "$text" glyphs Form1
    expect_status "$name" 1
    # The characters themselves come in the code page's bytes; the code points say which.
    # shellcheck disable=SC2053  # the wanted report is a pattern
    [[ $err == *"kqdriver: glyphs Form1: "*$wanted* ]] || fail "$name: wanted '$wanted', got: $err"
    [[ $err != *";"* ]] || fail "$name: other controls reported too: $err"
    echo "$name: $err"
done
