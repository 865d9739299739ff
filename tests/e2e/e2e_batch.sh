#!/usr/bin/env bash
# End to end: batch draws on the real program, full screen at 1920 x 1080, driven by xdotool.
#   1. Ctrl + right press opens 活动工具; 每次抽取人数 sets the first level to 5 a draw
#      (typed into the window's first number box, saved with Return): peizhi.a holds it.
#   2. The level of 10 is drawn in two batches of 5: 抽奖结果.txt holds ten distinct names,
#      every line in the results format, and a third start is refused (the level is complete).
#   3. Levels of 12 and 50 a draw (set in peizhi.a) each fill their grid in one stop.
# The photos are the demo's (phone photos, some turned by their Exif orientation) and a few
# made here. E2E_SHOTS=<folder> keeps screenshots of each grid rolling and stopped.
#   tests/e2e/e2e_batch.sh <path of luckydraw>
set -euo pipefail

program=$(readlink -f "${1:?usage: e2e_batch.sh <path of luckydraw>}")
# Always an X server of its own: the keys must not reach another test's window on a
# display that tests running at the same time share (each script starts its search for a
# free display number elsewhere).
if [ -z "${E2E_BATCH_OWN_DISPLAY:-}" ]; then
    export E2E_BATCH_OWN_DISPLAY=1
    exec xvfb-run -a -n 150 -s "-screen 0 1920x1080x24" "$0" "$program"
fi
for tool in xdotool convert iconv import; do
    command -v "$tool" >/dev/null || { echo "e2e: $tool is missing" >&2; exit 1; }
done
export QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy LC_ALL=C.UTF-8
unset SESSION_MANAGER

work=$(mktemp -d "${TMPDIR:-/tmp}/ld-e2e-batch.XXXXXX")
# shellcheck source=e2e_common.sh
. "$(dirname "$0")/e2e_common.sh"

results="$work/event/抽奖结果.txt"
lines() { if [ -e "$results" ]; then tr -cd '\n' <"$results" | wc -c; else echo 0; fi; }

# Opens the selector's list and chooses its n-th level with the keyboard.
choose_level() {
    if [ -n "$e2e_wine" ]; then
        # Wine's list opens on a press held a moment, on the selector's arrow. The stage is
        # full screen from the screen's top, whatever frame the window manager reports.
        xdotool mousemove $((stage_x + 277)) $((stage_h - 65))
        sleep 0.3
        xdotool mousedown 1
        sleep 0.2
        xdotool mouseup 1
    else
        xdotool mousemove $((stage_x + 220)) $((stage_y + stage_h - 64)) click 1
    fi
    sleep 0.5
    xdotool key Home
    local i
    for ((i = 1; i < $1; i++)); do xdotool key Down; done
    xdotool key Return
    sleep 0.5
}

# One batch: Enter starts the roll, Enter stops it; the results grow by `size` lines.
draw_batch() {
    local size=$1 shot=$2 before
    before=$(lines)
    xdotool key Return
    sleep 1.5
    shoot "$shot-rolling"
    [ "$(lines)" -eq "$before" ] || fail "the start recorded a winner"
    xdotool key Return
    wait_for 30 eval '[ "$(lines)" -ge '"$((before + size))"' ]' ||
        fail "$(lines) lines in 抽奖结果.txt after a batch of $size, $before before it"
    sleep 2  # the whole photos come in
    shoot "$shot-stopped"
    [ "$(lines)" -eq $((before + size)) ] || fail "the batch of $size wrote $(lines) lines"
}

# The event: 60 demo photos and 12 made here; three levels, full screen, no fireworks.
mkdir -p "$work/event/photo"
install_program "$work/event"
# The demo photos lie beside the program in the Linux build; the Windows build names the
# host build's.
demo="${E2E_DEMO_PHOTOS:-$(dirname "$program")/demo-event/photo}"
[ -d "$demo" ] || fail "no demo photos in $demo (build the demo data first)"
cp "$demo"/* "$work/event/photo/"
for i in $(seq 1 12); do
    convert -size 480x640 "gradient:#$((20 + i * 6))3060-#f0c0$((10 + i * 7))" \
        "$work/event/photo/来宾$(printf %02d "$i").jpg"
done
[ "$(ls "$work/event/photo" | wc -l)" -ge 72 ] || fail "fewer than 72 photos"
{
    crlf_gbk "[zbt]"
    crlf_gbk "特等奖=特等奖"
    crlf_gbk "特等奖人数=10"
    crlf_gbk "一等奖=一等奖"
    crlf_gbk "一等奖人数=12"
    crlf_gbk "一等奖每次人数=12"
    crlf_gbk "二等奖=二等奖"
    crlf_gbk "二等奖人数=50"
    crlf_gbk "二等奖每次人数=50"
    crlf_gbk "禁用特效=真"
    crlf_gbk "背景音乐=假"
} >"$work/event/peizhi.a"

start_program
await_stage

# 1. The window, from 活动工具, on the real display.
xdotool mousemove $((stage_x + 900)) $((stage_y + 500))
xdotool keydown ctrl click 3 keyup ctrl
sleep 0.7
xdotool key Down Down Down Down Return  # the fourth item
wait_for 20 visible_window "每次抽取人数" || fail "no 每次抽取人数 window from 活动工具"
shoot "per-draw-window"
xdotool key ctrl+a
xdotool type 5
xdotool key Return
wait_for 20 eval '! visible_window 每次抽取人数' || fail "the window stays open after Return"
per_draw_saved() { iconv -f GB18030 -t UTF-8 "$work/event/peizhi.a" | tr -d '\r' | grep -qx "特等奖每次人数=5"; }
# Under Wine the window may be gone a moment before the file is written.
wait_for 10 per_draw_saved ||
    fail "peizhi.a has no 特等奖每次人数=5: $(iconv -f GB18030 -t UTF-8 "$work/event/peizhi.a")"
focus "$stage"

# 2. Two batches of 5 complete the level of 10.
choose_level 1
draw_batch 5 batch-5
draw_batch 5 batch-5-second
text=$(iconv -f GB18030 -t UTF-8 "$results")
bad=$(printf '%s\n' "$text" | grep -cvP '^[^ ]+  ------  特等奖\r$' || true)
[ "$bad" -eq 0 ] || fail "$bad lines of 抽奖结果.txt are not in the results format"
[ "$(printf '%s\n' "$text" | sort -u | wc -l)" -eq 10 ] || fail "the ten winners are not distinct"
xdotool key Return
wait_for 20 visible_window "信息提示" || fail "a start of the complete level is not refused"
xdotool key Return
wait_for 20 eval '! visible_window 信息提示' || fail "the refusal stays open"
focus "$stage"

# 3. Grids of 12 and 50.
choose_level 2
draw_batch 12 batch-12
choose_level 3
draw_batch 50 batch-50
names=$(iconv -f GB18030 -t UTF-8 "$results" | sed 's/  ------  .*//' | sort -u | wc -l)
[ "$names" -eq 72 ] || fail "$names distinct winners of 72"
echo "e2e_batch: passed (72 winners in batches of 5, 5, 12 and 50)"
