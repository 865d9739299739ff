#!/usr/bin/env bash
# Makes a Wine prefix for the Windows build's tests when it is missing:
#   scripts/wine-prefix.sh <prefix> [--fonts]
# Its Documents, Desktop and the like are plain folders instead of links into $HOME, so that
# nothing a test does reaches the home folder. --fonts maps the Windows fonts the program
# asks for (Microsoft YaHei, 宋体, 幼圆, 隶书, 黑体, the dialog font) to Noto CJK, which Wine
# has; without it Chinese shows as boxes on the screen.
set -euo pipefail
prefix="${1:?usage: wine-prefix.sh <prefix> [--fonts]}"
fonts="${2:-}"
export WINEPREFIX="$prefix" WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
wine64="$(command -v wine64 || echo /usr/lib/wine/wine64)"
wineserver="$(command -v wineserver || echo /usr/lib/wine/wineserver)"
ready="$prefix/.ld-prefix${fonts:+-fonts}"
[ -f "$ready" ] && exit 0

echo "Making the Wine prefix $prefix"
rm -rf "$prefix"
DISPLAY= timeout 300 "$wine64" wineboot --init
"$wineserver" -w
for link in "$prefix"/drive_c/users/*/*; do
    if [ -L "$link" ]; then
        rm "$link"
        mkdir -p "$link"
    fi
done
if [ -n "$fonts" ]; then
    # regedit reads UTF-16LE with a byte-order mark.
    reg="$prefix/ld-fonts.reg"
    {
        printf '\xff\xfe'
        sed 's/$/\r/' <<'REG' | iconv -f UTF-8 -t UTF-16LE
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Tahoma"="Noto Sans CJK SC"
"MS Shell Dlg"="Noto Sans CJK SC"
"MS Shell Dlg 2"="Noto Sans CJK SC"
"Microsoft YaHei"="Noto Sans CJK SC"
"微软雅黑"="Noto Sans CJK SC"
"SimHei"="Noto Sans CJK SC"
"黑体"="Noto Sans CJK SC"
"YouYuan"="Noto Sans CJK SC"
"幼圆"="Noto Sans CJK SC"
"SimSun"="Noto Serif CJK SC"
"宋体"="Noto Serif CJK SC"
"NSimSun"="Noto Serif CJK SC"
"新宋体"="Noto Serif CJK SC"
"LiSu"="Noto Serif CJK SC"
"隶书"="Noto Serif CJK SC"
REG
    } >"$reg"
    DISPLAY= timeout 120 "$wine64" regedit /S "$reg"
    "$wineserver" -w
fi
touch "$ready"
