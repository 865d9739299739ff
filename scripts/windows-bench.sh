#!/usr/bin/env bash
# The picture and sound benchmarks of the Windows build under Wine against the Linux build's,
# in one run: scripts/windows-bench.sh <linux build> <windows build> [rounds].
# The programs run in turn (Linux, Wine, Linux, Wine ...) so that a drift of the machine's
# speed touches both; per benchmark the median of the rounds is compared. Both sound
# benchmarks decode the same MP3 files, made by the Linux one (Wine cannot start lame).
set -euo pipefail
linux="$(cd "${1:-build}" && pwd)"
build="$(cd "${2:-build-windows}" && pwd)"
rounds="${3:-3}"
source "$(dirname "$0")/wine-env.sh"

out="$build/bench-results"
music="$(mktemp -d)"
rm -rf "$out"
mkdir -p "$out"
trap 'rm -rf "$music"; "$wineserver" -k 2>/dev/null || true' EXIT

for round in $(seq 1 "$rounds"); do
    for bench in picture_bench sound_bench; do
        echo "round $round: $bench (Linux, then Wine)"
        LD_SOUND_BENCH_MUSIC="$music" timeout 600 "$linux/$bench" \
            >"$out/linux-$bench-$round.txt" 2>/dev/null
        LD_SOUND_BENCH_MUSIC="Z:$music" DISPLAY= timeout 900 "$wine64" "$build/$bench.exe" \
            >"$out/wine-$bench-$round.txt" 2>/dev/null
    done
done

python3 - "$out" <<'PY'
import glob, re, statistics, sys
out = sys.argv[1]
row = re.compile(r'^(\S+)\s+([\d.]+) (ns|us|ms|s)\s+([\d.]+) (ns|us|ms|s)\s+\d+')
ansi = re.compile(r'\x1b\[[0-9;]*m')  # Google Benchmark colours a custom reporter's table
scale = {'ns': 1e-9, 'us': 1e-6, 'ms': 1e-3, 's': 1.0}
def medians(side):
    seen = {}
    for path in sorted(glob.glob(f'{out}/{side}-*.txt')):
        for line in open(path):
            m = row.match(ansi.sub('', line))
            if m:
                seen.setdefault(m[1], []).append(float(m[2]) * scale[m[3]])
    return {name: statistics.median(v) for name, v in seen.items()}
linux, wine = medians('linux'), medians('wine')
def show(s):
    return f'{s * 1e3:.3f} ms' if s < 1 else f'{s:.2f} s'
print(f'\n{"benchmark (median real time)":44} {"Linux":>12} {"Wine":>12} {"Wine/Linux":>10}')
for name in linux:
    if name in wine:
        print(f'{name:44} {show(linux[name]):>12} {show(wine[name]):>12} '
              f'{wine[name] / linux[name]:10.2f}')
    else:
        print(f'{name:44} {show(linux[name]):>12} {"-":>12} {"-":>10}')
PY
echo "Each run's table: $out"
