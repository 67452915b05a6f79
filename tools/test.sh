#!/usr/bin/env bash
# Builds everything and runs all tests: the format check, the native build with sanitizers, then the
# x86-64 and i386 builds under Wine, each in a fresh Wine prefix of its own (build/<preset>/wine, made
# from a cached template) on a virtual screen of this run's own. Fails when any step fails, when a test
# is skipped for a reason that is not allowed, or when Xvfb or Wine cannot start.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root="$(pwd)"

# shellcheck source=tools/environment.sh
source tools/environment.sh
run_setup || { echo "test: the set-up failed" >&2; exit 1; }
# shellcheck source=tools/display.sh
source tools/display.sh
# shellcheck source=tools/wine.sh
source tools/wine.sh

presets=(host win64 win32)
started_prefixes=()
cleanup() {
    local prefix
    for prefix in "${started_prefixes[@]}"; do wine_session_stop "$prefix"; done
    stop_display
}
trap cleanup EXIT

failed=0
echo "== format"
bash tools/check-format.sh || failed=1

echo "== display and Wine"
start_display || { echo "test: no display for the Windows tests" >&2; exit 1; }
echo "display $DISPLAY"
wine_template_ensure || { echo "test: no Wine prefix template" >&2; exit 1; }

for preset in "${presets[@]}"; do
    echo "== build $preset"
    cmake --preset "$preset" >/dev/null || exit 1
    cmake --build --preset "$preset" || exit 1
done

for preset in "${presets[@]}"; do
    echo "== test $preset"
    if [ "$preset" = win32 ] && [ "$SOTRIX_WINE_I386" = 0 ]; then
        # Nothing can run 32-bit code here: the build above is all that this machine can check of it.
        echo "test: the i386 tests cannot run on this machine: its kernel runs 64-bit programs only" \
            "(execve of an i386 program fails), and Wine needs an i386 process for a 32-bit Windows program;" \
            "the i386 build was compiled and linked" >&2
        continue
    fi
    if [ "$preset" != host ]; then
        prefix="$root/build/$preset/wine"
        wine_session_stop "$prefix"
        wine_prefix_fresh "$prefix" || { echo "test: could not make $prefix" >&2; exit 1; }
        started_prefixes+=("$prefix")
        wine_session_start "$prefix" "build/$preset/tests/tests_runtime.exe" --gtest_list_tests ||
            { echo "test: Wine cannot run the $preset tests" >&2; exit 1; }
    fi
    ctest --preset "$preset" || failed=1
    if [ "$preset" != host ]; then wine_session_stop "$prefix"; fi
done
if [ $failed -ne 0 ]; then echo "test: FAILED" >&2; fi
exit $failed
