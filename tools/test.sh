#!/usr/bin/env bash
# Builds everything and runs all tests: natively with sanitizers, then the x86-64 and i386 builds under Wine.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

if [ "$(id -u)" -eq 0 ]; then bash tools/setup.sh; else sudo bash tools/setup.sh; fi || exit 1
export CCACHE_DIR="${CCACHE_DIR:-${SOTRIX_CACHE:-/var/cache/sotrix}/ccache}"
# shellcheck source=tools/display.sh
source tools/display.sh
start_display
# A Wine server left from a run without a display would refuse every window of this run.
WINEPREFIX="${SOTRIX_CACHE:-/var/cache/sotrix}/wine" wineserver -k 2>/dev/null || true

presets=(host win64 win32)
for preset in "${presets[@]}"; do
    echo "== build $preset"
    cmake --preset "$preset" >/dev/null || exit 1
    cmake --build --preset "$preset" || exit 1
done

failed=0
for preset in "${presets[@]}"; do
    echo "== test $preset"
    ctest --preset "$preset" || failed=1
done
WINEPREFIX="${SOTRIX_CACHE:-/var/cache/sotrix}/wine" wineserver -k 2>/dev/null || true
exit $failed
