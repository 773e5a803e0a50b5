#!/usr/bin/env bash
# Configures and builds one build directory: scripts/build.sh DIR [cmake options...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$top/build}
shift || true
cmake -S "$top" -B "$dir" -G Ninja "$@" >/dev/null
ninja -C "$dir"
