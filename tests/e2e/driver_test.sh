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
    "detached, then attached again|0|-|start	$probe	window	--	wait-window	Probe	detach	start	$probe	exit	3	--	expect-exit	3	detach	attach	Probe	click	Button1	expect-exit	11"
    "nothing watched once detached|1|wait-exit: no program was started or attached|start	$probe	exit	0	--	detach	wait-exit"
    "window never comes|1|wait-window NoSuchWindow: no visible window with caption or name \"NoSuchWindow\" (waited 500 ms)|wait-window	NoSuchWindow	500"
    "text differs|1|expect-text Button1: expected \"Not the caption\", found \"Button1\" (waited 300 ms)|start	$probe	window	--	wait-window	Probe	timeout	300	expect-text	Button1	Not the caption"
    "no such control|1|click ButtonNowhere: no window named \"ButtonNowhere\" (waited 300 ms)|start	$setup	--	wait-window	Form1	timeout	300	click	ButtonNowhere"
    "click a disabled button|1|click Button2: is disabled (waited 300 ms)|start	$probe	window	--	wait-window	Probe	timeout	300	click	Button2"
    "another page expected|1|expect-page TabSheet1: the page shown is \"TabSheet2\" (waited 300 ms)|start	$probe	window	--	wait-window	Probe	timeout	300	expect-page	TabSheet1"
    "another position expected|1|expect-progress ProgressBar1: the position is 42 (waited 300 ms)|start	$probe	window	--	wait-window	Probe	timeout	300	expect-progress	ProgressBar1	100"
    "no such dialog button|1|dialog Confirm: no button \"Maybe\"|start	$probe	message	Confirm	Proceed?	--	dialog	Confirm	Maybe"
    "program cannot start|1|start $(win_path "$scratch")\\missing.exe: cannot start it|start	$(win_path "$scratch")\\missing.exe	--"
    "folder removed, then awaited|1|wait-file $(win_path "$scratch")\\gone: no such file (waited 200 ms)|wait-file	$(win_path "$scratch")\\gone	remove	$(win_path "$scratch")\\gone	wait-file	$(win_path "$scratch")\\gone	200"
    "nothing to remove|1|remove $(win_path "$scratch")\\gone: no such file or folder|remove	$(win_path "$scratch")\\gone"
)
mkdir "$scratch/gone"
for c in "${cases[@]}"; do
    IFS='|' read -r name want_status want_err commands <<<"$c"
    IFS=$'\t' read -r -a words <<<"$commands"
    drive -- "${words[@]}"
    expect_status "$name" "$want_status"
    [ "$want_err" = "-" ] || expect_err "$name" "kqdriver: $want_err"
done

# A window whose controls are known (probe window): each query reads back what the probe set up.
folder="C:\\Program Files\\KavoruQyn\\"
drive -- start "$probe" window -- wait-window Probe text Button1 bounds Button1 checked CheckBox1 \
    progress ProgressBar1 page enabled Button2 set-text Edit1 "$folder" text Edit1 \
    click Button1 expect-exit 11
expect_status "known controls" 0
expected=(
    "text Button1: Button1"
    "bounds Button1: 10 20 81 25"
    "checked CheckBox1: checked"
    "progress ProgressBar1: 42"
    "page: TabSheet2"
    "enabled Button2: disabled"
    "text Edit1: $folder"
    "click Button1: clicked"
    "expect-exit 11: ok"
)
for line in "${expected[@]}"; do
    expect_line "known controls" "$line"
done

# A message box answered through the driver: the program sees the button pressed (IDNO is 7).
drive -- start "$probe" message Confirm "Proceed?" -- dialog-text Confirm dialog Confirm No \
    expect-exit 7
expect_status "message box" 0
for line in "dialog-text Confirm: Proceed?" "dialog Confirm: pressed &No" "expect-exit 7: ok"; do
    expect_line "message box" "$line"
done

# The driver hands texts over as bytes in the program's code page and prints them back unchanged:
# a GBK caption set through the driver reads back as the same GBK bytes (iconv is the oracle).
caption=安装向导
drive --lang zh_CN.UTF-8 -- start "$setup" -- wait-window Form1 set-text Form1 "$caption" \
    text Form1 close Form1 expect-exit 0
expect_status "GBK caption" 0
gbk_line=$(printf 'text Form1: %s' "$caption" | iconv -f UTF-8 -t GBK)
grep -qxF -- "$gbk_line" <<<"$out" || fail "GBK caption: no line of GBK bytes '$gbk_line' in: $out"

echo "kqdriver: all cases passed"
