#!/usr/bin/env bash
# The demo: the wizard installs the demo product under Wine.
#
#   scripts/demo.sh [LOCALE]     LOCALE: C.UTF-8 (English, the default), zh_CN.UTF-8, zh_TW.UTF-8
#
# Run after the win32 build ('make demo' does both), which packs the demo product into
# build/win32/demo/Setup.dat beside a copy of Setup.exe. The demo has a Wine prefix of its own,
# build/win32/demo/wine, so that what it installs never meets the tests' prefix.
#
# With a display the wizard is shown there and the user installs; without one it runs on a
# virtual display and the driver clicks through the pages, saving a screenshot of each, and
# lets Finish start the installed program. Either way the script then prints what was
# installed: the folder's tree, Uninstall.log, the registry value InstallPath, the shortcuts in
# the prefix's Programs folder and on its Desktop, and where the screenshots are.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$repo/build/win32
demo=$build/demo
setup=$demo/Setup.exe
driver=$build/tests/e2e/kqdriver.exe
shots=$demo/screenshots
key='HKCU\Software\Kavoru\KavoruQyn'
lang=${1:-C.UTF-8}
export KQ_WINE_RUN=$repo/scripts/wine-run
export KQ_WINEPREFIX=$demo/wine

fail() {
    echo "demo: $*" >&2
    exit 1
}
case $lang in
zh_CN.*) charset=GBK ;;
zh_TW.*) charset=BIG5 ;;
C.* | en_*) charset=CP1252 ;;
*) fail "unknown locale '$lang' (C.UTF-8, zh_CN.UTF-8 or zh_TW.UTF-8)" ;;
esac
for file in "$setup" "$demo/Setup.dat"; do
    [ -f "$file" ] || fail "$file is missing; build it first ('make win32')"
done

wine_run() { "$KQ_WINE_RUN" --prefix "$KQ_WINEPREFIX" --lang "$lang" "$@"; }
# What the program wrote in its code page, for this terminal.
readable() { iconv -f "$charset" -t UTF-8 | tr -d '\r'; }

# The install folder InstallPath names; nothing when there is none.
install_path() {
    wine_run reg query "$key" /v InstallPath 2>/dev/null | readable |
        sed -n 's/^ *InstallPath *REG_SZ *//p'
}
# The same as a host path.
installed_folder() {
    local folder
    folder=$(install_path)
    [ -z "$folder" ] || wine_run winepath -u "$folder" 2>/dev/null | tr -d '\r'
}
links() {
    [ -d "$KQ_WINEPREFIX/drive_c/users" ] || return 0
    find "$KQ_WINEPREFIX/drive_c/users" \( -path '*/Start Menu/Programs/*' -o -path '*/Desktop/*' \) \
        -name '*.lnk' 2>/dev/null | sort
}

# --- a fresh start ------------------------------------------------------------------------------
# Wine and the demo's prefix first (made on the first run), so that a machine that cannot run them
# says why here, not by the silence of the queries below.
wine_run cmd /c exit 0 >/dev/null || fail "Wine could not run a program (see the lines above)"
# Each demo installs anew: the previous one's folder (when it lies in the demo's prefix, never a
# folder of this machine chosen in the wizard), its shortcuts and its registry value go first.
previous=$(installed_folder)
prefix_real=$(realpath "$KQ_WINEPREFIX")
if [ -n "$previous" ] && [ -d "$previous" ] &&
    [[ $(realpath "$previous") == "$prefix_real"/* ]]; then
    rm -rf "$previous"
fi
links | while IFS= read -r link; do rm -f "$link"; done
wine_run reg delete "$key" /f >/dev/null 2>&1 || true

# --- the run ------------------------------------------------------------------------------------
rm -rf "$shots"
mkdir -p "$shots"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "demo: the wizard is shown on $DISPLAY; install the product, then close the wizard"
    wine_run --visible --timeout 0 "$setup" || fail "the wizard ended with status $?"
    # wine-run stops everything in the prefix when the wizard ends, the program Finish started
    # too: start it again, for a look.
    installed=$(install_path)
    if [ -n "$installed" ]; then
        echo "demo: the installed qynapp.exe is shown; close it to see what was installed"
        # Started by its Windows path, so that it shows the folder as the wizard named it.
        wine_run --visible --timeout 0 cmd /c start "" /wait "${installed}qynapp.exe" || true
    fi
else
    [ -f "$driver" ] || fail "$driver is missing; build it first ('make win32')"
    echo "demo: no display; the wizard runs on a virtual display, driven through its pages"
    shot() { printf '%s/%s.png' "$shots" "$1"; }
    setup_path=$(realpath "$setup")
    # The installing page passes too quickly for a picture of a small product. Finish starts
    # qynapp.exe (the box is ticked by default); the last picture, taken once the wizard has
    # ended, shows its window.
    if ! log=$(wine_run "$driver" timeout 60000 start "Z:${setup_path//\//\\}" -- \
        wait-window Form1 expect-page TabSheet1 screenshot "$(shot 1-welcome)" \
        click ButtonNext1 expect-page TabSheet2 text EditDir screenshot "$(shot 2-folder)" \
        click ButtonNext2 expect-page TabSheet3 screenshot "$(shot 3-summary)" \
        click ButtonNext3 expect-page TabSheet5 screenshot "$(shot 4-finished)" \
        checked CheckBox1 click ButtonFinish expect-exit 0 sleep 2500 screenshot "$(shot 5-qynapp)" \
        2>&1); then
        readable <<<"$log" >&2
        fail "the wizard did not go through its pages as expected (pictures so far in $shots)"
    fi
fi

# --- what was installed -------------------------------------------------------------------------
query=$(wine_run reg query "$key" /v InstallPath 2>/dev/null | readable) || true
folder=$(sed -n 's/^ *InstallPath *REG_SZ *//p' <<<"$query")
if [ -z "$folder" ]; then
    echo "demo: nothing was installed (no InstallPath under $key)"
    exit 0
fi
unix=$(wine_run winepath -u "$folder" 2>/dev/null | tr -d '\r')
[ -d "$unix" ] || fail "the install folder $folder ($unix) is missing"

echo
echo "== Installed in $folder"
echo "   ($unix)"
(cd "$unix" && find . -mindepth 1 -printf '%P\t%y %M %10s  %TY-%Tm-%Td %TH:%TM\n' | sort |
    awk -F'\t' '{ printf "   %s  %s\n", $2, $1 }')
echo
echo "== Uninstall.log"
if [ -f "$unix/Uninstall.log" ]; then
    readable <"$unix/Uninstall.log" | sed 's/^/   /'
else
    echo "   (missing)"
fi
echo
echo "== Registry"
echo "   $key"
grep -F InstallPath <<<"$query" | sed 's/^ */   /'
echo
echo "== Shortcuts"
found=0
while IFS= read -r link; do
    echo "   ${link#"$KQ_WINEPREFIX/"}"
    found=1
done < <(links)
[ "$found" = 1 ] || echo "   (none)"
echo
echo "== Screenshots"
if compgen -G "$shots/*.png" >/dev/null; then
    for picture in "$shots"/*.png; do echo "   $picture"; done
else
    echo "   (none: the wizard ran on your display)"
fi
