#!/usr/bin/env bash
# The Windows program's exports, read on Linux: the Windows test program (under Wine) makes
# the workbook and the PDF and keeps them in a folder; the Linux test program then runs the
# same tests on those files with its readers (openpyxl, poppler).
#   check_windows_exports.sh <Windows export_tests.exe> <Linux export_tests>
set -euo pipefail
windows="$1"
linux="$2"
if [ ! -x "$linux" ]; then
    echo "No Linux export_tests at $linux: make windows builds it" >&2
    exit 1
fi
tests='XlsxExport.*:PdfExport.*'
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
# Wine's drive Z: is the Linux root.
LD_EXPORT_KEEP_DIR="Z:$out" "$(dirname "$0")/../../scripts/wine-run.sh" "$windows" \
    --gtest_filter="$tests"
for file in winners.xlsx winners.pdf winners-beyond-bmp.pdf winners-plain.xlsx \
    winners-verified.xlsx winners-plain.pdf winners-verified.pdf; do
    if [ ! -s "$out/$file" ]; then
        echo "The Windows program made no $file" >&2
        exit 1
    fi
done
ls -l "$out"
QT_QPA_PLATFORM=offscreen LD_EXPORT_READ_DIR="$out" "$linux" --gtest_filter="$tests"
