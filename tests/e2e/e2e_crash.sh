#!/usr/bin/env bash
# Crash torture: the real program on an X display, killed with SIGKILL over and over at
# random moments (rolling, just after a stop, just after a forfeit, idle, during the exit
# save, during the recovery at start-up), then started again and recovered. After every
# kill and every start-up the files must be whole and agree:
#   - 抽奖结果.txt holds only winner and forfeit lines, each ending in CR LF;
#   - every winner the operator has seen (his line was in 抽奖结果.txt before the kill) is
#     there, once, in the order drawn; at most the one stop or forfeit that was under way at
#     the kill may be added to them;
#   - 进度.txt holds participants only, none of them a winner, and with the winners makes up
#     every photo: nobody is lost, nobody can win twice;
#   - the counters 计数1..8 of peizhi.a are each level's winners minus its forfeits;
#   - the hidden recovery record, when there is one, is a whole record that agrees with itself
#     and was written no later than 抽奖结果.txt.
# The kills are random but seeded: the seed is printed, and E2E_CRASH_SEED=<seed> replays the
# same choices (the moments the program reaches between them still vary a little).
# E2E_CRASH_CYCLES sets the number of cycles (default 24). The sanitizer build is too slow
# for these timings: with LD_SANITIZE_BUILD set (the build sets it there) the test skips.
#   tests/e2e/e2e_crash.sh <path of luckydraw>
set -euo pipefail

program=$(readlink -f "${1:?usage: e2e_crash.sh <path of luckydraw>}")
if [ -n "${LD_SANITIZE_BUILD:-}" ]; then
    echo "e2e_crash: skipped in the sanitizer build (its timings do not hold there)"
    exit 0
fi
export E2E_CRASH_SEED=${E2E_CRASH_SEED:-$(($(date +%s%N) / 1000 % 1000000))}
# Always an X server of its own: the keys must not reach another test's window on a
# display that tests running at the same time share (each script starts its search for a
# free display number elsewhere).
if [ -z "${E2E_CRASH_OWN_DISPLAY:-}" ]; then
    export E2E_CRASH_OWN_DISPLAY=1
    exec xvfb-run -a -n 130 -s "-screen 0 1280x800x24" "$0" "$program"
fi
for tool in xdotool convert iconv awk; do
    command -v "$tool" >/dev/null || { echo "e2e_crash: $tool is missing" >&2; exit 1; }
done

export QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy LC_ALL=C.UTF-8
unset SESSION_MANAGER

seed=$E2E_CRASH_SEED
cycles=${E2E_CRASH_CYCLES:-24}
RANDOM=$seed
echo "e2e_crash: seed $seed, $cycles cycles (E2E_CRASH_SEED=$seed replays them)"

work=$(mktemp -d "${TMPDIR:-/tmp}/ld-crash.XXXXXX")
event="$work/event"
# The shared helpers (windows by caption, answering a box, ...); what differs here (a kill
# instead of a quit, a faster poll, the stage found by its size) is defined again below.
# shellcheck source=e2e_common.sh
. "$(dirname "$0")/e2e_common.sh"
cycle=0
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill -9 "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    # Under Wine the killed process is only the loader: the prefix's wineserver and the
    # window manager go too, or they outlive the test with its display.
    if [ -n "$e2e_wine" ]; then
        "$wineserver" -k 2>/dev/null || true
        [ -z "$twm_pid" ] || kill "$twm_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    local w windows=""
    echo "e2e_crash: FAIL (seed $seed, cycle $cycle): $*" >&2
    for w in $(xdotool search --onlyvisible --name '.+' 2>/dev/null); do
        windows+=" '$(xdotool getwindowname "$w")'"
    done
    echo "e2e_crash: windows on the display:${windows:- none}" >&2
    [ -s "$work/program.log" ] && sed 's/^/e2e_crash: program: /' "$work/program.log" | tail -n 20 >&2
    if [ -n "${E2E_SHOTS:-}" ] && command -v import >/dev/null; then
        import -window root "$E2E_SHOTS/crash-failure.png" 2>/dev/null || true
        cp -a "$event" "$E2E_SHOTS/crash-event" 2>/dev/null || true
    fi
    exit 1
}

