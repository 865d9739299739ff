#!/usr/bin/env bash
# End to end: the real program in a temporary folder of its own, on an X display, driven by
# xdotool as an operator would. Two participants and one level of two winners:
#   run 1: Ctrl + drag the main title (its place stored), choose the level with the keyboard (its Return starts nothing), Enter held for
#          two seconds with the X server's auto-repeat on to start (one start: no record),
#          held again to stop; the results file holds the one winner; exit through the
#          pop-up menu and save (进度.txt = the other participant, counter 1 = 1);
#   run 2: resume, choose the level, draw again: the only participant left wins, the results
#          file holds both records; exit and save (进度.txt empty, counter 1 = 2);
#   run 3: resume, choose the level, Enter: the start is refused, the level being complete.
# Every check reads files or looks for windows by their captions; every wait is a bounded
# poll. The script always runs under an Xvfb of its own (xvfb-run -a).
#   tests/e2e/e2e_draw.sh <path of luckydraw>
set -euo pipefail

program=$(readlink -f "${1:?usage: e2e_draw.sh <path of luckydraw>}")
# Always an X server of its own: the keys must not reach another test's window on a
# display that tests running at the same time share (each script starts its search for a
# free display number elsewhere).
if [ -z "${E2E_DRAW_OWN_DISPLAY:-}" ]; then
    export E2E_DRAW_OWN_DISPLAY=1
    exec xvfb-run -a -n 110 -s "-screen 0 1280x800x24" "$0" "$program"
fi
for tool in xdotool xset convert iconv; do
    command -v "$tool" >/dev/null || { echo "e2e: $tool is missing" >&2; exit 1; }
done

# The program draws on the real display; its sounds go nowhere.
export QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy LC_ALL=C.UTF-8
unset SESSION_MANAGER

work=$(mktemp -d "${TMPDIR:-/tmp}/ld-e2e.XXXXXX")
# shellcheck source=e2e_common.sh
. "$(dirname "$0")/e2e_common.sh"
# The level selector sits at x 180, 77 pixels above the bottom in the default layout; a
# click opens its list, whose one item then lies over the selector: a second click there
# chooses it.
choose_level() {
    # The Windows list opens beside the selector, not over it: the keys choose there.
    if [ -n "$e2e_wine" ]; then
        choose_level_with_keys
        return
    fi
    local x=$((stage_x + 220)) y=$((stage_y + stage_h - 64))
    xdotool mousemove "$x" "$y" click 1
    sleep 0.5
    xdotool mousemove "$x" "$y" click 1
    sleep 0.5
}

# Enter held down for two seconds to start and again to stop: the X server repeats it (as a
# release and a press each time), and a held key must count once.
draw_held() {
    xset r on
    xdotool keydown Return
    sleep 2
    xdotool keyup Return
    sleep 1
    [ "$(results_size)" -eq 0 ] || fail "Enter held to start recorded a winner"
    xdotool keydown Return
    sleep 2
    xdotool keyup Return
    wait_for 30 eval '[ "$(results_size)" -gt 0 ]' ||
        fail "no record in 抽奖结果.txt after Enter held to start and held to stop"
}

# Ctrl + drag moves the main title (left 32, top 20 in the window's template) and stores its
# place at once; a press without Ctrl moves nothing.
drag_title() {
    local x=$((stage_x + 400)) y=$((stage_y + 40))
    xdotool mousemove "$x" "$y" mousedown 1 mousemove $((x + 30)) $((y + 25)) mouseup 1
    sleep 0.5
    [ -z "$(zweizhi 标签1左边)" ] || fail "a drag without Ctrl moved the main title"
    xdotool mousemove "$x" "$y" keydown ctrl mousedown 1
    sleep 0.3
    xdotool mousemove $((x + 15)) $((y + 12)) sleep 0.2 mousemove $((x + 30)) $((y + 25))
    sleep 0.3
    xdotool mouseup 1 keyup ctrl
    wait_for 10 eval '[ -n "$(zweizhi 标签1顶边)" ]' || fail "Ctrl + drag stored no place"
    [ "$(zweizhi 标签1左边),$(zweizhi 标签1顶边)" = "62,45" ] ||
        fail "the main title was stored at $(zweizhi 标签1左边),$(zweizhi 标签1顶边), not 62,45"
}
zweizhi() {
    iconv -f GB18030 -t UTF-8 "$work/event/peizhi.a" | tr -d '\r' |
        sed -n "/^\[zweizhi\]/,/^\[/s/^$1=//p"
}

# The event folder: the program, two photos, one level of two winners, windowed, no effects.
mkdir -p "$work/event/photo"
install_program "$work/event"
convert -size 320x240 xc:'#3060a0' "$work/event/photo/张三.jpg"
convert -size 320x240 xc:'#a06030' "$work/event/photo/李四.jpg"
{
    crlf_gbk "[zbt]"
    crlf_gbk "特等奖=特等奖"
    crlf_gbk "特等奖人数=2"
    crlf_gbk "界面大小=窗口"
    crlf_gbk "禁用特效=真"
} >"$work/event/peizhi.a"
results="$work/event/抽奖结果.txt"
progress="$work/event/进度.txt"

# Run 1: a fresh draw of one winner, the level chosen with the keyboard, saved at exit.
start_program
await_stage
drag_title
choose_level_with_keys
draw_held
first=""
for name in 张三 李四; do
    if cmp -s "$results" <(crlf_gbk "$name  ------  特等奖"); then first=$name; fi
done
[ -n "$first" ] || fail "抽奖结果.txt after the first stop: $(od -c "$results" | head -n3)"
other=$([ "$first" = 张三 ] && echo 李四 || echo 张三)
exit_and_save
cmp -s "$progress" <(crlf_gbk "$other") || fail "进度.txt after run 1 is not '$other' CR LF"
[ "$(counter 1)" = 1 ] || fail "计数1 after run 1 is '$(counter 1)', not 1"
for n in 2 3 4 5 6 7 8; do
    [ "$(counter $n)" = 0 ] || fail "计数$n after run 1 is '$(counter $n)', not 0"
done

# Run 2: resumed; the only participant left wins the level's second place.
start_program
answer "提示" y
await_stage
choose_level
draw_once "$(wc -c <"$results")"
cmp -s "$results" <(crlf_gbk "$first  ------  特等奖"; crlf_gbk "$other  ------  特等奖") ||
    fail "抽奖结果.txt after run 2: $(iconv -f GB18030 -t UTF-8 "$results" | od -c | head -n4)"
exit_and_save
[ -e "$progress" ] && [ ! -s "$progress" ] || fail "进度.txt after run 2 is not empty"
[ "$(counter 1)" = 2 ] || fail "计数1 after run 2 is '$(counter 1)', not 2"

# Run 3: resumed again; the level is found where it was left, complete: a start is refused
# and the results stay as they were.
start_program
answer "提示" y
await_stage
choose_level
xdotool key Return
wait_for 30 visible_window "信息提示" || fail "a start of the complete level is not refused"
cmp -s "$results" <(crlf_gbk "$first  ------  特等奖"; crlf_gbk "$other  ------  特等奖") ||
    fail "抽奖结果.txt changed after a refused start"
echo "e2e: passed (first winner $first, then $other)"
