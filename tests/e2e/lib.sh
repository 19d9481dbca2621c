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

# in_gbk TEXT: the bytes of TEXT in code page 936, as Setup.exe shows it under zh_CN.
in_gbk() {
    printf '%s' "$1" | iconv -f UTF-8 -t GBK
}

# --- installations --------------------------------------------------------------------------------
# Environment of the installation tests, beyond the one above: KQ_MKSETUP (the packer, a Windows
# program here) and KQ_QYNAPP (a stand-in for the product's program that leaves "qynapp.ran" in
# its current folder when started).
e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# The product's times are local times. Wine takes the time zone from TZ as the C library does;
# a zone away from UTC and without summer time shows any mix-up of local and universal time.
installation_test() {
    for var in KQ_MKSETUP KQ_QYNAPP; do
        [ -n "${!var:-}" ] || fail "$var is not set; run the end-to-end tests through ctest"
        [ -f "${!var}" ] || fail "${!var} is missing; build the win32 tree first"
    done
    command -v python3 >/dev/null || fail "'python3' is not installed"
    # UTC+8 all year, written out so that no time zone data is needed.
    export TZ=CST-8
}

installed() {
    python3 "$e2e_dir/installed.py" "$@" || fail "installed.py $1: see above"
}

# stamp FILE WHEN: sets the modification time (local time, even seconds: DOS keeps two-second
# steps).
stamp() {
    touch -d "$2" "$1" || fail "cannot set the time of $1"
}

# make_product DIR: the test product. Names as a packer orders them: Qyn.doc (a date after 2043,
# negative in the uninstall log), UnInstall.exe, data/sub/notes.txt (read-only, deflated),
# data/table.bin (does not shrink: stored), "docs/Read Me.txt", empty.txt (no data), qynapp.exe.
make_product() {
    local dir=$1
    mkdir -p "$dir/data/sub" "$dir/docs" || fail "cannot make $dir"
    cp "$KQ_QYNAPP" "$dir/qynapp.exe"
    printf 'Read me first.\r\n' >"$dir/Qyn.doc"
    head -c 3000 /dev/urandom >"$dir/UnInstall.exe"
    seq 1 4000 >"$dir/data/sub/notes.txt"
    head -c 100000 /dev/urandom >"$dir/data/table.bin"
    printf 'See the notes.\n' >"$dir/docs/Read Me.txt"
    : >"$dir/empty.txt"
    stamp "$dir/qynapp.exe" '2024-05-06 07:08:10'
    stamp "$dir/Qyn.doc" '2050-12-31 12:00:00'
    stamp "$dir/UnInstall.exe" '2025-06-30 23:59:58'
    stamp "$dir/data/sub/notes.txt" '2023-01-02 03:04:06'
    stamp "$dir/data/table.bin" '1999-12-31 23:59:58'
    stamp "$dir/docs/Read Me.txt" '2022-02-28 13:14:16'
    stamp "$dir/empty.txt" '2024-02-29 00:00:00'
    chmod a-w "$dir/data/sub/notes.txt"
}

# pack PRODUCT SETUP.DAT [mksetup options]: packs with the packer the product's shippers use.
pack() {
    local archive
    archive=$(win_path "$(dirname "$2")")\\$(basename "$2")
    "$KQ_WINE_RUN" "$KQ_MKSETUP" "$(win_path "$1")" "$archive" "${@:3}" >/dev/null \
        2>"$scratch/pack.err" || fail "mksetup failed: $(cat "$scratch/pack.err")"
}

# media DIR: a folder holding Setup.exe, as the product ships; the archive goes beside it.
media() {
    mkdir -p "$1" && cp "$KQ_SETUP" "$1/Setup.exe" || fail "cannot copy Setup.exe to $1"
}

