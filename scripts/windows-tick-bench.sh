#!/usr/bin/env bash
# The roll tick benchmarks with windows on screen, the Windows build's under Wine against the
# Linux build's, in one run: scripts/windows-tick-bench.sh <linux build> <windows build> [rounds]
# The 50-tile batch tick (batch_tick_bench) and the check-in storm while the stage rolls
# (checkin_bench: 300 uploads from 20 clients to 127.0.0.1). Both programs paint real
# windows on one Xvfb server (Qt through xcb, Wine through its X11 driver), taking turns
# (Linux, Wine, Linux, Wine ...) so that a drift of the machine's speed touches both; per
# figure the median of the rounds is compared.
set -euo pipefail
linux="$(cd "${1:-build}" && pwd)"
build="$(cd "${2:-build-windows}" && pwd)"
rounds="${3:-3}"
here="$(cd "$(dirname "$0")" && pwd)"

if [ -z "${LD_TICK_BENCH_DISPLAY:-}" ]; then
    # Once more inside a virtual screen as large as the stage the grid benchmark uses.
    exec env LD_TICK_BENCH_DISPLAY=1 xvfb-run -a -s "-screen 0 1920x1080x24" \
        "$0" "$linux" "$build" "$rounds"
fi

export WINEPREFIX="$build/wine-prefix-bench"
export WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
wine64="$(command -v wine64 || echo /usr/lib/wine/wine64)"
wineserver="$(command -v wineserver || echo /usr/lib/wine/wineserver)"
"$here/wine-prefix.sh" "$WINEPREFIX" --fonts >&2  # the names on the tiles are Chinese
"$wineserver" -k 2>/dev/null || true
"$wineserver" -p
trap '"$wineserver" -k 2>/dev/null || true' EXIT

out="$build/tick-bench-results"
rm -rf "$out"
mkdir -p "$out"
for round in $(seq 1 "$rounds"); do
    for bench in batch_tick_bench checkin_bench; do
        echo "round $round: $bench (Linux, then Wine)"
        QT_QPA_PLATFORM=xcb timeout 600 "$linux/$bench" >"$out/linux-$bench-$round.txt" 2>/dev/null ||
            echo "  the Linux run failed ($?)"
        (cd "$build" && timeout 600 "$wine64" "./$bench.exe" >"$out/wine-$bench-$round.txt" 2>/dev/null) ||
            echo "  the Wine run failed ($?)"
    done
done

python3 - "$out" <<'PY'
import glob, re, statistics, sys
out = sys.argv[1]
# The lines both builds print alike: a case's name, then its p50 and p99 in ms.
cases = [
    ('batch tick: single photo box', re.compile(r'^single photo box .*p50\s+([\d.]+) ms\s+p99\s+([\d.]+) ms')),
    ('batch tick: 50-tile grid', re.compile(r'^batch grid, .*p50\s+([\d.]+) ms\s+p99\s+([\d.]+) ms')),
    ('storm: roll tick, no check-ins', re.compile(r'^\s+baseline: no check-ins .*p50\s+([\d.]+) ms\s+p99\s+([\d.]+) ms')),
    ('storm: roll tick during check-ins', re.compile(r'^\s+during the check-ins .*p50\s+([\d.]+) ms\s+p99\s+([\d.]+) ms')),
]
rate = re.compile(r'^\s+rate\s+([\d.]+) check-ins/s')
landed = re.compile(r'^\s+landed\s+(\d+) answered 200, (\d+) photos')
def medians(side):
    seen, runs = {}, 0
    for path in sorted(glob.glob(f'{out}/{side}-*.txt')):
        for line in open(path, errors='replace'):
            for name, pattern in cases:
                m = pattern.match(line)
                if m:
                    seen.setdefault(name + '  p50', []).append(float(m[1]))
                    seen.setdefault(name + '  p99', []).append(float(m[2]))
            if m := rate.match(line):
                seen.setdefault('storm: check-ins per second', []).append(float(m[1]))
            if m := landed.match(line):
                seen.setdefault('storm: answered 200 (of 300)', []).append(float(m[1]))
    return {k: (statistics.median(v), len(v)) for k, v in seen.items()}
linux, wine = medians('linux'), medians('wine')
print(f'\n{"median of the rounds (ms unless said)":44} {"Linux":>9} {"Wine":>9} {"Wine/Linux":>10}  rounds')
for name in list(dict.fromkeys([*linux, *wine])):
    l, w = linux.get(name), wine.get(name)
    show = lambda v: f'{v[0]:9.3f}' if v else f'{"-":>9}'
    ratio = f'{w[0] / l[0]:10.2f}' if l and w and l[0] else f'{"-":>10}'
    print(f'{name:44} {show(l)} {show(w)} {ratio}  {l[1] if l else 0}/{w[1] if w else 0}')
PY
echo "Each run's output: $out"
