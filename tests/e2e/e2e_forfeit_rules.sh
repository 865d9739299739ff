#!/usr/bin/env bash
# End to end: a winner in the middle of a batch gives up, and the 奖项规则 window, on the
# real program full screen at 1920 x 1080, driven by xdotool.
#   1. Ctrl + right press opens 活动工具; 奖项规则 opens with the groups of the photos' names.
#   2. 特等奖 of 5, drawn 5 at a time. 放弃当前中奖人 asks which of the five: the third gives
#      up, 抽奖结果.txt gets the line naming them; the next stop draws one, the freed place,
#      somebody new, and the level is then complete.
# E2E_SHOTS=<folder> keeps screenshots of the window and of the grid after the forfeit.
#   tests/e2e/e2e_forfeit_rules.sh <path of luckydraw>
set -euo pipefail

program=$(readlink -f "${1:?usage: e2e_forfeit_rules.sh <path of luckydraw>}")
if [ -z "${E2E_RULES_OWN_DISPLAY:-}" ]; then
    export E2E_RULES_OWN_DISPLAY=1
    exec xvfb-run -a -n 170 -s "-screen 0 1920x1080x24" "$0" "$program"
fi
for tool in xdotool convert iconv import; do
    command -v "$tool" >/dev/null || { echo "e2e: $tool is missing" >&2; exit 1; }
done
export QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy LC_ALL=C.UTF-8
unset SESSION_MANAGER

work=$(mktemp -d "${TMPDIR:-/tmp}/ld-e2e-rules.XXXXXX")
# shellcheck source=e2e_common.sh
. "$(dirname "$0")/e2e_common.sh"

results="$work/event/抽奖结果.txt"
lines() { if [ -e "$results" ]; then tr -cd '\n' <"$results" | wc -c; else echo 0; fi; }
line() { iconv -f GB18030 -t UTF-8 "$results" | tr -d '\r' | sed -n "$1p"; }

mkdir -p "$work/event/photo"
install_program "$work/event"
for i in $(seq 1 12); do
    group=销售部
    [ "$i" -gt 6 ] && group=财务部
    convert -size 480x640 "gradient:#$((20 + i * 6))3060-#f0c0$((10 + i * 7))" \
        "$work/event/photo/来宾$(printf %02d "$i")（$group）.jpg"
done
{
    crlf_gbk "[zbt]"
    crlf_gbk "特等奖=特等奖"
    crlf_gbk "特等奖人数=5"
    crlf_gbk "特等奖每次人数=5"
    crlf_gbk "禁用特效=真"
    crlf_gbk "背景音乐=假"
} >"$work/event/peizhi.a"

start_program
await_stage
sleep 0.5
config_before=$(md5sum <"$work/event/peizhi.a")  # as start-up left it

# 1. The window, from 活动工具 (its fifth entry from the end), closed without saving.
xdotool mousemove $((stage_x + 900)) $((stage_y + 500))
xdotool keydown ctrl click 3 keyup ctrl
sleep 0.7
xdotool key Up Up Up Up Up Return
wait_for 20 visible_window "奖项规则" || fail "no 奖项规则 window from 活动工具"
sleep 0.5
shoot "level-rules-window"
xdotool key Escape
wait_for 20 eval '! visible_window 奖项规则' || fail "the window stays open after Escape"
[ "$(md5sum <"$work/event/peizhi.a")" = "$config_before" ] || fail "a cancelled window wrote peizhi.a"
focus "$stage"

# 2. A batch of five, the third gives up, one more stop.
choose_level_with_keys
xdotool key Return
sleep 1.5
xdotool key Return
wait_for 30 eval '[ "$(lines)" -ge 5 ]' || fail "no batch of five in 抽奖结果.txt"
sleep 1
third=$(line 3 | sed 's/  ------  .*//')
xdotool mousemove $((stage_x + 60)) $((stage_y + 300)) click 3
sleep 0.4
xdotool key Up Up Up Return  # 放弃当前中奖人, third from the end
wait_for 20 visible_window "放弃当前中奖人" || fail "no list of the batch's winners"
sleep 0.3
xdotool key Down Down Return
answer "确定放弃当前奖项？" Return
wait_for 20 eval '[ "$(lines)" -ge 6 ]' || fail "no forfeit line"
expected="$(printf '%24s' '')(中奖人 $third 放弃 特等奖)"
[ "$(line 6)" = "$expected" ] || fail "line 6 is '$(line 6)', not '$expected'"
sleep 1
shoot "grid-after-forfeit"
focus "$stage"
xdotool key Return
sleep 1.5
xdotool key Return
wait_for 30 eval '[ "$(lines)" -ge 7 ]' || fail "no stop for the freed place"
sleep 0.8
[ "$(lines)" -eq 7 ] || fail "the stop for the freed place wrote $(($(lines) - 6)) lines"
again=$(line 7 | sed 's/  ------  .*//')
for n in 1 2 3 4 5; do
    [ "$(line "$n" | sed 's/  ------  .*//')" != "$again" ] || fail "$again won twice"
done
xdotool key Return
wait_for 20 visible_window "信息提示" || fail "a start of the complete level is not refused"
echo "e2e_forfeit_rules: passed (the third of five gave up: '$expected'; $again drawn again)"
