#!/usr/bin/env bash
# Check-in, name list import and export run on threads of their own: their tests again under
# ThreadSanitizer. Only the three test programs that hold them are built, so that this stays a
# few minutes of CI. Any race report fails the run (the program exits with 66).
set -euo pipefail
build=${1:-build-tsan}
cd "$(dirname "$0")/.."
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLD_TSAN=ON -DLD_BENCH=OFF
cmake --build "$build" -j "$(nproc)" --target checkin_tests export_tests app_tests

export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
export TSAN_OPTIONS="exitcode=66 second_deadlock_stack=1 suppressions=$PWD/tests/tsan.supp"
failed=()
# A hung program must not eat CI's budget: each gets ten minutes (exit 124 when cut off).
run() {
    echo "== $*"
    local status=0
    timeout 600 "$@" || status=$?
    ((status == 0)) || failed+=("$(basename "$1") exited with $status")
}
run "$build/checkin_tests"
run "$build/export_tests"
# The stage's side of check-in, import and export: the desk and the check-in link.
run "$build/app_tests" --gtest_filter='CheckinLink.*:Desk.*'

if ((${#failed[@]})); then
    echo "ThreadSanitizer run failed (66: a race report): ${failed[*]}"
    exit 1
fi
echo "ThreadSanitizer run: checkin_tests, export_tests, app_tests (check-in and desk) passed"