# reg_value KEY VALUE: a string value of the current user's registry in the prefix; fails the test
# when the value has another type, returns 3 when it is missing.
reg_value() {
    local status=0
    python3 "$e2e_dir/installed.py" reg "$KQ_WINEPREFIX/user.reg" "$1" "$2" || status=$?
    [ "$status" = 0 ] || [ "$status" = 3 ] || fail "cannot read $1\\$2"
    return "$status"
}

# shell_folder NAME: the folder the shell records under NAME ("Programs", "Desktop"), as a path
# into the prefix.
shell_folder() {
    local path
    path=$(reg_value 'Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' "$1") ||
        fail "no shell folder $1 in the prefix"
    [[ $path == [Cc]:\\* ]] || fail "shell folder $1 is not on drive C: $path"
    path=${path:3}
    printf '%s/drive_c/%s\n' "$KQ_WINEPREFIX" "${path//\\//}"
}

# forget_installation PRODUCT: no recorded folder and no shortcuts of PRODUCT in the prefix.
forget_installation() {
    local programs desktop
    "$KQ_WINE_RUN" reg delete 'HKCU\Software\Kavoru\KavoruQyn' /v InstallPath /f >/dev/null 2>&1 ||
        true
    programs=$(shell_folder Programs) && desktop=$(shell_folder Desktop) || fail "see above"
    rm -rf "${programs:?}/${1:?}" "${desktop:?}/$1.lnk"
}

# expect_nothing_recorded CASE PRODUCT: an installation that did not complete left neither the
# folder in the registry nor shortcuts.
expect_nothing_recorded() {
    if reg_value 'Software\Kavoru\KavoruQyn' InstallPath >/dev/null; then
        fail "$1: InstallPath was written"
    fi
    local programs desktop
    programs=$(shell_folder Programs) && desktop=$(shell_folder Desktop) || fail "see above"
    [ ! -e "$programs/$2" ] || fail "$1: shortcuts in Programs"
    [ ! -e "$desktop/$2.lnk" ] || fail "$1: a shortcut on the desktop"
}

# expect_left CASE FOLDER FILE...: after an uninstallation FOLDER holds exactly FILE... (paths
# from FOLDER, each folder listed), once UnInstall.exe, removed by its copy after it ended, is gone.
expect_left() {
    local case=$1 folder=$2 left wanted
    shift 2
    for _ in $(seq 1 50); do
        [ -e "$folder/UnInstall.exe" ] || break
        sleep 0.3
    done
    left=$(cd "$folder" && find . | sort | tr '\n' ' ')
    wanted=". $(printf './%s ' "$@")"
    [ "$left" = "$wanted" ] || fail "$case: left behind: $left (wanted $wanted)"
}

# expect_log CASE LOG ARCHIVE PRODUCT [installed.py log options]: LOG holds exactly the uninstall
# log expected of installing ARCHIVE made from PRODUCT.
expect_log() {
    local case=$1 log=$2
    shift 2
    installed log "$@" >"$scratch/expected.log"
    cmp -s "$scratch/expected.log" "$log" || fail "$case: the uninstall log holds
$(cat -A "$log")
wanted
$(cat -A "$scratch/expected.log")"
}

# expect_links CHARSET PROGRAMS-FOLDER TARGET-FOLDER NAME:TARGET:... : the shortcuts of the
# product's folder are exactly those named (NAME.lnk pointing to TARGET-FOLDER\TARGET, described
# NAME, starting in TARGET-FOLDER); CHARSET is the code page of the program that made them.
expect_links() {
    local charset=$1 folder=$2 target=$3 link name file want=()
    shift 3
    for link in "$@"; do
        name=${link%%:*} file=${link#*:}
        want+=("$name.lnk")
        installed link "$folder/$name.lnk" "$target$file" "$target" "$name" "$charset"
    done
    [ "$(cd "$folder" && ls -1 | sort)" = "$(printf '%s\n' "${want[@]}" | sort)" ] ||
        fail "the shortcuts in $folder are: $(ls "$folder"); wanted ${want[*]}"
}
