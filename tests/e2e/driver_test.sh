#!/usr/bin/env bash
# kqdriver fails loudly: a mistake in the command list, a window that never comes, a text or exit
# code that differs, or a program that ended under it each end the driver with a non-zero status
# and a message naming the command, so a broken program can never pass an end-to-end test.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

probe=$(win_path "$KQ_PROBE")
setup=$(win_path "$KQ_SETUP")

# name | wanted status | wanted text on stderr ("-" for a run that succeeds) | driver commands
# (tab-separated)
cases=(
    "unknown command|2|unknown command \"bogus\"|bogus"
    "start without --|2|start: end the program's arguments with --|start	$probe	exit	0"
    "number expected|2|timeout: expected|timeout	soon"
    "exit code as expected|0|-|start	$probe	exit	5	--	expect-exit	5"
    "exit code differs|1|expect-exit 0: the exit code is 5|start	$probe	exit	5	--	expect-exit	0"
    "program ends while awaited|1|wait-window Form1: the program has ended (exit code 5)|start	$probe	exit	5	--	wait-window	Form1"
    "program still running|1|wait-exit 500: the program is still running (waited 500 ms)|start	$probe	sleep	30000	--	wait-exit	500"
    "no program started|1|wait-exit: no program was started or attached|wait-exit"
    "window never comes|1|wait-window NoSuchWindow: no visible window with caption or name \"NoSuchWindow\" (waited 500 ms)|wait-window	NoSuchWindow	500"
    "text differs|1|expect-text Form1: expected \"Not the caption\", found \"Form1\" (waited 300 ms)|start	$setup	--	wait-window	Form1	timeout	300	expect-text	Form1	Not the caption"
    "no such control|1|click ButtonNowhere: no window named \"ButtonNowhere\" (waited 300 ms)|start	$setup	--	wait-window	Form1	timeout	300	click	ButtonNowhere"
    "program cannot start|1|start $(win_path "$scratch")\\missing.exe: cannot start it|start	$(win_path "$scratch")\\missing.exe	--"
)
for c in "${cases[@]}"; do
    IFS='|' read -r name want_status want_err commands <<<"$c"
    IFS=$'\t' read -r -a words <<<"$commands"
    drive -- "${words[@]}"
    expect_status "$name" "$want_status"
    [ "$want_err" = "-" ] || expect_err "$name" "kqdriver: $want_err"
done

# The driver hands texts over as bytes in the program's code page and prints them back unchanged:
# a GBK caption set through the driver reads back as the same GBK bytes (iconv is the oracle).
caption=安装向导
drive --lang zh_CN.UTF-8 -- start "$setup" -- wait-window Form1 set-text Form1 "$caption" \
    text Form1 close Form1 expect-exit 0
expect_status "GBK caption" 0
expected=$(printf 'text Form1: %s' "$caption" | iconv -f UTF-8 -t GBK)
grep -qxF -- "$expected" <<<"$out" || fail "GBK caption: no line of GBK bytes '$expected' in: $out"

echo "kqdriver: all cases passed"
