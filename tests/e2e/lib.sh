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

# The prefix has no Chinese fonts of Windows, so Wine draws 宋体 and 黑体 with whatever Chinese
# font it finds first: WenQuanYi Zen Hei, whose characters of 13 pixels lose "一" (an empty
# glyph in that size). The window's faces are replaced once in the prefix, for the screenshots'
# sake, by a Song face and a Hei face when they are installed (fonts-arphic-uming,
# fonts-wqy-microhei), else by Zen Hei's Sharp face, which has the glyph but draws some
# characters wider than it measures them (a long label then loses its last characters).
use_complete_cjk_face() {
    local song='WenQuanYi Zen Hei Sharp' hei=''
    fc-list | grep -qF 'AR PL UMing CN' && song='AR PL UMing CN'
    fc-list | grep -qF 'WenQuanYi Micro Hei' && hei='WenQuanYi Micro Hei'
    replace_face '宋体' '\x5b8b\x4f53' "$song"
    [ -z "$hei" ] || replace_face '黑体' '\x9ed1\x4f53' "$hei"
}

# replace_face FACE ESCAPED-FACE REPLACEMENT (ESCAPED-FACE: as user.reg writes the name).
replace_face() {
    grep -qF "\"$2\"=\"$3\"" "$KQ_WINEPREFIX/user.reg" 2>/dev/null && return
    "$KQ_WINE_RUN" --lang zh_CN.UTF-8 reg add 'HKCU\Software\Wine\Fonts\Replacements' \
        /v "$1" /t REG_SZ /d "$3" /f >/dev/null ||
        fail "cannot set the font replacement of $1 in the Wine prefix"
}

# in_gbk TEXT: the bytes of TEXT in code page 936, as Setup.exe shows it under zh_CN.
in_gbk() {
    printf '%s' "$1" | iconv -f UTF-8 -t GBK
}
