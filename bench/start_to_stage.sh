#!/usr/bin/env bash
# From the program's start to its draw screen on the display, with 10,000 photos in the
# photo folder: bench/start_to_stage.sh <luckydraw or luckydraw.exe>. The Windows build runs
# under Wine (its own prefix beside it, as the end-to-end tests use). Meant to be timed from
# outside, the two builds side by side, on an X display with a window manager:
#   xvfb-run -a -s "-screen 0 1920x1080x24" sh -c 'twm -f tests/e2e/twmrc & farm-bench \
#     --timeout 900 -- bench/start_to_stage.sh build-windows/luckydraw.exe \
#     --vs "bench/start_to_stage.sh build/luckydraw"'
# The event folder is laid out in $TMPDIR by the first run and kept; the program is killed
# once its draw screen shows, so nothing is saved.
set -euo pipefail
program=$(readlink -f "${1:?usage: start_to_stage.sh <path of luckydraw>}")
here=$(cd "$(dirname "$0")" && pwd)
base="${TMPDIR:-/tmp}/ld-start-to-stage"
name=luckydraw
case "$program" in *.exe) name=luckydraw.exe ;; esac
event="$base/${name%.*}"

if [ ! -e "$base/photos.done" ]; then
    rm -rf "$base"
    mkdir -p "$base/photo"
    convert -size 640x480 gradient:'#3060a0-#a06030' -quality 85 "$base/one.jpg"
    for i in $(seq 1 10000); do ln "$base/one.jpg" "$base/photo/参加者$i.jpg"; done
    touch "$base/photos.done"
fi
# Laid out again only for a new build of the program, so a timed run is the start alone.
if [ ! -e "$event/$name" ] || [ "$program" -nt "$event/$name" ]; then
    rm -rf "$event"
    mkdir -p "$event"
    cp -al "$base/photo" "$event/photo"
    cp -p "$program" "$event/$name"
fi

cd "$event"
if [ "$name" = luckydraw.exe ]; then
    export WINEPREFIX="$(dirname "$program")/wine-prefix-e2e" WINEDEBUG=-all
    export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
    "$here/../scripts/wine-prefix.sh" "$WINEPREFIX" --fonts >/dev/null
    "$(command -v wine64 || echo /usr/lib/wine/wine64)" "./$name" >/dev/null 2>&1 &
else
    QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy "./$name" >/dev/null 2>&1 &
fi
pid=$!
# The draw screen: a visible window of the program as large as the screen.
for _ in $(seq 1200); do
    for id in $(xdotool search --onlyvisible --pid "$pid" --name '.+' 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$id")"
        if [ "$WIDTH" -ge 1000 ]; then
            kill -9 "$pid"
            exit 0
        fi
    done
    sleep 0.05
done
kill -9 "$pid"
echo "start_to_stage: no draw screen within a minute" >&2
exit 1
