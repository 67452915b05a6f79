#!/usr/bin/env bash
# Builds the x86-64 program and runs it under Wine (in a virtual screen when there is no display).
# Arguments are passed to Sotrix, e.g. tools/run.sh restart
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# shellcheck source=tools/environment.sh
source tools/environment.sh
run_setup
cmake --preset win64 >/dev/null
cmake --build --preset win64

# shellcheck source=tools/display.sh
source tools/display.sh
# shellcheck source=tools/wine.sh
source tools/wine.sh
trap stop_display EXIT
display_ensure

# The program keeps its settings in the user's roaming folder: a prefix of its own, apart from the tests.
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-sotrix}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "creating the Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
fi
# On our own virtual screen Wine draws the frames itself and keeps to the screen's one mode; on a desktop it
# works with the desktop's window manager and display modes.
if [ "$SOTRIX_OWN_DISPLAY" = 1 ]; then
    wine_x11_virtual_screen "$WINEPREFIX" on
else
    wine_x11_virtual_screen "$WINEPREFIX" off
fi
# Wine's set of performance counters is incomplete: "norepair" keeps the program from repairing it.
wine build/win64/Sotrix.exe norepair "$@"
