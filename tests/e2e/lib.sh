# Shared by the end-to-end test scripts. CTest passes the paths in the environment:
#   KQ_WINE_RUN     scripts/wine-run          KQ_DRIVER   kqdriver.exe
#   KQ_SETUP        Setup.exe                 KQ_PROBE    probe.exe
#   KQ_SCREENSHOTS  folder for screenshots    KQ_WINEPREFIX  the build tree's Wine prefix
# shellcheck shell=bash

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# A test that cannot run must not pass: missing tools or inputs fail it loudly.
for var in KQ_WINE_RUN KQ_DRIVER KQ_SETUP KQ_PROBE KQ_SCREENSHOTS KQ_WINEPREFIX; do
    [ -n "${!var:-}" ] || fail "$var is not set; run the end-to-end tests through ctest"
done
for tool in wine wineserver Xvfb xauth import identify iconv; do
    command -v "$tool" >/dev/null || fail "'$tool' is not installed, the Wine tests cannot run (run 'make deps')"
done
for file in "$KQ_WINE_RUN" "$KQ_DRIVER" "$KQ_SETUP" "$KQ_PROBE"; do
    [ -f "$file" ] || fail "$file is missing; build the win32 tree first"
done
mkdir -p "$KQ_SCREENSHOTS"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/kq-e2e.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# A path as the Windows program sees it: Wine maps the Unix root to drive Z:.
win_path() {
    local p
    p=$(realpath "$1")
    printf 'Z:%s\n' "${p//\//\\}"
}

# run_wine [wine-run options] PROGRAM [ARGS...]: sets out, err and status.
run_wine() {
    status=0
    out=$("$KQ_WINE_RUN" "$@" 2>"$scratch/stderr") || status=$?
    err=$(cat "$scratch/stderr")
}

# drive [wine-run options] -- DRIVER COMMANDS...: runs the driver; sets out, err and status.
drive() {
    local options=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do
        options+=("$1")
        shift
    done
    [ $# -gt 0 ] || fail "drive: separate the wine-run options from the commands with --"
    shift
    run_wine "${options[@]}" "$KQ_DRIVER" "$@"
}

# expect_status CASE WANTED: the last run ended with status WANTED.
expect_status() {
    [ "$status" = "$2" ] || fail "$1: exit status $status, wanted $2; stdout: $out; stderr: $err"
}

# expect_line CASE LINE: the last run printed exactly LINE on a line of its own.
expect_line() {
    grep -qxF -- "$2" <<<"$out" || fail "$1: no line '$2' in the output:
$out
stderr: $err"
}

# expect_err CASE TEXT: the last run's standard error contains TEXT.
expect_err() {
    grep -qF -- "$2" <<<"$err" || fail "$1: '$2' not in the error output: $err"
}
