#!/usr/bin/env bash
# End to end on two screens: the real program on an X server with two 1920x1080 monitors
# (two_screen_x.sh), an event with 舞台屏幕=2 and 翻页笔=真, driven by xdotool as the
# operator at the laptop (screen 1) would:
#   the stage covers screen 2 and the console 抽奖控制台 stands on screen 1;
#   the console's start/stop button, clicked twice, draws a winner into 抽奖结果.txt;
#   Page Down to the stage starts the roll and Page Down again stops it: a second winner;
#   Page Down held at the console (auto-repeat on) for two seconds starts, held again
#   stops: a third winner, one press each time.
# E2E_SHOTS=<folder> keeps screenshots of both screens (desk-console.png, desk-stage.png).
# Without the X server's packages the test skips itself, unless it runs as root (as CI
# does), where a missing package is a failure.
# Every wait is a bounded poll; the sanitizer build (LD_SANITIZE_BUILD=1) and Wine get longer
# ones. The Windows build (a path ending in .exe) runs under Wine, started on this X server.
#   tests/e2e/e2e_desk.sh <path of luckydraw>
set -euo pipefail

program=$(readlink -f "${1:?usage: e2e_desk.sh <path of luckydraw>}")
here=$(cd "$(dirname "$0")" && pwd)
if ! command -v Xorg >/dev/null || ! command -v xrandr >/dev/null ||
    [ ! -e /usr/lib/xorg/modules/drivers/dummy_drv.so ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "e2e_desk: skipped: no Xorg with the dummy driver and xrandr" \
            "(xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils)"
        exit 0
    fi
    echo "e2e: Xorg, its dummy driver or xrandr is missing: run scripts/install-deps.sh" >&2
    exit 1
fi
for tool in xdotool xset convert import iconv; do
    command -v "$tool" >/dev/null || { echo "e2e: $tool is missing" >&2; exit 1; }
done

export QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy LC_ALL=C.UTF-8
unset SESSION_MANAGER

work=$(mktemp -d "${TMPDIR:-/tmp}/ld-e2e-desk.XXXXXX")
xorg=""
# After the program (and Wine), the X server this script started: never another one.
stop_xorg() {
    [ -n "$xorg" ] || return 0
    kill "$xorg" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$xorg" 2>/dev/null || break; sleep 0.1; done
}
trap 'stop_xorg; rm -rf "$work"' EXIT
# A free display number; another test may take it first, so a failed start tries the next.
# The X server comes first: Wine and its window manager start on it (e2e_common.sh).
for n in $(seq 71 98); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    xorg=$("$here/two_screen_x.sh" ":$n" "$work/xorg") && { export DISPLAY=":$n"; break; }
    xorg=""
done
[ -n "$xorg" ] || { echo "e2e: FAILED: no X server with two screens could be started" >&2; exit 1; }
# shellcheck source=e2e_common.sh
. "$here/e2e_common.sh"
extra_cleanup=stop_xorg

# Clicks the console's button and takes the mouse off it again.
click_button() {
    xdotool mousemove "$button_x" "$button_y" click 1 mousemove "$console_x" "$console_y"
}

started=$SECONDS

# The event: four photos, one level of three winners, the stage on screen 2, clickers on.
mkdir -p "$work/event/photo"
install_program "$work/event"
colours=('#3060a0' '#a06030' '#30a060' '#8040a0')
names=(张三 李四 王五 赵六)
for i in 0 1 2 3; do
    convert -size 480x360 "gradient:${colours[$i]}-white" "$work/event/photo/${names[$i]}.jpg"
done
{
    crlf_gbk "[zbt]"
    crlf_gbk "特等奖=特等奖"
    crlf_gbk "特等奖人数=3"
    crlf_gbk "舞台屏幕=2"
    crlf_gbk "翻页笔=真"
    crlf_gbk "禁用特效=真"
} >"$work/event/peizhi.a"
results="$work/event/抽奖结果.txt"
patience=30
[ -z "${LD_SANITIZE_BUILD:-}" ] && [ -z "$e2e_wine" ] || patience=90
lines() { if [ -e "$results" ]; then tr -cd '\n' <"$results" | wc -l; else echo 0; fi; }

console_window() { xdotool search --all --onlyvisible --pid "$pid" --name '^抽奖控制台$' 2>/dev/null; }
# The stage: the largest visible titled window of the program other than the console.
find_stage() {
    local id best="" area best_area=0 console
    console=$(console_window) || true
    for id in $(xdotool search --all --onlyvisible --pid "$pid" --name '.+' 2>/dev/null); do
        [ "$id" = "$console" ] && continue
        eval "$(xdotool getwindowgeometry --shell "$id")"
        area=$((WIDTH * HEIGHT))
        if [ "$area" -gt "$best_area" ]; then best=$id best_area=$area; fi
    done
    [ -n "$best" ] && echo "$best"
}

# The console's start/stop button is its one red area: its centre, on the desktop, while it
# is enabled (a disabled one is grey) and the mouse is elsewhere (under it, it is lighter).
button_at() {
    local box w h x y
    import -window "$console" "$work/console.png" 2>/dev/null || return 1
    box=$(convert "$work/console.png" -fuzz 2% -fill black +opaque '#c62828' \
        -fill white -opaque '#c62828' -format '%@' info: 2>/dev/null)
    IFS='x+' read -r w h x y <<<"$box"
    [ "$w" -ge 100 ] && [ "$h" -ge 40 ] || return 1
    button_x=$((console_x + x + w / 2)) button_y=$((console_y + y + h / 2))
}

# Screenshots of both screens, each on its own, when E2E_SHOTS names a folder.
shoot_screens() {
    [ -n "${E2E_SHOTS:-}" ] || return 0
    mkdir -p "$E2E_SHOTS"
    import -window root "$work/root.png"
    convert "$work/root.png" -crop 1920x1080+0+0 +repage "$E2E_SHOTS/$1-console.png"
    convert "$work/root.png" -crop 1920x1080+1920+0 +repage "$E2E_SHOTS/$1-stage.png"
}

expect_new_winner() {
    local before=$1 how=$2
    wait_for $patience eval '[ "$(lines)" -gt '"$before"' ]' || fail "no winner recorded after $how"
    [ "$(lines)" -eq $((before + 1)) ] || fail "$how recorded $(($(lines) - before)) winners"
    iconv -f GB18030 -t UTF-8 "$results" | tail -n 1 | grep -qP '^(张三|李四|王五|赵六)  ------  特等奖\r$' ||
        fail "the record after $how: $(iconv -f GB18030 -t UTF-8 "$results" | tail -n 1 | od -c | head -n 2)"
}

start_program
wait_for $patience console_window >/dev/null || fail "the console 抽奖控制台 does not appear"
wait_for $patience find_stage >/dev/null || fail "the stage does not appear"
console=$(console_window)
stage=$(find_stage)

# (1) The stage covers screen 2, the console stands on screen 1.
stage_placed() {
    eval "$(xdotool getwindowgeometry --shell "$stage")"
    [ "$X,$Y,$WIDTH,$HEIGHT" = "1920,0,1920,1080" ]
}
wait_for 10 stage_placed ||
    fail "the stage is at $X,$Y size ${WIDTH}x$HEIGHT, not over screen 2 (1920,0 1920x1080)"
eval "$(xdotool getwindowgeometry --shell "$console")"
console_x=$X console_y=$Y
[ "$X" -ge 0 ] && [ $((X + WIDTH)) -le 1920 ] ||
    fail "the console is at x $X width $WIDTH, not on screen 1"

# (2) The level chosen on the console (its selector has the keyboard first), then a draw
# by the console's button: the start records nothing, the stop one winner.
focus "$console"
xdotool key Home
sleep 0.5
wait_for 10 button_at || fail "no enabled start button on the console"
click_button
sleep 1.5
[ "$(lines)" -eq 0 ] || fail "the console's start recorded a winner"
shoot_screens rolling
click_button
expect_new_winner 0 "the console's start and stop"

# (3) After the pause that follows a stop (the button grey meanwhile), Page Down on the
# stage starts, and again stops.
wait_for $patience button_at || fail "the console's button stays disabled after the stop"
focus "$stage"
xdotool key Next
sleep 1.5
[ "$(lines)" -eq 1 ] || fail "Page Down's start recorded a winner"
xdotool key Next
expect_new_winner 1 "Page Down twice on the stage"

# (4) Page Down held at the console for two seconds, with the X server's auto-repeat on,
# is one press: held once it starts (no record), held again it stops (the third winner).
hold_next() { xdotool keydown Next; sleep 2; xdotool keyup Next; }
sleep 1  # the console shows the pause after the stop
wait_for $patience button_at || fail "the console's button stays disabled after the second stop"
focus "$console"
xset r on
hold_next
sleep 1
[ "$(lines)" -eq 2 ] || fail "Page Down held at the console to start recorded a winner"
hold_next
expect_new_winner 2 "Page Down held twice at the console"
sleep 1
shoot_screens desk
echo "e2e_desk: passed in $((SECONDS - started)) s (stage on screen 2, console on screen 1," \
    "winners $(iconv -f GB18030 -t UTF-8 "$results" | sed 's/  ------.*//' | tr -d '\r' | paste -sd ' '))"
