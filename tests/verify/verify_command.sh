#!/usr/bin/env bash
# `luckydraw --verify <record>` as a person runs it: on a finished verified event it prints the
# winners and 复核通过 and exits with 0; with one winner changed in the record, 复核未通过
# and 1. The event is made by write_verified_event. Windows programs (.exe) run under Wine.
#   verify_command.sh <luckydraw> <write_verified_event>
set -euo pipefail
export LC_ALL=C.UTF-8  # Wine turns the Chinese argument into UTF-16 by the locale
program="$(realpath "$1")"
writer="$(realpath "$2")"
runner="$(cd "$(dirname "$0")/../../scripts" && pwd)/wine-run.sh"
run() {
    case "$1" in *.exe) DISPLAY= "$runner" "$@" ;; *) "$@" ;; esac
}
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/event"
(cd "$work/event" && run "$writer")
cd "$work"

expect() {  # expect <exit code> <verdict> <what>
    local code=0
    run "$program" --verify event/公证记录.jsonl >out.txt 2>err.txt || code=$?
    tr -d '\r' <out.txt >report.txt
    if [ "$code" != "$1" ] || ! grep -q "^$2" report.txt; then
        echo "FAILED: $3: exit code $code (wanted $1), report:" >&2
        cat out.txt err.txt >&2
        exit 1
    fi
}

expect 0 复核通过 "the whole record"
grep -q '^一等奖：' report.txt || { echo "FAILED: no winner of 一等奖 in the report" >&2; exit 1; }
# The first stop's winner changed to another name: the record's chain breaks there.
sed -i '3s/"winners":\["[^"]*"/"winners":["某人"/' event/公证记录.jsonl
expect 1 复核未通过 "a changed winner"
