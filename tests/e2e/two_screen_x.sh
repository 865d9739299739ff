#!/usr/bin/env bash
# Starts an X server with two 1920x1080 monitors side by side, LEFT at (0, 0) and RIGHT at
# (1920, 0), that Qt sees as two screens. Plain Xvfb cannot: Qt's xcb platform reads RandR
# monitors, and Xvfb's RandR cannot define them. The mouse stays on LEFT (the one monitor
# with an output); windows, keys and screenshots reach both.
#   two_screen_x.sh :N <folder>   starts Xorg on display :N (dummy video driver) with its
#                                 configuration and log in <folder>, prints its pid and
#                                 leaves it running; stop it with kill <pid>.
# Needs xserver-xorg-core, xserver-xorg-video-dummy and x11-xserver-utils; root where the
# system lets no one else start Xorg.
set -euo pipefail
display=${1:?usage: two_screen_x.sh :N <folder>}
dir=${2:?usage: two_screen_x.sh :N <folder>}
mkdir -p "$dir"
cat >"$dir/xorg.conf" <<'CONF'
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 256000
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
    Modeline "1920x1080" 148.50 1920 2008 2052 2200 1080 1084 1089 1125 +hsync +vsync
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 3840 1080
        Modes "1920x1080"
    EndSubSection
EndSection
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoAddGPU" "false"
EndSection
CONF
Xorg "$display" -noreset -nolisten tcp -config "$dir/xorg.conf" -logfile "$dir/xorg.log" \
    >/dev/null 2>&1 &
pid=$!
# A server that comes up but cannot be set up is not left behind.
trap 'kill "$pid" 2>/dev/null || true' ERR
export DISPLAY=$display
up() { xrandr >/dev/null 2>&1; }
for _ in $(seq 100); do up && break; kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if ! up; then
    kill "$pid" 2>/dev/null || true
    echo "two_screen_x: Xorg did not start on $display; its log:" >&2
    tail -n 15 "$dir/xorg.log" >&2 2>/dev/null || true
    exit 1
fi
xrandr --fb 3840x1080
output=$(xrandr | awk '/ connected/ {print $1; exit}')
xrandr --setmonitor LEFT 1920/508x1080/286+0+0 "$output" >/dev/null
xrandr --setmonitor RIGHT 1920/508x1080/286+1920+0 none >/dev/null
echo "$pid"
