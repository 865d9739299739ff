# Shared by the end-to-end scripts that drive the real program with xdotool: sourced after
# `work` (a temporary folder) is set; the program's pid goes into `pid`.

pid=""
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    if [ -n "$e2e_wine" ]; then
        "$wineserver" -k 2>/dev/null || true
        [ -n "$twm_pid" ] && kill "$twm_pid" 2>/dev/null || true
    fi
    "${extra_cleanup:-true}"
    rm -rf "$work"
}
trap cleanup EXIT

# The program under test is the Linux build, or the Windows build (a path ending in .exe)
# under Wine: in the build folder's prefix for these tests (Chinese fonts mapped) and beside
# a window manager, without which Wine's windows and dialogs are slow to come and go. The
# Windows tests share that prefix, so CTest runs them one at a time.
e2e_wine="" program_file=luckydraw twm_pid=""
case "${program:-}" in *.exe) e2e_wine=1 program_file=luckydraw.exe ;; esac
if [ -n "$e2e_wine" ]; then
    wine64="$(command -v wine64 || echo /usr/lib/wine/wine64)"
    wineserver="$(command -v wineserver || echo /usr/lib/wine/wineserver)"
    export WINEPREFIX="${E2E_WINEPREFIX:-$(dirname "$program")/wine-prefix-e2e}"
    export WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
    "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-prefix.sh" "$WINEPREFIX" --fonts >&2
    twm -f "$(dirname "${BASH_SOURCE[0]}")/twmrc" >/dev/null 2>&1 &
    twm_pid=$!
fi
install_program() { cp "$program" "$1/$program_file"; }
# Runs the program in the current folder in place of the calling shell.
run_program() {
    if [ -n "$e2e_wine" ]; then exec "$wine64" "./$program_file"; fi
    exec "./$program_file"
}

# Says what failed and what was on the screen; E2E_SHOTS=<folder> keeps a screenshot.
fail() {
    local w windows=""
    echo "e2e: FAILED: $*" >&2
    for w in $(xdotool search --onlyvisible --name '.+' 2>/dev/null); do
        windows+=" '$(xdotool getwindowname "$w")'"
    done
    echo "e2e: windows on the display:${windows:- none}" >&2
    [ -s "$work/program.log" ] && sed 's/^/e2e: program: /' "$work/program.log" | tail -n 20 >&2
    if [ -n "${E2E_SHOTS:-}" ] && command -v import >/dev/null; then
        import -window root "$E2E_SHOTS/failure.png" 2>/dev/null || true
    fi
    exit 1
}

crlf_gbk() { printf '%s\r\n' "$1" | iconv -f UTF-8 -t GB18030; }

# Polls `condition` (a command) every 0.2 s for up to `seconds`.
wait_for() {
    local seconds=$1
    shift
    local tries=$((seconds * 5))
    while ! "$@"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.2
    done
}

windows_named() { xdotool search --all --onlyvisible --pid "$pid" --name "^$1\$" 2>/dev/null; }
visible_window() { windows_named "$1" >/dev/null; }
program_gone() { ! kill -0 "$pid" 2>/dev/null; }

# Answers the message box with this caption with a key (y = Yes, n = No, Return = the
# default). The box takes the keyboard itself when it opens; the key is sent again while
# that box stays, and never to a box of the same caption that follows it.
answer() {
    local caption=$1 key=$2 id tries=20
    wait_for 30 visible_window "$caption" || fail "no message box '$caption'"
    id=$(windows_named "$caption" | sed -n 1p)
    sleep 0.3
    while windows_named "$caption" | grep -x "$id" >/dev/null; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || fail "message box '$caption' stays open"
        # Under Wine the X focus may stay with a box that has just closed (twm gives it to
        # the window under the pointer only when the pointer moves): focus the box itself.
        [ -z "$e2e_wine" ] || xdotool windowfocus "$id" 2>/dev/null || true
        xdotool key "$key"
        sleep 0.5
    done
}

