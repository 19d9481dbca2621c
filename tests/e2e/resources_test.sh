#!/usr/bin/env bash
# What Setup.exe carries besides its code, read back through the Windows API by the probe: the
# main icon (one 32 x 32 image), the version record (file and product version 1.0.0.0, every
# descriptive string empty) and the manifest (common controls 6, administrator rights, DPI aware).
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

run_wine "$KQ_PROBE" resources "$(win_path "$KQ_SETUP")"
expect_status "resources of Setup.exe" 0
expected=(
    "icon MAINICON: 32x32"
    'manifest Microsoft.Windows.Common-Controls" version="6.0.0.0": yes'
    'manifest level="requireAdministrator": yes'
    "manifest >true</dpiAware>: yes"
    "file version: 1.0.0.0"
    "product version: 1.0.0.0"
)
for name in CompanyName FileDescription InternalName LegalCopyright OriginalFilename ProductName \
    Comments; do
    expected+=("$name: (empty)")
done
for line in "${expected[@]}"; do
    expect_line "resources of Setup.exe" "$line"
done
[ "$(grep -c '^icon ' <<<"$out")" = 1 ] || fail "the main icon has more than one image: $out"
echo "resources: as designed"
