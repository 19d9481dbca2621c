#!/usr/bin/env bash
# scripts/wine-run keeps its contract: the program's exit code comes back unchanged, a timeout is
# 124 with a message, the locale gives the code page and the argument bytes Windows would,
# screenshots are saved, and an interrupted run leaves nothing behind and the prefix usable.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

probe=$KQ_PROBE

# The bytes a Windows program in that code page receives for a text: iconv is the oracle.
ansi_hex() { printf '%s' "$2" | iconv -f UTF-8 -t "$1" | od -An -tx1 | tr -d ' \n'; }

# name | wanted status | wanted stdout ("-": not checked) | wine-run arguments (tab-separated)
cases=(
    "exit code 0|0|-|$probe	exit	0"
    "exit code 3|3|-|$probe	exit	3"
    "exit code 255|255|-|$probe	exit	255"
    "the program's own 124 is not a timeout|124|-|$probe	exit	124"
    "code page by default|0|1252|$probe	acp"
    "code page of zh_CN|0|936|--lang	zh_CN.UTF-8	$probe	acp"
    "code page of zh_TW|0|950|--lang	zh_TW.UTF-8	$probe	acp"
    "GBK argument|0|$(ansi_hex GBK '中文安装')|--lang	zh_CN.UTF-8	$probe	hex	中文安装"
    "Big5 argument|0|$(ansi_hex BIG5 '中文安裝')|--lang	zh_TW.UTF-8	$probe	hex	中文安裝"
    "argument with spaces|0|$(ansi_hex CP1252 'C:\Program Files\x')|$probe	hex	C:\Program Files\x"
    "missing program|2|-|$scratch/no-such-program.exe"
    "unknown option|2|-|--frobnicate	$probe	exit	0"
)
for c in "${cases[@]}"; do
    IFS='|' read -r name want_status want_out arguments <<<"$c"
    IFS=$'\t' read -r -a args <<<"$arguments"
    run_wine "${args[@]}"
    expect_status "$name" "$want_status"
    [ "$want_out" = "-" ] || [ "$out" = "$want_out" ] || fail "$name: printed '$out', wanted '$want_out'"
    if grep -qF "timed out" <<<"$err"; then
        fail "$name: reported a timeout: $err"
    fi
done

run_wine --timeout 2 "$probe" sleep 60000
expect_status "timeout" 124
expect_err "timeout" "timed out after 2s"

shot=$scratch/delayed.png
run_wine --screenshot "$shot" --screenshot-after 1 "$probe" sleep 4000
expect_status "delayed screenshot" 0
[ "$(identify -format '%m %w %h' "$shot")" = "PNG 1024 768" ] ||
    fail "delayed screenshot: not a 1024x768 PNG: $(identify "$shot" 2>&1)"

# The command lines of the running processes that match an extended regular expression, one per
# line (from /proc, so that no process tools are needed).
processes_matching() {
    local cmdline
    for cmdline in /proc/[0-9]*/cmdline; do
        tr '\0' ' ' <"$cmdline" 2>/dev/null | sed 's/ $//'
        echo
    done | grep -E -- "$1" | grep -v -F "grep -E"
}

# Interrupted in the middle: the run's own temporary folder tells its processes apart (Xvfb's
# authority file lives there), and the program is recognisable by its arguments.
runs=$scratch/runs
mkdir -p "$runs"
TMPDIR=$runs "$KQ_WINE_RUN" --timeout 100 "$probe" sleep 61234 >/dev/null 2>&1 &
run=$!
# Wine shows a Windows process by its own command line; wine-run's shows the script first.
program_pattern='^[^ ]*probe\.exe sleep 61234'
for ((i = 0; i < 300; i++)); do
    [ -n "$(processes_matching "$program_pattern")" ] && break
    sleep 0.1
done
[ -n "$(processes_matching "$program_pattern")" ] || fail "interrupted run: the program never started"
kill -TERM "$run"
status=0
wait "$run" || status=$?
[ "$status" = 143 ] || fail "interrupted run: exit status $status, wanted 143"
sleep 1
leftovers=$(processes_matching "probe\.exe sleep 61234|$runs" || true)
[ -z "$leftovers" ] || fail "interrupted run: processes left behind: $leftovers"
[ -z "$(ls -A "$runs")" ] || fail "interrupted run: temporary files left behind: $(ls -A "$runs")"

run_wine "$probe" exit 7
expect_status "prefix reused after an interruption" 7

echo "wine-run: all cases passed"
