#!/usr/bin/env bash
# Configures and builds one build directory: scripts/build.sh DIR [cmake options...]
# With PELMORA_BUILD_TARGETS set, builds only those targets.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$top/build}
shift || true
cmake -S "$top" -B "$dir" -G Ninja "$@" >/dev/null
# shellcheck disable=SC2086
ninja -C "$dir" ${PELMORA_BUILD_TARGETS:-}
