# Sourced by the scripts that run the Windows build under Wine: the build folder's own Wine
# prefix (made when missing) and one persistent wineserver, stopped when the script exits.
# Needs $build, the Windows build folder's absolute path.
export WINEPREFIX="$build/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
wine64="$(command -v wine64 || echo /usr/lib/wine/wine64)"
wineserver="$(command -v wineserver || echo /usr/lib/wine/wineserver)"

"$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh" "$WINEPREFIX"

# One persistent wineserver, started before any program: otherwise Wine's services are
# started by the first program and inherit its pipes, and whoever reads them waits for ever.
"$wineserver" -k 2>/dev/null || true  # one left by an earlier run would refuse -p
"$wineserver" -p
trap '"$wineserver" -k 2>/dev/null || true' EXIT
DISPLAY= timeout 120 "$wine64" cmd /c exit
# Wine's desktop process too (explorer.exe /desktop; it stays until the wineserver ends):
# otherwise the first program with a window starts it (winmm makes one for waveOut), it
# inherits that program's output, and CTest counted the test as running for 10 to 25 s more.
DISPLAY= timeout -k 5 7200 "$wine64" explorer.exe /desktop >/dev/null 2>&1 </dev/null &
for _ in $(seq 50); do
    for pid in $(pgrep -f 'explorer.exe /desktop'); do
        grep -qz "^WINEPREFIX=$WINEPREFIX\$" "/proc/$pid/environ" 2>/dev/null && break 2
    done
    sleep 0.1
done
sleep 0.5  # its desktop window is made just after it starts
