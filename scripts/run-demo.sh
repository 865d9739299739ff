#!/usr/bin/env bash
# Starts the program from its build folder.
set -euo pipefail
build=${1:-build}
exec "$build/luckydraw"