# Chooses the first level with the keyboard: a click opens the selector (at x 180, 77 pixels
# above the layout's bottom in the default layout), Down marks the item in the open list,
# Return chooses it. That Return belongs to the list and must not start the roll as well.
choose_level_with_keys() {
    xdotool mousemove $((stage_x + 220)) $((stage_y + layout_h - 64)) click 1
    sleep 0.5
    xdotool key Down Return
    sleep 0.5
}

results_size() { wc -c 2>/dev/null <"$work/event/抽奖结果.txt" || echo 0; }

# Enter starts the roll, Enter again stops it; the stop rewrites the results file, the
# start writes nothing (a roll already running would be stopped by the first Enter).
draw_once() {
    local before=$1
    xdotool key Return
    sleep 1
    [ "$(results_size)" -eq "$before" ] ||
        fail "the first Enter recorded a winner: a roll was running before it"
    xdotool key Return
    wait_for 30 eval '[ "$(results_size)" -gt '"$before"' ]' ||
        fail "no new record in 抽奖结果.txt after a start and a stop"
    sleep 0.6  # the start button comes back 200 ms after a stop
}

# The pop-up menu's last entry is 退出; Up from no selection wraps to it.
exit_and_save() {
    xdotool mousemove $((stage_x + 60)) $((stage_y + 300)) click 3
    sleep 0.5
    xdotool key Up Return
    answer "退出是否保存进度？" y
    answer "提示" Return
    wait_for 30 program_gone || fail "the program is still running after saving"
    pid=""
}

# A counter of section jindu of the event's peizhi.a.
counter() {
    iconv -f GB18030 -t UTF-8 "$work/event/peizhi.a" | tr -d '\r' |
        sed -n "/^\[jindu\]/,/^\[/s/^计数$1=//p"
}

# The draw screen's own window: the largest visible titled window of the program.
stage_window() {
    local id best="" area best_area=0
    for id in $(xdotool search --all --onlyvisible --pid "$pid" --name '.+' 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$id")"
        area=$((WIDTH * HEIGHT))
        if [ "$area" -gt "$best_area" ]; then best=$id best_area=$area; fi
    done
    [ -n "$best" ] && echo "$best"
}

any_window_or_gone() {
    program_gone || xdotool search --all --onlyvisible --pid "$pid" --name '.+' >/dev/null 2>&1
}

# Starts the program; a start that could not reach the display (Xvfb sometimes refuses a
# client that comes at once after another one left) is retried once.
start_program() {
    local attempt
    for attempt in 1 2; do
        (cd "$work/event" && run_program) >"$work/program.log" 2>&1 &
        pid=$!
        wait_for 30 any_window_or_gone || fail "the program shows no window"
        program_gone || return 0
        grep -q "could not connect to display" "$work/program.log" || return 0
        echo "e2e: the display refused a start; starting again"
        sleep 1
    done
    fail "the program could not connect to the display twice"
}

# Gives a window the keyboard, through the window manager when there is one.
focus() {
    xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
}

# Waits for the draw screen, brings it to the front and remembers its geometry.
await_stage() {
    wait_for 30 stage_window >/dev/null || fail "the draw screen does not appear"
    stage=$(stage_window)
    focus "$stage"
    eval "$(xdotool getwindowgeometry --shell "$stage")"
    stage_x=$X stage_y=$Y stage_w=$WIDTH stage_h=$HEIGHT
    # The layout counts from the window's top for the screen's height (the window covers the
    # screen); a frame, as under Wine, makes the client shorter than that.
    layout_h=$(xdotool getdisplaygeometry | cut -d' ' -f2)
}

# Keeps a screenshot of the whole display as <name>.png when E2E_SHOTS names a folder.
shoot() {
    [ -n "${E2E_SHOTS:-}" ] || return 0
    mkdir -p "$E2E_SHOTS"
    import -window root "$E2E_SHOTS/$1.png"
}
