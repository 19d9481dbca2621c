#!/usr/bin/env bash
# mksetup.exe, the Windows packer, under Wine gives byte for byte the archive the host's packer
# gives for the same tree: names in the OEM code page (a Chinese name, code page 936 where OEM and
# ANSI are one), a read-only file, nested and empty folders, the files' times. The host packer is
# told the code page; the Windows one takes its system's.
#
#   mksetup_windows_test.sh MKSETUP.EXE HOST-MKSETUP WINE-RUN
set -euo pipefail

windows_packer=$1 host_packer=$2 wine_run=$3
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
for file in "$windows_packer" "$host_packer" "$wine_run"; do
    [ -f "$file" ] || fail "$file is missing; build the win32 tree first"
done
scratch=$(mktemp -d "${TMPDIR:-/tmp}/kq-mksetup-win.XXXXXX")
trap 'chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT
# Both sides convert the files' times to local time: the same zone for both.
export TZ=UTC

make_tree() { # FOLDER CHINESE-NAME
    mkdir -p "$1/docs/deep" "$1/empty"
    seq 1 500 >"$1/docs/deep/numbers.txt"
    head -c 3000 /dev/zero | tr '\0' 'q' >"$1/docs/$2"
    printf 'keep\r\n' >"$1/locked.txt"
    chmod a-w "$1/locked.txt"
    find "$1" -mindepth 1 -exec touch -h -d '2022-06-07 08:09:11' {} +
}
make_tree "$scratch/host" '中文.txt'
make_tree "$scratch/wine" '中文.txt'

"$host_packer" "$scratch/host" "$scratch/host.dat" --codepage 936 >/dev/null || fail "the host packer failed"
win() { printf 'Z:%s' "${1//\//\\}"; }
"$wine_run" --lang zh_CN.UTF-8 "$windows_packer" "$(win "$scratch/wine")" \
    "$(win "$scratch/windows.dat")" >/dev/null || fail "mksetup.exe failed"
cmp "$scratch/host.dat" "$scratch/windows.dat" ||
    fail "mksetup.exe and the host's mksetup packed the same tree differently"
echo "ok: the same archive from both packers ($(stat -c %s "$scratch/host.dat") bytes)"
