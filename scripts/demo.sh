#!/usr/bin/env bash
# The demo: Setup.exe under Wine. With a display the wizard is shown there until the user closes
# it; without one it runs on a virtual display, the driver waits for the window, a screenshot is
# saved and its path printed. Run after the win32 build ('make demo' does both).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$repo/build/win32
setup=$build/Setup.exe
driver=$build/tests/e2e/kqdriver.exe
wine_run=$repo/scripts/wine-run

fail() {
    echo "demo: $*" >&2
    exit 1
}
[ -f "$setup" ] || fail "$setup is missing; build it first ('make win32')"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "demo: showing the wizard on $DISPLAY; close it to end the demo"
    exec "$wine_run" --visible --timeout 0 "$setup"
fi

[ -f "$driver" ] || fail "$driver is missing; build it first ('make win32')"
shot=$build/screenshots/demo.png
mkdir -p "$(dirname "$shot")"
rm -f "$shot"
setup_path=$(realpath "$setup")
"$wine_run" "$driver" start "Z:${setup_path//\//\\}" -- wait-window Form1 screenshot "$shot" \
    close Form1 expect-exit 0 >/dev/null || fail "the wizard did not run as expected"
[ -s "$shot" ] || fail "no screenshot was saved"
echo "$shot"
