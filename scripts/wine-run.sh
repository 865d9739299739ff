#!/usr/bin/env bash
# Runs a Windows program under Wine: the Windows build's CMAKE_CROSSCOMPILING_EMULATOR, so
# CTest runs every test program through it. Always with a time limit: a program that opens a
# window where there is no display waits for ever instead of failing.
# The Wine prefix is the build folder's own (wine-prefix/ beside the program), made by
# scripts/windows-tests.sh; WINEPREFIX in the environment wins.
set -euo pipefail
program="$1"
export WINEPREFIX="${WINEPREFIX:-$(cd "$(dirname "$program")" && pwd)/wine-prefix}"
export WINEDEBUG=-all
# No Mono or Gecko installer prompts, no menu entries.
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
wine64="$(command -v wine64 || echo /usr/lib/wine/wine64)"
exec timeout -k 5 "${LD_WINE_TIMEOUT:-300}" "$wine64" "$@"
