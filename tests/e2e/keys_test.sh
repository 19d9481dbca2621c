#!/usr/bin/env bash
# The wizard driven by the keyboard alone, with keys typed as real input (the driver's SendInput):
# where the focus rests after each page change, Enter pressing the page's default button, Tab and
# Shift+Tab through the tab order, Alt and the underlined letter (Alt+B: the folder dialog), Esc
# answering No in the confirmation, and the same keys while files are being installed. English
# locale.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"
installation_test

product='Kavoru Qyn'
forget_installation "$product"

# Enough small files for seconds of work under Wine, so the keys land during the installation.
big=$scratch/big
mkdir -p "$big/files"
for i in $(seq 1000 2999); do printf 'file %s\n' "$i" >"$big/files/f$i.txt"; done
touch -d '2024-05-06 07:08:10' "$big/files/"*
media "$scratch/media"
pack "$big" "$scratch/media/Setup.dat"
dest=$(win_path "$scratch")'\dest\'

drive -- start "$(win_path "$scratch/media/Setup.exe")" -- wait-window Form1 \
    expect-page TabSheet1 focus key Enter expect-page TabSheet2 focus \
    key Tab focus key Shift+Tab focus \
    set-text EditDir "$dest" key Enter expect-page TabSheet3 focus \
    key Alt+P expect-page TabSheet2 focus \
    key Alt+B dialog-text "Browse for Folder" key Esc expect-page TabSheet2 \
    key Alt+N expect-page TabSheet3 \
    key Tab focus key Enter dialog-text Confirm focus key Esc expect-page TabSheet3 focus \
    key Shift+Tab focus key Enter expect-page TabSheet4 focus key Enter dialog-text Confirm \
    key Esc \
    progress ProgressBar1 timeout 60000 expect-page TabSheet5 focus \
    key Tab focus key Space checked CheckBox1 key Enter expect-exit 0 5000
expect_status "the wizard by keys" 0

# Each page change leaves the focus where Enter goes forward; Back is reached only on purpose.
expected_focus=(
    ButtonNext1  # the welcome page
    EditDir      # Enter: the folder page, ready for typing
    ButtonPrior2 # Tab from the last stop wraps to the first
    EditDir      # Shift+Tab comes back
    ButtonNext3  # Enter in the folder field: Next, the summary page
    EditDir      # Alt+P: Back
    ButtonCancel3 # Tab from Install
    'Button &Yes' # Enter on Cancel: the confirmation, Yes its default button
    ButtonCancel3 # Esc: No, back where it was
    ButtonNext3  # Shift+Tab
    ButtonCancel4 # Enter: Install; Back and Next are disabled while files are installed
    ButtonFinish # the last page
    CheckBox1    # Tab
)
mapfile -t focus < <(sed -n 's/^focus: //p' <<<"$out")
[ "${focus[*]}" = "${expected_focus[*]}" ] ||
    fail "the focus went to
$(printf '  %s\n' "${focus[@]}")
wanted
$(printf '  %s\n' "${expected_focus[@]}")"
expect_line "confirmation" "dialog-text Confirm: Canel SetupKavoru Qyn ?"
# The folder dialog, whose system library is loaded only now, opens with its line and Esc closes it.
expect_line "Alt+B" "dialog-text Browse for Folder: Select another folder"
grep -qE '^progress ProgressBar1: ([0-9]|[1-9][0-9])$' <<<"$out" ||
    fail "Enter and Esc were not pressed while files were installed: $(grep '^progress' <<<"$out")"
expect_line "Space on the check box" "checked CheckBox1: unchecked"
[ ! -e "$scratch/dest/qynapp.ran" ] || fail "Finish started the program although unchecked"
installed tree "$big" "$scratch/dest"
echo "the wizard by keys: focus, Enter, Tab, Alt and a letter, Esc, Space"
