#!/usr/bin/env bash
# A DLL planted beside Setup.exe (a downloads folder holding a fake version.dll, uxtheme.dll or
# dwmapi.dll) is never loaded: Setup.exe restricts the DLL search to the system folder before it
# does anything else. First the check shows it can see a planted DLL at all: a program that asks
# for dwmapi.dll by name, without the restriction, gets the planted one under Wine.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

planted=(version.dll uxtheme.dll dwmapi.dll)
for dll in "${planted[@]}"; do
    [ -f "${KQ_PLANTED:?}/$dll" ] || fail "$KQ_PLANTED/$dll is missing; build the win32 tree first"
done
downloads=$scratch/Downloads
mkdir -p "$downloads"
cp "$KQ_SETUP" "$KQ_PROBE" "$downloads/"
for dll in "${planted[@]}"; do cp "$KQ_PLANTED/$dll" "$downloads/"; done
setup=$(win_path "$downloads/$(basename "$KQ_SETUP")")
probe=$(win_path "$downloads/$(basename "$KQ_PROBE")")

markers() { (cd "$downloads" && ls -- *.loaded 2>/dev/null) || true; }

drive -- start "$probe" load-dll dwmapi.dll -- expect-exit 0
expect_status "unrestricted load" 0
[ "$(markers)" = "dwmapi.dll.loaded" ] ||
    fail "a program asking for dwmapi.dll did not get the planted one (markers: $(markers)); the check below would prove nothing"
rm -f "$downloads"/*.loaded

drive -- start "$probe" load-dll-restricted dwmapi.dll -- expect-exit 0
expect_status "restricted load" 0
[ -z "$(markers)" ] || fail "the restricted search still loaded: $(markers)"

# Setup.exe through every page, in both code pages the wizard knows best.
for lang in zh_CN.UTF-8 C.UTF-8; do
    drive --lang "$lang" -- start "$setup" -- wait-window Form1 \
        set-page PageControl1 1 set-page PageControl1 2 set-page PageControl1 3 \
        set-page PageControl1 4 close Form1 expect-exit 0 5000
    expect_status "Setup.exe in a folder of planted DLLs ($lang)" 0
    [ -z "$(markers)" ] || fail "Setup.exe ($lang) loaded planted DLLs: $(markers)"
done
echo "no planted DLL was loaded"