# r = a seeded random number in [0, $1). Not through $(...): a subshell's draws are lost.
pick() { r=$((RANDOM % $1)); }
sleep_ms() { sleep "$(printf '%d.%03d' $(($1 / 1000)) $(($1 % 1000)))"; }

wait_for() {
    local seconds=$1
    shift
    local tries=$((seconds * 10))
    while ! "$@"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}


# The draw screen: the program's visible window as wide as the screen's half at least; the
# message boxes are smaller.
stage_window() {
    local id
    for id in $(xdotool search --all --onlyvisible --pid "$pid" --name '.+' 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$id")"
        if [ "$WIDTH" -ge 640 ]; then
            echo "$id"
            return 0
        fi
    done
    return 1
}

any_window_or_gone() {
    program_gone || xdotool search --all --onlyvisible --pid "$pid" --name '.+' >/dev/null 2>&1
}

# SIGKILL, then the process reaped and its X connection given time to close: a program
# started at once after it sometimes cannot connect to the display.
kill_program() {
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=""
    sleep 0.5
}

# A hard link to the file as it is now: an atomic write replaces it with a new inode.
keep_old() {
    rm -f "$work/$2"
    if [ -e "$1" ]; then ln "$1" "$work/$2"; fi
}
replaced() { [ -e "$1" ] && ! [ "$1" -ef "$work/$2" ]; }

# Sends `key` and busy-waits until the program has written `file` (kept with keep_old
# before), then kills it `extra` microseconds later: the writes of one commit are a few
# milliseconds apart, beyond the reach of sleep, and xdotool returns only after the program
# has acted on the key, so it is sent in the background. Gives up (and kills) after 3 s.
kill_on_write() {
    local key=$1 file=$2 extra=${3:-0} deadline
    xdotool key "$key" &
    deadline=$((${EPOCHREALTIME/./} + 3000000))
    while ! replaced "$file" watched && [ "${EPOCHREALTIME/./}" -lt "$deadline" ]; do :; done
    deadline=$((${EPOCHREALTIME/./} + extra))
    while [ "${EPOCHREALTIME/./}" -lt "$deadline" ]; do :; done
    kill -9 "$pid" 2>/dev/null || true
    wait $! 2>/dev/null || true
}

# Starts the program; a start that could not reach the display is retried once.
launch() {
    local attempt
    for attempt in 1 2; do
        (cd "$event" && run_program) >"$work/program.log" 2>&1 &
        pid=$!
        wait_for 30 any_window_or_gone || fail "the program shows no window"
        program_gone || return 0
        wait "$pid" 2>/dev/null || true
        grep -q "could not connect to display" "$work/program.log" ||
            fail "the program ended during start-up"
        echo "e2e_crash: the display refused a start; starting again"
        sleep 1
    done
    fail "the program could not connect to the display twice"
}

focus() { xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"; }

# The first key only, for a kill while the program acts on it.
answer_once() {
    wait_for 30 visible_window "$1" || fail "no message box '$1'"
    sleep 0.3
    xdotool key "$2"
}

stage_or_question() { stage_window >/dev/null || visible_window 提示; }

await_stage() {
    wait_for 30 stage_or_question || fail "the draw screen does not appear"
    visible_window 提示 && fail "another question at start-up after the one answered"
    stage=$(stage_window)
    focus "$stage"
    eval "$(xdotool getwindowgeometry --shell "$stage")"
    stage_x=$X stage_y=$Y
    # The layout counts from the window's top for the screen's height (the window covers the
    # screen); a frame makes the client shorter than that, so the controls at the bottom are
    # found from the top, not from the client's bottom.
    layout_h=$(xdotool getdisplaygeometry | cut -d' ' -f2)
}

popup_menu() {
    xdotool mousemove $((stage_x + 60)) $((stage_y + 300)) click 3
    sleep 0.4
}

# --- The event: 72 photos, two levels of 200 winners, windowed, no celebration ---
photos=72
mkdir -p "$event/photo"
install_program "$event"
for i in $(seq 1 "$photos"); do
    convert -size 64x48 "xc:rgb($((i * 3)),$((255 - i * 3)),$((i * 7 % 256)))" \
        "$event/photo/员工$(printf '%02d' "$i").jpg"
done
{
    crlf_gbk "[zbt]"
    crlf_gbk "特等奖=特等奖"
    crlf_gbk "特等奖人数=200"
    crlf_gbk "一等奖=一等奖"
    crlf_gbk "一等奖人数=200"
    crlf_gbk "界面大小=窗口"
    crlf_gbk "禁用特效=真"
} >"$event/peizhi.a"
results="$event/抽奖结果.txt"
progress="$event/进度.txt"
record="$event/.ld-recovery"
journal="$event/.ld-save"
levels=(特等奖 一等奖)
forfeit_text="$(printf '%24s' '')(上一个中奖人放弃)"

# --- Checks ---

# Whole text files in GBK ending in CR LF (or empty); gives the UTF-8 text without CRs.
gbk_lines() {
    local file=$1 what=$2
    if [ -s "$file" ]; then
        [ "$(tail -c 2 "$file" | od -An -c | tr -d ' ')" = '\r\n' ] ||
            fail "$what does not end in CR LF: torn? $(tail -c 40 "$file" | od -An -c | tail -n 2)"
    fi
    iconv -f GB18030 -t UTF-8 "$file" >"$work/utf8" 2>/dev/null || fail "$what is not GBK text"
    grep -vq $'\r$' "$work/utf8" && fail "$what has a line without CR LF"
    tr -d '\r' <"$work/utf8"
}

# Checks one state of the draw: results, pool (/dev/null when there is none) and the
# counters of the eight levels. The results must hold only whole lines, each winner once, a
# forfeit only after a winner; the pool only participants who are no winner, all of them
# together every photo; each counter its level's winners minus forfeits.
check_state() {
    local what=$1 results_text=$2 pool_text=$3 counters=$4 pool_present=$5
    awk -v what="$what" -v counters="$counters" -v photos="$photos" \
        -v forfeit="$forfeit_text" -v pool_present="$pool_present" '
        function bad(why) { print "e2e_crash: " what ": " why > "/dev/stderr"; failed = 1; exit 1 }
        function participant(name) {
            return name ~ /^员工[0-9][0-9]$/ && substr(name, length(name) - 1) + 0 >= 1 &&
                   substr(name, length(name) - 1) + 0 <= photos
        }
        FILENAME == ARGV[1] {
            if ($0 == forfeit) {
                if (last == "") bad("a forfeit line follows no winner (line " FNR ")")
                net[last]--; last = ""; next
            }
            n = split($0, part, "  ------  ")
            if (n != 2 || !participant(part[1]) || (part[2] != "特等奖" && part[2] != "一等奖"))
                bad("line " FNR " is no result line: [" $0 "]")
            if (part[1] in won) bad(part[1] " wins twice")
            won[part[1]] = 1; winners++
            level = part[2] == "特等奖" ? 1 : 2
            net[level]++; last = level; next
        }
        {
            if (!participant($0)) bad("pool line " FNR " is no participant: [" $0 "]")
            if ($0 in pooled) bad($0 " is twice in the pool")
            if ($0 in won) bad($0 " is a winner and still in the pool")
            pooled[$0] = 1; pool++
        }
        END {
            if (failed) exit 1
            if (pool_present && pool + winners != photos)
                bad(pool " in the pool + " winners " winners is not the " photos " photos")
            split(counters, c, " ")
            for (i = 1; i <= 8; i++)
                if (c[i] + 0 != net[i] + 0)
                    bad("计数" i " is " c[i] ", the results give " net[i] + 0)
        }' "$results_text" "$pool_text" || fail "$what is inconsistent"
}

# The counters 计数1..8 of section jindu, absent ones 0; every line of peizhi.a whole.
config_counters() {
    gbk_lines "$event/peizhi.a" peizhi.a >"$work/config"
    grep -Evq '^(\[[^]]+\]|[^=]+=.*|)$' "$work/config" && fail "peizhi.a has a torn line"
    grep -qx '特等奖人数=200' "$work/config" || fail "peizhi.a lost its prize table"
    local n v out=""
    for n in 1 2 3 4 5 6 7 8; do
        v=$(sed -n "/^\[jindu\]/,/^\[/s/^计数$n=//p" "$work/config")
        [[ "${v:-0}" =~ ^[0-9]+$ ]] || fail "计数$n is '$v'"
        out+="${v:-0} "
    done
    echo "$out"
}

# One field of the recovery record ("name length" LF, then the bytes, then LF).
record_field() {
    local header offset length
    header=$(LC_ALL=C grep -abo -m 1 "^$1 [0-9]*\$" "$record") || return 1
    offset=${header%%:*}
    header=${header#*:}
    length=${header#"$1 "}
    dd if="$record" iflag=skip_bytes,count_bytes skip=$((offset + ${#header} + 1)) \
        count="$length" status=none
}

# The record left by a kill: whole, consistent, and no older than the results file.
check_record() {
    [ -e "$record" ] || return 0
    LC_ALL=C grep -aq '^luckydraw recovery 1$' "$record" || fail "the recovery record has no header"
    record_field results >"$work/rec_results" || fail "the recovery record has no results"
    record_field pool >"$work/rec_pool" || fail "the recovery record has no pool"
    local counters
    counters=$(LC_ALL=C grep -a -m 1 '^counters ' "$record") || fail "the record has no counters"
    gbk_lines "$work/rec_results" "the record's results" >"$work/rec_results.txt"
    gbk_lines "$work/rec_pool" "the record's pool" >"$work/rec_pool.txt"
    check_state "the recovery record" "$work/rec_results.txt" "$work/rec_pool.txt" \
        "${counters#counters }" 1
    # Written before the results file: the same, or one line ahead of it.
    local have want
    have=$(wc -l <"$work/results.txt")
    want=$(wc -l <"$work/rec_results.txt")
    [ "$want" -eq "$have" ] || [ "$want" -eq $((have + 1)) ] ||
        fail "the recovery record has $want lines of results, 抽奖结果.txt $have"
    head -n "$have" "$work/rec_results.txt" | cmp -s - "$work/results.txt" ||
        fail "the recovery record and 抽奖结果.txt disagree"
    [ "$want" -eq "$have" ] || record_ahead=$((record_ahead + 1))
}

# The results file against what the operator has seen: every confirmed line, in order; one
# more only when a stop or forfeit was under way at the kill, and then taken as seen.
check_seen() {
    local have seen extra
    have=$(wc -l <"$work/results.txt")
    seen=$(wc -l <"$work/seen")
    head -n "$seen" "$work/results.txt" | cmp -s - "$work/seen" ||
        fail "抽奖结果.txt lost or changed a winner already shown: $(diff "$work/seen" "$work/results.txt" | head -n 6 | tr '\n' ' ')"
    [ "$have" -le $((seen + 1)) ] || fail "抽奖结果.txt has $((have - seen)) lines nobody was shown"
    [ "$have" -eq "$seen" ] && return 0
    extra=$(tail -n 1 "$work/results.txt")
    case "$pending" in
        winner) [[ "$extra" == *"  ------  $level" ]] || fail "an extra line '$extra' after a stop at $level" ;;
        forfeit) [ "$extra" = "$forfeit_text" ] || fail "an extra line '$extra' after a forfeit" ;;
        *) fail "抽奖结果.txt gained '$extra' with no stop under way" ;;
    esac
    echo "$extra" >>"$work/seen"
    if [ "$pending" = winner ]; then winners=$((winners + 1)); else forfeits=$((forfeits + 1)); fi
    recorded_level=$level
    completed=$((completed + 1))
}

results_text() {
    if [ -e "$results" ]; then gbk_lines "$results" 抽奖结果.txt >"$work/results.txt"; else : >"$work/results.txt"; fi
}

# After a kill: nothing torn, nothing shown lost, the record sound.
check_after_kill() {
    results_text
    check_record
    # The line under way may be in the record only; it is judged after the recovery.
    local seen
    seen=$(wc -l <"$work/seen")
    head -n "$seen" "$work/results.txt" | cmp -s - "$work/seen" ||
        fail "抽奖结果.txt lost or changed a winner already shown"
    if [ -e "$progress" ]; then gbk_lines "$progress" 进度.txt >/dev/null; fi
    config_counters >/dev/null
}

# After a start-up: the state the program goes on from, in its files.
check_after_start() {
    results_text
    check_seen
    pending=""
    [ -e "$journal" ] && fail "a save journal is left after the start-up"
    # A start-up removes them when older than itself, to the second: a kill just before it
    # may leave one for the next start.
    [ -z "$(find "$event" -maxdepth 1 -name '.ld-??????' ! -newermt "@$((launched_at - 3))")" ] ||
        fail "temporary files of interrupted writes are left after the start-up"
    local counters
    counters=$(config_counters)
    if [ -e "$progress" ]; then
        gbk_lines "$progress" 进度.txt >"$work/pool.txt"
        check_state "the files after the start-up" "$work/results.txt" "$work/pool.txt" "$counters" 1
    else
        [ ! -s "$work/results.txt" ] || fail "抽奖结果.txt has results but there is no 进度.txt"
        check_state "the files after a fresh start" "$work/results.txt" /dev/null "$counters" 0
    fi
}

# --- The operator's actions ---

# The level selector: a click opens its list of the two levels, Home or End marks one,
# Return takes it.
choose_level() {
    xdotool mousemove $((stage_x + 220)) $((stage_y + layout_h - 64)) click 1
    sleep 0.4
    if [ "$1" = 特等奖 ]; then xdotool key Home; else xdotool key End; fi
    sleep 0.1
    xdotool key Return
    sleep 0.4
    level=$1 forfeitable=0
}

results_count() { if [ -e "$results" ]; then wc -l <"$results"; else echo 0; fi; }

# Waits until the line of the stop or forfeit under way is in 抽奖结果.txt: from then on it
# counts as shown.
confirm_line() {
    local before=$1 kind=$2 line
    wait_for 15 eval '[ "$(results_count)" -gt '"$before"' ]' ||
        fail "no new line in 抽奖结果.txt after a $kind"
    results_text
    [ "$(wc -l <"$work/results.txt")" -eq $((before + 1)) ] || fail "the $kind wrote more than one line"
    head -n "$before" "$work/results.txt" | cmp -s - "$work/seen" ||
        fail "抽奖结果.txt lost or changed a winner already shown"
    line=$(tail -n 1 "$work/results.txt")
    if [ "$kind" = winner ]; then
        [[ "$line" == *"  ------  $level" ]] || fail "the stop recorded '$line', not a winner of $level"
    else
        [ "$line" = "$forfeit_text" ] || fail "the forfeit recorded '$line'"
    fi
    echo "$line" >>"$work/seen"
    recorded_level=$level
}

start_roll() {
    xdotool key Return
    pick 600
    sleep_ms $((250 + r))
}

draw_winner() {
    local before
    before=$(results_count)
    start_roll
    xdotool key Return
    confirm_line "$before" winner
    forfeitable=1
    sleep 0.6 # the start button comes back 200 ms after a stop
}

# 放弃当前中奖人 is the third entry from the end of the pop-up menu.
ask_forfeit() {
    popup_menu
    xdotool key Up Up Up Return
    answer_once "确定放弃当前奖项？" Return
}

forfeit_winner() {
    local before
    before=$(results_count)
    ask_forfeit
    confirm_line "$before" forfeit
    forfeitable=0
    # Without a window manager nobody gives the keyboard back to the stage when the box closes.
    focus "$stage"
}

open_exit_question() {
    popup_menu
    xdotool key Up Return
    wait_for 30 visible_window "退出是否保存进度？" || fail "no exit question"
    sleep 0.3
}

# Starts the program and answers what it asks: the recovery question when a record is
# there (then nothing more may be asked), else the resume question when 进度.txt is there.
# Sometimes the recovery itself is killed and started again.
start_up() {
    local had_record=0
    launched_at=$(date +%s)
    [ -e "$record" ] && had_record=1
    launch
    if [ "$had_record" = 1 ]; then
        pick 8
        if [ "$r" = 0 ]; then
            # The recovery writes the counters and 进度.txt through the save journal.
            keep_old "$journal" watched
            wait_for 30 visible_window 提示 || fail "no recovery question"
            sleep 0.3
            pick 4
            extras=(0 700 1500 3000)
            kill_on_write y "$journal" "${extras[$r]}"
            kill_program
            kills_startup=$((kills_startup + 1))
            echo "e2e_crash: cycle $cycle: killed ${extras[$r]} us after the recovery's journal"
            check_after_kill
            start_up
            return
        fi
        pick 4
        if [ "$r" = 0 ] && [ -e "$progress" ]; then
            # No to the recovery, Yes to the older save: the results still rule the pool.
            answer 提示 n
            answer 提示 y
            wait_for 30 stage_or_question || fail "the draw screen does not appear"
            if visible_window 提示; then answer 提示 Return; fi
            no_then_yes=$((no_then_yes + 1))
            how="resumed after No to the recovery"
            had_record=0 # resumed, not recovered: no level is selected again
        else
            answer 提示 y
            recoveries=$((recoveries + 1))
            how=recovered
        fi
    elif [ -e "$progress" ]; then
        answer 提示 y
        resumes=$((resumes + 1))
        how=resumed
    else
        how="started afresh"
    fi
    await_stage
    check_after_start
    # The recovered level is selected again: sometimes the draw goes on in it unchosen.
    pick 2
    if [ "$had_record" = 1 ] && [ -n "$recorded_level" ] && [ "$r" = 0 ]; then
        level=$recorded_level forfeitable=0
    else
        pick 2
        choose_level "${levels[$r]}"
    fi
}

# --- The cycles ---
: >"$work/seen"
winners=0 forfeits=0 completed=0 recoveries=0 resumes=0 no_then_yes=0 clean_exits=0
kills_roll=0 kills_stop=0 kills_forfeit=0 kills_idle=0 kills_save=0 kills_startup=0
save_journal=0 save_done=0 save_before=0 record_ahead=0
pending="" level="" recorded_level="" forfeitable=0
started=$(date +%s)

for cycle in $(seq 1 "$cycles"); do
    start_up
    left=$((photos - $(wc -l <"$work/seen")))
    pick 3
    draws=$r
    [ "$left" -gt 8 ] || draws=0
    for _ in $(seq 1 "$draws"); do
        draw_winner
        winners=$((winners + 1))
        pick 8
        if [ "$r" = 0 ]; then
            forfeit_winner
            forfeits=$((forfeits + 1))
        fi
    done

    pick 100
    way=$r
    [ "$left" -gt 8 ] || way=$((62 + way % 38)) # no more draws: an exit, saved or killed
    if [ "$way" -lt 20 ]; then
        start_roll
        kills_roll=$((kills_roll + 1))
        ending="killed rolling"
    elif [ "$way" -lt 44 ]; then
        start_roll
        keep_old "$record" watched
        pending=winner
        kills_stop=$((kills_stop + 1))
        pick 2
        if [ "$r" = 0 ]; then
            xdotool key Return
            pick 60
            sleep_ms "$r"
            ending="killed $r ms after a stop"
        else
            kill_on_write Return "$record"
            ending="killed as the stop wrote its recovery record"
        fi
    elif [ "$way" -lt 54 ] && [ "$forfeitable" = 1 ]; then
        keep_old "$record" watched
        popup_menu
        xdotool key Up Up Up Return
        wait_for 30 visible_window "确定放弃当前奖项？" || fail "no forfeit question"
        sleep 0.3
        pending=forfeit
        kills_forfeit=$((kills_forfeit + 1))
        pick 2
        if [ "$r" = 0 ]; then
            xdotool key Return
            pick 60
            sleep_ms "$r"
            ending="killed $r ms after a forfeit"
        else
            kill_on_write Return "$record"
            ending="killed as the forfeit wrote its recovery record"
        fi
    elif [ "$way" -lt 62 ]; then
        kills_idle=$((kills_idle + 1))
        ending="killed idle"
    elif [ "$way" -lt 94 ]; then
        # The save ends some tens of milliseconds after the key: the kill lands before it,
        # inside it or after it.
        open_exit_question
        keep_old "$progress" progress.old
        keep_old "$journal" watched
        pick 2
        if [ "$r" = 0 ]; then
            xdotool key y
            pick 150
            sleep_ms "$r"
            ending="killed $r ms after 是 to the exit question"
        else
            pick 4
            extras=(0 700 1500 3000)
            kill_on_write y "$journal" "${extras[$r]}"
            ending="killed ${extras[$r]} us after the exit save's journal"
        fi
        kills_save=$((kills_save + 1))
        kill_program
        if [ -e "$journal" ]; then
            save_journal=$((save_journal + 1))
            ending+=" (inside the commit)"
        elif replaced "$progress" progress.old; then
            save_done=$((save_done + 1))
            ending+=" (after the commit)"
        else
            save_before=$((save_before + 1))
            ending+=" (before the commit)"
        fi
    else
        open_exit_question
        answer 退出是否保存进度？ y
        answer 提示 Return
        wait_for 30 program_gone || fail "the program is still running after a saving exit"
        wait "$pid" 2>/dev/null || true
        pid=""
        sleep 0.5
        [ ! -e "$record" ] || fail "the recovery record is left after a clean exit"
        [ ! -e "$journal" ] || fail "the save journal is left after a clean exit"
        [ -e "$progress" ] || fail "no 进度.txt after a saving exit"
        clean_exits=$((clean_exits + 1))
        ending="ended with a saving exit"
    fi
    [ -z "$pid" ] || kill_program
    check_after_kill
    echo "e2e_crash: cycle $cycle: $how, $draws draws, $ending"
done
cycle=$((cycles + 1))
start_up
kill_program

echo "e2e_crash: $cycles cycles in $(($(date +%s) - started)) s; $winners winners and $forfeits forfeits" \
    "recorded ($completed of them under way at a kill); $recoveries recoveries, $no_then_yes times No then Yes, $resumes resumes," \
    "$clean_exits clean exits; $record_ahead times a kill found the record a line ahead of 抽奖结果.txt"
echo "e2e_crash: kills: $kills_roll rolling, $kills_stop at a stop, $kills_forfeit at a forfeit," \
    "$kills_idle idle, $kills_startup during the recovery, $kills_save during the exit save" \
    "($save_before before its commit, $save_journal inside it, $save_done after it)"
echo "e2e_crash: PASS (seed $seed)"
