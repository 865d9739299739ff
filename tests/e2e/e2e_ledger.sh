#!/usr/bin/env bash
# End to end: 抽奖结果.txt is the ledger, whatever the operator answers after a crash, and a
# reset or a second start cannot bend it. Six participants, one level of six:
#   run 1: one winner, exit and save;
#   run 2: resumed, a second winner, then the program is killed (SIGKILL);
#   run 3: No to the recovery, Yes to the resume of the older save: the second winner is
#          taken out of the pool (the operator is told), and the level is drawn to its end
#          with six distinct winners; a second program started in the same folder says that
#          one is running there and ends, changing nothing;
#   the reset (软件初始化) restarts the program with no question: no recovery of the
#   rehearsal, no resume, no results.
#   tests/e2e/e2e_ledger.sh <path of luckydraw>
set -euo pipefail

program=$(readlink -f "${1:?usage: e2e_ledger.sh <path of luckydraw>}")
if [ -z "${E2E_LEDGER_OWN_DISPLAY:-}" ]; then
    export E2E_LEDGER_OWN_DISPLAY=1
    exec xvfb-run -a -n 150 -s "-screen 0 1280x800x24" "$0" "$program"
fi
for tool in xdotool convert iconv pgrep; do
    command -v "$tool" >/dev/null || { echo "e2e: $tool is missing" >&2; exit 1; }
done
export QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy LC_ALL=C.UTF-8
unset SESSION_MANAGER

work=$(mktemp -d "${TMPDIR:-/tmp}/ld-ledger.XXXXXX")
# shellcheck source=e2e_common.sh
. "$(dirname "$0")/e2e_common.sh"

names=(张三 李四 王五 赵六 孙七 周八)
mkdir -p "$work/event/photo"
install_program "$work/event"
for name in "${names[@]}"; do convert -size 320x240 xc:'#3060a0' "$work/event/photo/$name.jpg"; done
{
    crlf_gbk "[zbt]"
    crlf_gbk "特等奖=特等奖"
    crlf_gbk "特等奖人数=6"
    crlf_gbk "界面大小=窗口"
    crlf_gbk "禁用特效=真"
} >"$work/event/peizhi.a"
results="$work/event/抽奖结果.txt"
winners() { iconv -f GB18030 -t UTF-8 "$results" | tr -d '\r' | sed -n 's/  ------  特等奖$//p'; }

# Run 1 and run 2: a saved winner, then one more after the save, then a crash.
start_program
await_stage
choose_level_with_keys
draw_once 0
exit_and_save
start_program
answer "提示" y
await_stage
choose_level_with_keys
draw_once "$(results_size)"
kill -9 "$pid"
wait "$pid" 2>/dev/null || true

# Run 3: No to the recovery, Yes to the older save; the start takes the later winner out.
start_program
answer "提示" n
answer "提示" y
answer "提示" Return
await_stage
# Saved at once as the results say: two winners, neither of them in 进度.txt.
[ "$(counter 1)" = 2 ] || fail "计数1 is '$(counter 1)' after the start, not 2"
for name in $(winners); do
    iconv -f GB18030 -t UTF-8 "$work/event/进度.txt" | tr -d '\r' | grep -qx "$name" &&
        fail "进度.txt still holds the winner $name"
done
choose_level_with_keys
for _ in 1 2 3 4; do draw_once "$(results_size)"; done
[ "$(winners | wc -l)" = 6 ] || fail "the level of six has $(winners | wc -l) winners"
[ "$(winners | sort -u | wc -l)" = 6 ] || fail "a winner won twice: $(winners | tr '\n' ' ')"

# A second program in the same folder ends after saying so; the first goes on untouched.
first=$pid
before=$(md5sum "$results" "$work/event/peizhi.a")
start_program
answer "提示" Return
wait_for 30 program_gone || fail "the second program is still running"
pid=$first
kill -0 "$pid" || fail "the first program ended"
[ "$(md5sum "$results" "$work/event/peizhi.a")" = "$before" ] || fail "the second start changed files"

# The reset: 软件初始化 is the pop-up menu's last entry but one.
focus "$stage"
xdotool mousemove $((stage_x + 60)) $((stage_y + 300)) click 3
sleep 0.5
xdotool key Up Up Return
answer "确定初始化？" Return
answer "信息：" Return
wait_for 30 program_gone || fail "the program did not end for its restart"
restarted() { pid=$(pgrep -n -f "$work/event/luckydraw") && [ -n "$pid" ]; }
wait_for 30 restarted || fail "the program did not start again after the reset"
await_stage
sleep 2
for caption in 提示 信息：; do
    visible_window "$caption" && fail "the start after the reset asks '$caption'"
done
for file in 抽奖结果.txt 进度.txt .ld-recovery .ld-reset; do
    [ -e "$work/event/$file" ] && fail "$file is still there after the reset"
done
[ "$(ls "$work/event/history" | wc -l)" -ge 1 ] || fail "the results were not kept in history/"
echo "e2e_ledger: passed (6 distinct winners after No then Yes; second start refused; reset clean)"
