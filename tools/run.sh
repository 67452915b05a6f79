#!/usr/bin/env bash
# Builds the x86-64 program as users get it and runs it under Wine (in a virtual screen when there is no
# display). Arguments are passed to Sotrix, e.g. tools/run.sh restart
#
#   tools/run.sh [--isolated] [WORD...]
#
# --isolated runs it in a network of its own (tools/netns-run.sh: loopback and a veth pair, no route out,
# the geolocation service's name mapped to loopback) and in a fresh Wine prefix, so that nothing it does
# leaves the machine; use it to look at the program on a machine that must not reach the internet. Without
# it the program has the machine's network, as on a user's computer, and keeps its settings in
# ~/.wine-sotrix.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

isolated=0
if [ "${1:-}" = --isolated ]; then
    isolated=1
    shift
fi

# shellcheck source=tools/environment.sh
source tools/environment.sh
run_setup
cmake --preset win64-user >/dev/null
cmake --build --preset win64-user

# shellcheck source=tools/display.sh
source tools/display.sh
# shellcheck source=tools/wine.sh
source tools/wine.sh
trap stop_display EXIT
display_ensure

if [ "$isolated" = 1 ]; then
    # A prefix of its own, made fresh inside the namespace: its Wine services then use the namespace's network.
    export SOTRIX_WINEPREFIX="$PWD/build/win64-user/wine-isolated"
    bash tools/netns-run.sh --hosts tests/network/netns_hosts --resolv tests/network/netns_resolv.conf -- \
        bash -c 'source tools/environment.sh && source tools/wine.sh || exit 1
                 # The template is made for a virtual screen; on a desktop Wine works with its window manager.
                 if [ "$0" = 0 ]; then wine_x11_virtual_screen "$WINEPREFIX" off; fi
                 exec wine build/win64-user/Sotrix.exe norepair "$@"' "$SOTRIX_OWN_DISPLAY" "$@"
    exit
fi

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
wine build/win64-user/Sotrix.exe norepair "$@"
