#!/usr/bin/env bash
# Installs everything the build and the tests need from Debian's packages. Idempotent and quiet:
# when every package is present and the source entries exist, it does nothing. Run as root.
#
#   scripts/deps.sh          everything: both builds, every test, the fuzz targets
#   scripts/deps.sh demo     only what 'make demo' needs (the Windows build and Wine)
#   scripts/deps.sh format   only the formatter 'make format' runs
set -euo pipefail

demo=(
    # the build; the host's compiler and zlib make the packer
    cmake ninja-build make g++ pkg-config zlib1g-dev python3 googletest
    # Windows build: the mingw-w64 cross compiler; dpkg-dev unpacks Debian's libjpeg-turbo source;
    # zlib for mksetup.exe
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
    dpkg-dev libz-mingw-w64-dev
    # Wine with a virtual display, screenshots and CJK glyphs
    wine wine32:i386 wine64 fonts-wine xvfb xauth x11-utils imagemagick fontconfig
    fonts-arphic-uming fonts-wqy-microhei fonts-liberation locales
)
tests=(
    # native build and tests
    libjpeg-dev libgtest-dev libgmock-dev
    # peers and oracles used by the tests
    zip unzip libbenchmark-dev
    # fuzz targets: clang with its sanitizer and libFuzzer runtimes (only recommended by clang)
    clang libclang-rt-14-dev
)
case ${1:-all} in
demo) packages=("${demo[@]}") ;;
# InsertBraces needs clang-format 15 or later
format) packages=(clang-format-15) ;;
all) packages=("${demo[@]}" "${tests[@]}") ;;
*) echo "usage: scripts/deps.sh [demo|format]" >&2; exit 2 ;;
esac

log=$(mktemp)
trap 'rm -f "$log"' EXIT
run() {
    if ! "$@" >>"$log" 2>&1; then
        cat "$log" >&2
        echo "deps: '$*' failed" >&2
        exit 1
    fi
}

missing() {
    local p status
    for p in "${packages[@]}"; do
        status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
        [ "$status" = "installed" ] || echo "$p"
    done
}

# Source entries for the Debian mirror this machine already uses: libjpeg-turbo for Windows is
# built from Debian's source package.
src_dir=/etc/apt/sources.list.d
has_deb_src() {
    grep -rqsE '^(deb-src[[:space:]]|Types:.*deb-src)' /etc/apt/sources.list "$src_dir"/
}
add_deb_src() {
    local f
    # deb822 files: every Debian stanza of type deb gets a deb-src twin.
    for f in "$src_dir"/*.sources; do
        [ -e "$f" ] || continue
        awk 'BEGIN { RS = ""; ORS = "\n\n" }
             /(^|\n)Types:[^\n]*deb/ && /debian/ { sub(/Types:[^\n]*/, "Types: deb-src"); print }' \
            "$f" >>"$src_dir/kavoruqyn-deb-src.sources"
    done
    # one-line format
    if [ -f /etc/apt/sources.list ]; then
        sed -n -E 's/^deb([[:space:]].*debian.*)$/deb-src\1/p' /etc/apt/sources.list \
            >>"$src_dir/kavoruqyn-deb-src.list"
    fi
    if ! has_deb_src; then
        echo "deps: found no Debian mirror in the apt sources to add deb-src entries for" >&2
        exit 1
    fi
}

need=$(missing)
changed=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    run dpkg --add-architecture i386
    changed=1
fi
if ! has_deb_src; then
    add_deb_src
    changed=1
fi
if [ -z "$need" ] && [ "$changed" = 0 ]; then
    exit 0
fi

if [ "$(id -u)" != 0 ]; then
    echo "deps: missing packages (${need//$'\n'/ }) and not root; run 'make deps' as root" >&2
    exit 1
fi
echo "deps: installing from Debian's packages (a few minutes on a fresh machine)..."
export DEBIAN_FRONTEND=noninteractive
run apt-get update -qq
if [ -n "$need" ]; then
    # shellcheck disable=SC2086
    run apt-get install -y -qq --no-install-recommends $need
fi
echo "deps: done"
