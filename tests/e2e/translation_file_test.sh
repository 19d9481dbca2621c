#!/usr/bin/env bash
# A translation file named translations.lng in the current folder replaces the window's stored
# table when the window is made: its captions reach the controls and its named strings reach
# every text that start-up composes, in the language of the code page. Screenshots of the
# welcome and folder pages are kept for each language.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

setup=$(win_path "$KQ_SETUP")
work=$scratch/cwd
mkdir -p "$work"
# Only the rows below exist once the file is read: every other row of the stored table is gone,
# so the texts start-up composes are built from these named strings alone.
printf '%s\r\n' \
    '; written by hand for the test' \
    '[Captions]' \
    'TForm1.ButtonNext1=Forward1~!@#Forward2~!@#Forward3' \
    'TForm1.LabelInstallationGuides=Guide1~!@#Guide2~!@#Guide3' \
    '[Strings]' \
    'TForm1.sCompany=Acme1~!@#Acme2~!@#Acme3' \
    'TForm1.sSetup= Setup1~!@# Setup2~!@# Setup3' \
    >"$work/translations.lng"

# The folder field shows a previous installation's folder when there is one; this test wants the
# default, composed from the named strings.
run_wine reg delete 'HKCU\Software\Kavoru\KavoruQyn' /v InstallPath /f

# locale | language column | screenshot suffix
for run in "zh_CN.UTF-8|1|zh_CN" "zh_TW.UTF-8|2|zh_TW" "C.UTF-8|3|en"; do
    IFS='|' read -r locale n suffix <<<"$run"
    rm -f "$KQ_SCREENSHOTS"/lngfile-*-"$suffix".png
    cd "$work"
    drive --lang "$locale" -- start "$setup" -- wait-window Form1 \
        text Form1 text ButtonNext1 \
        screenshot "$KQ_SCREENSHOTS/lngfile-welcome-$suffix.png" \
        set-page PageControl1 1 expect-page TabSheet2 text EditDir \
        screenshot "$KQ_SCREENSHOTS/lngfile-folder-$suffix.png" \
        close Form1 expect-exit 0 5000
    cd - >/dev/null
    expect_status "$locale" 0
    expect_line "$locale caption" "text Form1: Acme${n}Qyn Guide${n}"
    expect_line "$locale button" "text ButtonNext1: Forward${n}"
    expect_line "$locale folder" "text EditDir: C:\\Program Files\\Acme${n}Qyn\\"
    for page in welcome folder; do
        shot=$KQ_SCREENSHOTS/lngfile-$page-$suffix.png
        [ -s "$shot" ] || fail "$locale: no screenshot of the $page page"
        echo "screenshot: $shot"
    done
done

# The worst a file in the current folder can do, in one run of Setup.exe each: switch the
# language from every pass it makes, rename a component, name too few languages, bring formats
# whose directives do not fit. The window is made, with the product's folder in its field (the
# file names no company: "Qyn"), and closes normally.
printf '%s\r\n' \
    '[Language names - for internal use only!]' \
    'Language_1=One' \
    'Language_2=Two' \
    '[Other]' \
    'TForm1.Translator1.Language=Two~!@#One' \
    'TForm1.Label4.NAME=Label5~!@#Label5' \
    '[Extended]' \
    'TForm1.LangDispatcher1.ActiveLanguage=2~!@#1' \
    '[Strings]' \
    'TForm1.sDestFolder=%d~!@#%s%s' \
    >"$work/translations.lng"
for locale in zh_TW.UTF-8 C.UTF-8; do
    cd "$work"
    drive --lang "$locale" -- start "$setup" -- wait-window Form1 \
        set-page PageControl1 1 expect-page TabSheet2 text EditDir close Form1 expect-exit 0 5000
    cd - >/dev/null
    expect_status "hostile file, $locale" 0
    expect_line "hostile file, $locale" "text EditDir: C:\\Program Files\\Qyn\\"
done

