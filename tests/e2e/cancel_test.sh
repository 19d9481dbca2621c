#!/usr/bin/env bash
# The folder of the last installation set beforehand with "reg add" appears in the folder field
# as it stands; a folder on a drive that does not exist gives the error box and the page stays;
# Next then makes the folder, and Cancel -> Yes on the summary page ends the program with 0,
# leaving the folder behind. English locale.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

setup=$(win_path "$KQ_SETUP")
key='HKCU\Software\Kavoru\KavoruQyn'
target_unix="$scratch/Apps Q"
target=$(printf 'Z:%s' "${scratch//\//\\}")'\Apps Q'
"$KQ_WINE_RUN" reg add "$key" /v InstallPath /t REG_SZ /d "$target" /f >/dev/null ||
    fail "cannot set InstallPath"
trap '"$KQ_WINE_RUN" reg delete "$key" /v InstallPath /f >/dev/null 2>&1; rm -rf "$scratch"' EXIT

drive -- start "$setup" -- wait-window Form1 click ButtonNext1 expect-page TabSheet2 \
    text EditDir set-text EditDir 'Q:\Nowhere' click ButtonNext2 \
    dialog-text 'Kavoru Qyn Setup' dialog 'Kavoru Qyn Setup' OK expect-page TabSheet2 \
    set-text EditDir "$target" click ButtonNext2 expect-page TabSheet3 text EditDir \
    click ButtonCancel3 dialog-text Confirm dialog Confirm '&No' expect-page TabSheet3 \
    click ButtonCancel3 dialog Confirm '&Yes' expect-exit 0 5000
expect_status "cancel after the folder page" 0

expect_line "folder from the registry" "text EditDir: $target"
expect_line "folder error" "dialog-text Kavoru Qyn Setup: Please choose the correct folder."
expect_line "backslash added by Next" "text EditDir: $target\\"
expect_line "confirmation" "dialog-text Confirm: Canel SetupKavoru Qyn ?"
[ -d "$target_unix" ] || fail "the folder made by Next is gone after Cancel"
