#!/usr/bin/env bash
# End to end: a verified draw on the real program, full screen at 1920 x 1080, driven by
# xdotool.
#   1. 活动工具 → 公证抽奖 seals the ten photos; three people's digits are typed into the
#      window and confirmed; the stage's band shows the fingerprint, the commitment and them.
#   2. Two stops; the exit without saving ends the event and reveals the secret.
#   3. The program's own verifier (luckydraw --verify) and the stand-alone script both say
#      复核通过 on the files the program wrote.
# E2E_SHOTS=<folder> keeps screenshots of the seed window, the sealed stage and a winner, and
# the verifier's output.
#   tests/e2e/e2e_verified.sh <path of luckydraw>
set -euo pipefail

program=$(readlink -f "${1:?usage: e2e_verified.sh <path of luckydraw>}")
if [ -z "${E2E_VERIFIED_OWN_DISPLAY:-}" ]; then
    export E2E_VERIFIED_OWN_DISPLAY=1
    exec xvfb-run -a -n 171 -s "-screen 0 1920x1080x24" "$0" "$program"
fi
for tool in xdotool convert iconv import; do
    command -v "$tool" >/dev/null || { echo "e2e: $tool is missing" >&2; exit 1; }
done
export QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy LC_ALL=C.UTF-8
unset SESSION_MANAGER
xset r on 2>/dev/null || true

work=$(mktemp -d "${TMPDIR:-/tmp}/ld-e2e-verified.XXXXXX")
# shellcheck source=e2e_common.sh
. "$(dirname "$0")/e2e_common.sh"

event="$work/event"
results="$event/抽奖结果.txt"
lines() { if [ -e "$results" ]; then tr -cd '\n' <"$results" | wc -c; else echo 0; fi; }

mkdir -p "$event/photo"
install_program "$event"
for i in $(seq 1 10); do
    convert -size 480x640 "gradient:#$((20 + i * 7))4070-#e0b0$((10 + i * 8))" \
        "$event/photo/嘉宾$(printf %02d "$i").jpg"
done
{
    crlf_gbk "[zbt]"
    crlf_gbk "特等奖=特等奖"
    crlf_gbk "特等奖人数=3"
    crlf_gbk "禁用特效=真"
    crlf_gbk "背景音乐=假"
} >"$event/peizhi.a"

start_program
await_stage
sleep 0.5

# 1. The seal from 活动工具 (公证抽奖 is its second entry from the end), then the digits.
xdotool mousemove $((stage_x + 900)) $((stage_y + 500))
xdotool keydown ctrl click 3 keyup ctrl
sleep 0.7
xdotool key Up Up Return
answer "公证抽奖" Return
[ -s "$event/公证名单.txt" ] || fail "no sealed list after 开始公证"
for digits in 314159 265358 979323; do
    wait_for 20 visible_window "现场数字" || fail "no window for the hall's digits"
    id=$(windows_named "现场数字" | sed -n 1p)
    [ -z "$e2e_wine" ] || xdotool windowfocus "$id" 2>/dev/null || true
    sleep 0.4
    xdotool type --delay 60 "$digits"
    sleep 0.3
    [ "$digits" != 265358 ] || shoot "seed-window"
    xdotool key Return
    wait_for 20 eval '! windows_named 现场数字 | grep -x "$id" >/dev/null' ||
        fail "the digits window stays open"
done
answer "确认现场数字" y
wait_for 20 eval 'grep -q "\"type\":\"seed\",\"digits\":\"314159265358979323\"" "$event/公证记录.jsonl"' ||
    fail "the record has no seed entry with the typed digits"
sleep 0.5
shoot "stage-sealed"

# 2. Two stops, then the exit without saving.
focus "$stage"
choose_level_with_keys
draw_once 0
draw_once "$(results_size)"
sleep 0.5
shoot "stage-winner"
[ "$(grep -c '"type":"stop"' "$event/公证记录.jsonl")" -eq 2 ] || fail "not two stop entries"
xdotool mousemove $((stage_x + 60)) $((stage_y + 300)) click 3
sleep 0.5
xdotool key Up Return
answer "退出是否保存进度？" n
wait_for 30 program_gone || fail "the program is still running after the exit"
pid=""
grep -q '"type":"reveal"' "$event/公证记录.jsonl" || fail "the exit did not reveal the secret"
[ ! -e "$event/.公证密钥" ] || fail "the secret's file outlived the reveal"

# 3. Both verifiers on the program's files.
report="$work/verify.txt"
if [ -n "$e2e_wine" ]; then
    (cd "$event" && "$wine64" "./$program_file" --verify 公证记录.jsonl >"$report" 2>/dev/null) ||
        fail "luckydraw.exe --verify failed: $(cat "$report")"
else
    (cd "$event" && "./$program_file" --verify 公证记录.jsonl >"$report") ||
        fail "luckydraw --verify failed: $(cat "$report")"
fi
grep -q "^特等奖：.*、" "$report" || fail "the verifier's report has no winners: $(cat "$report")"
tail -n 1 "$report" | tr -d '\r' | grep -qx "复核通过" || fail "the verifier says: $(cat "$report")"
script_out=$(python3 "$(dirname "$0")/../../tools/verify/verify_draw.py" "$event/公证记录.jsonl" \
    "$event/公证名单.txt" "$event/抽奖结果.txt") || fail "the script says: $script_out"
[ -z "${E2E_SHOTS:-}" ] || cp "$report" "$E2E_SHOTS/verify.txt"
echo "e2e_verified: passed ($(tr -d '\r' <"$report" | grep '^特等奖'); both verifiers: 复核通过)"
