#!/usr/bin/env bash
# Builds the x86-64 program and runs it under Wine (in a virtual screen when there is no display).
# Arguments are passed to Sotrix, e.g. tools/run.sh restart
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

if [ "$(id -u)" -eq 0 ]; then bash tools/setup.sh; else sudo bash tools/setup.sh; fi
export CCACHE_DIR="${CCACHE_DIR:-${SOTRIX_CACHE:-/var/cache/sotrix}/ccache}"
cmake --preset win64 >/dev/null
cmake --build --preset win64

# The program keeps its settings in the user's roaming folder: give it a prefix of its own, apart from the tests.
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-sotrix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "creating the Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
fi
# shellcheck source=tools/display.sh
source tools/display.sh
start_display
# Wine's set of performance counters is incomplete: "norepair" keeps the program from repairing it.
wine build/win64/Sotrix.exe norepair "$@"
