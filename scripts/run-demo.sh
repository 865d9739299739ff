#!/usr/bin/env bash
# Starts the demo event: a copy of the program in <build>/demo/ with the generated demo data
# beside it, since the program's data folder is the folder it lives in.
#   scripts/run-demo.sh [build folder]        (default: build)
# The demo folder is laid out on the first run and again whenever the build generated demo
# data that differs from what was laid out; a newer program is copied in without touching
# the demo's draw. Start the demo over with: rm -rf <build>/demo
set -euo pipefail
build=${1:-build}
program="$build/luckydraw"
data="$build/demo-event"
generated="$build/demo-event.stamp"
demo="$build/demo"
laid_out="$demo/.laid-out"

if [ ! -x "$program" ] || [ ! -e "$generated" ]; then
    echo "run-demo: $program or the demo data is missing; build first (make build)" >&2
    exit 1
fi

# The generator makes the same bytes from the same code, so a rebuild that only relinked it
# leaves the demo's draw alone.
fingerprint() {
    (cd "$data" && find . -type f -print0 | sort -z | xargs -0 md5sum | md5sum)
}
if [ ! -e "$laid_out" ] || { [ "$generated" -nt "$laid_out" ] &&
    [ "$(fingerprint)" != "$(cat "$laid_out")" ]; }; then
    echo "run-demo: laying out the demo event in $demo"
    rm -rf "$demo"
    mkdir -p "$demo"
    cp -R "$data/." "$demo/"
    fingerprint >"$laid_out"
elif [ "$generated" -nt "$laid_out" ]; then
    touch "$laid_out"
fi
if [ ! -e "$demo/luckydraw" ] || [ "$program" -nt "$demo/luckydraw" ]; then
    cp -p "$program" "$demo/luckydraw"
fi

cd "$demo"
exec ./luckydraw
