# shellcheck shell=bash
# Sourced by the demo (and meant for tests/e2e/lib.sh): use_complete_cjk_face replaces, in the
# Wine prefix $KQ_WINEPREFIX, the window's Chinese faces by ones that draw every character, using
# $KQ_WINE_RUN to run "reg".
#
# The prefix has no Chinese fonts of Windows, so Wine draws 宋体 and 黑体 with whatever Chinese
# font it finds first: WenQuanYi Zen Hei, whose characters of 13 pixels lose "一" (an empty
# glyph in that size). The faces are replaced once per prefix by a Song face and a Hei face when
# they are installed (fonts-arphic-uming, fonts-wqy-microhei), else by Zen Hei's Sharp face,
# which has the glyph but draws some characters wider than it measures them.
use_complete_cjk_face() {
    local song='WenQuanYi Zen Hei Sharp' hei=''
    fc-list | grep -qF 'AR PL UMing CN' && song='AR PL UMing CN'
    fc-list | grep -qF 'WenQuanYi Micro Hei' && hei='WenQuanYi Micro Hei'
    replace_face '宋体' '\x5b8b\x4f53' "$song" || return 1
    [ -z "$hei" ] || replace_face '黑体' '\x9ed1\x4f53' "$hei"
}

# replace_face FACE ESCAPED-FACE REPLACEMENT (ESCAPED-FACE: as user.reg writes the name).
replace_face() {
    grep -qF "\"$2\"=\"$3\"" "$KQ_WINEPREFIX/user.reg" 2>/dev/null && return 0
    "$KQ_WINE_RUN" --prefix "$KQ_WINEPREFIX" --lang zh_CN.UTF-8 reg add \
        'HKCU\Software\Wine\Fonts\Replacements' /v "$1" /t REG_SZ /d "$3" /f >/dev/null || {
        echo "cannot set the font replacement of $1 in the Wine prefix $KQ_WINEPREFIX" >&2
        return 1
    }
}
