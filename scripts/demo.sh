#!/usr/bin/env bash
# Installs what is missing, builds, lays out a demo install directory and
# opens the program on it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
PELMORA_BUILD_TARGETS=contavtascontado "$top/scripts/build.sh" "$top/build"

demo=$top/demo
mkdir -p "$demo"
# The registry file names the install directory; the server list offers the
# embedded engine (a plain directory) first and the local server second.
cat > "$demo/registry.reg" <<REG
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\Software\\Dranek\\PelmoraERP2024]
"Directorio"="$demo"
REG
printf '%s\n' "$demo" "localhost:$demo" > "$demo/SERVIDORES.cfg"

# The embedded engine keeps its lock files where the user can write them.
export FIREBIRD_LOCK=${FIREBIRD_LOCK:-$demo/.firebird-lock}
mkdir -p "$FIREBIRD_LOCK"
# Demo company 001, made anew each time so that its sales are of these days.
"$top/scripts/create-company.sh" --demo --force "$demo" 001

export PELMORA_REGISTRY=$demo/registry.reg
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: opening the program on a virtual X server (xvfb-run)." >&2
    # -noreset: by default the server resets whenever its last client leaves,
    # and drops a connection that arrives meanwhile; a short-lived client
    # (xdotool, an accessibility tool) leaving as the program starts would
    # then end the program before its window shows.
    exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$top/build/bin/contavtascontado"
fi
exec "$top/build/bin/contavtascontado"
