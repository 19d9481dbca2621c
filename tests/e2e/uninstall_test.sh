#!/usr/bin/env bash
# The uninstaller after an interactive installation (arguments: the locale, zh_CN.UTF-8, zh_TW.UTF-8
# or C.UTF-8, and the built UnInstall.exe, which replaces the test product's): one installed file
# is changed, then
# UnInstall.exe asks once in the language of the code page (screenshot), removes the rest and
# lists the changed file (screenshot), ending with 2. Left behind: the changed file and its
# folder, nothing else; no shortcuts, no InstallPath, no UnInstall.exe once its copy in the
# temporary folder has run. Then a second installation is removed silently with /LOG=: exit 0
# and the folder gone (traditional Chinese only; the other languages stop after the screenshots).
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"
installation_test

lang=${1:?locale}
uninstaller=${2:?UnInstall.exe}
case $lang in
zh_CN.*)
    charset=GBK tag=zh_CN product=KavoruQyn folder='運誠' caption='卸载 KavoruQyn'
    question='确实要从 %s 中删除 KavoruQyn 吗？' kept='以下项目已保留：' changed='安装后已更改: %s'
    by_copy='UnInstall.exe 将由临时文件夹中的副本删除。'
    ;;
zh_TW.*)
    charset=BIG5 tag=zh_TW product=KavoruQyn folder='許功' caption='解除安裝 KavoruQyn'
    question='確定要從 %s 中移除 KavoruQyn 嗎？' kept='以下項目已保留：' changed='安裝後已變更: %s'
    by_copy='UnInstall.exe 將由暫存資料夾中的副本刪除。'
    ;;
*)
    charset=CP1252 tag=en product='Kavoru Qyn' folder='Café Qyn' caption='Uninstall Kavoru Qyn'
    question='Remove Kavoru Qyn from %s?' kept='These were kept:'
    changed='Changed since the installation: %s'
    by_copy='UnInstall.exe is removed by a copy of it in the temporary folder.'
    ;;
esac
in_cp() { printf '%s' "$1" | iconv -f UTF-8 -t "$charset"; }

make_product "$scratch/product"
cp "$uninstaller" "$scratch/product/UnInstall.exe"
stamp "$scratch/product/UnInstall.exe" '2025-06-30 23:59:58'
media "$scratch/media"
pack "$scratch/product" "$scratch/media/Setup.dat"
dest="$(win_path "$scratch")\\$folder\\"
shot() { printf '%s/uninstall%s-%s.png' "$KQ_SCREENSHOTS" "$1" "$tag"; }

install() {
    forget_installation "$product"
    drive --lang "$lang" -- start "$(win_path "$scratch/media/Setup.exe")" -- wait-window Form1 \
        click ButtonNext1 expect-page TabSheet2 set-text EditDir "$dest" \
        click ButtonNext2 expect-page TabSheet3 \
        click ButtonNext3 timeout 30000 expect-page TabSheet5 \
        click ButtonFinish expect-exit 0 5000 wait-file "${dest}qynapp.ran" 5000
    expect_status "the installation" 0
    # The program's marker is the user's file as far as the uninstaller knows.
    rm -f "$scratch/$folder/qynapp.ran"
    [ -f "$scratch/$folder/UnInstall.exe" ] || fail "UnInstall.exe was not installed"
}

# The copy in the temporary folder deletes UnInstall.exe once the program has ended; wine-run ends
# every process of the prefix when its program ends, so the driver waits a little beside it.
settle=3000
wait_gone() {
    for _ in $(seq 1 50); do
        [ -e "$1" ] || return 0
        sleep 0.3
    done
    fail "$1 is still there"
}

install
printf 'my own notes\r\n' >>"$scratch/$folder/docs/Read Me.txt"
stamp "$scratch/$folder/docs/Read Me.txt" '2026-01-02 03:04:06'

for n in 0 1; do rm -f "$(shot $n)"; done
drive --lang "$lang" -- start "$(win_path "$scratch/$folder/UnInstall.exe")" -- \
    dialog-text "$caption" screenshot "$(shot 0)" key Alt+Y \
    dialog-text "$caption" screenshot "$(shot 1)" key Enter expect-exit 2 10000 sleep $settle
expect_status "the interactive uninstallation" 0
out=${out//$'\r'/}
# shellcheck disable=SC2059 # the texts are the formats
[[ $out == *"$(in_cp "$(printf "$question" "$dest")")"* ]] || fail "no question in: $out"
[[ $out == *"$(in_cp "$kept")"* ]] || fail "no list of kept files in: $out"
# shellcheck disable=SC2059
[[ $out == *"$(in_cp "$(printf "$changed" "${dest}docs\\Read Me.txt")")"* ]] ||
    fail "the changed file is not listed: $out"
[[ $out == *"$(in_cp "$by_copy")"* ]] || fail "the self-removal is not announced: $out"
for n in 0 1; do
    [ "$(identify -format '%m' "$(shot $n)")" = PNG ] || fail "no screenshot $n"
    echo "screenshot: $(shot $n)"
done

expect_left "the interactive uninstallation" "$scratch/$folder" docs 'docs/Read Me.txt'
expect_nothing_recorded "the interactive uninstallation" "$product"

[ "$tag" = zh_TW ] || { echo "uninstalled in $lang: question, kept file, shortcuts, registry checked"; exit 0; }

# Silent, with the changed file moved away: everything goes, the folder too.
rm -rf "${scratch:?}/$folder"
install
drive --lang "$lang" -- start "$(win_path "$scratch/$folder/UnInstall.exe")" /S \
    "/LOG=$(win_path "$scratch")\\un.log" -- expect-exit 0 10000 sleep $settle
expect_status "the silent uninstallation" 0
grep -q "UnInstall.exe" "$scratch/un.log" || fail "no self-removal line in the log"
wait_gone "$scratch/$folder"
echo "uninstalled in $lang: question, kept file, shortcuts, registry, self-removal checked"
