#!/usr/bin/env bash
# The ping monitor's full soak: the real x86-64 Sotrix.exe pings 50 hosts every second for ten minutes with the
# Ping tab shown, in a network, a Wine prefix and a virtual screen of its own, with the checks of the bounded
# soak that every test run makes (memory flat after the warm-up, the window answering, every host's counts
# growing, a clean shutdown with the counts saved).
#
#   tools/soak.sh            (SOTRIX_SOAK_SECONDS changes the ten minutes)
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# shellcheck source=tools/environment.sh
source tools/environment.sh
run_setup || { echo "soak: the set-up failed" >&2; exit 1; }
# shellcheck source=tools/wine.sh
source tools/wine.sh
wine_template_ensure || { echo "soak: no Wine prefix template" >&2; exit 1; }
cmake --preset win64 >/dev/null || exit 1
cmake --build --preset win64 --target tests_integration || exit 1

export SOTRIX_SOAK_SECONDS="${SOTRIX_SOAK_SECONDS:-600}"
export SOTRIX_WINEPREFIX="$PWD/build/win64/wine/soak-full"
exec bash tools/own-display.sh -- bash tools/netns-run.sh --hosts tests/network/netns_hosts \
    --resolv tests/network/netns_resolv.conf -- bash tools/wine-run.sh build/win64/tests/tests_integration.exe \
    --gtest_brief=1 --gtest_filter='PingSoakNetNs.*'
