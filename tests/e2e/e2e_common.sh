# Shared by the end-to-end scripts that drive the real program with xdotool: sourced after
# `work` (a temporary folder) is set; the program's pid goes into `pid`.

pid=""
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

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

visible_window() { xdotool search --all --onlyvisible --pid "$pid" --name "^$1\$" >/dev/null 2>&1; }

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

start_program() {
    (cd "$work/event" && exec ./luckydraw) >"$work/program.log" 2>&1 &
    pid=$!
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
}

# Keeps a screenshot of the whole display as <name>.png when E2E_SHOTS names a folder.
shoot() {
    [ -n "${E2E_SHOTS:-}" ] || return 0
    mkdir -p "$E2E_SHOTS"
    import -window root "$E2E_SHOTS/$1.png"
}
