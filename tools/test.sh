#!/usr/bin/env bash
# Builds everything and runs all tests: the format check, the native build with AddressSanitizer and UBSan and
# with ThreadSanitizer, then the x86-64 and i386 builds under Wine, and beside the Windows tests a short pass of
# every fuzz target (tools/fuzz.sh, 20 s each from its checked-in corpus). Every Windows test entry runs in a
# network, a Wine prefix and a virtual screen of its own (see tests/CMakeLists.txt). Fails when any step fails, when
# a test is skipped for a reason that is not allowed, when no test runs, when a fuzz target finds something, or when
# Xvfb or Wine cannot start.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root="$(pwd)"

# shellcheck source=tools/environment.sh
source tools/environment.sh
run_setup || { echo "test: the set-up failed" >&2; exit 1; }
# shellcheck source=tools/wine.sh
source tools/wine.sh

presets=(host host-tsan win64 win32)
jobs="$(nproc)"
failed=0

echo "== format"
bash tools/check-format.sh || failed=1

echo "== i386"
case "$SOTRIX_WINE_I386" in
1) echo "the win32 tests run: $SOTRIX_WINE_I386_REASON" ;;
0) echo "the win32 tests cannot run on this machine, only its build is checked: $SOTRIX_WINE_I386_REASON" ;;
*)
    echo "test: $SOTRIX_WINE_I386_REASON" >&2
    echo "test: FAILED (mend the 32-bit Wine: tools/setup.sh installs wine32:i386)" >&2
    exit 1
    ;;
esac

echo "== Wine"
wine_template_ensure || { echo "test: no Wine prefix template" >&2; exit 1; }

for preset in "${presets[@]}" fuzz; do
    echo "== build $preset"
    cmake --preset "$preset" >/dev/null || exit 1
    cmake --build --preset "$preset" || exit 1
done

# The short fuzz pass runs beside the Windows tests, which leave cores idle while Wine and the program wait; a
# quarter of the cores keeps it from slowing them. A reader change that fails on a known input fails the run.
fuzz_pid=""
fuzz_log="$root/build/fuzz/short-pass.log"
fuzz_start() {
    [ -n "$fuzz_pid" ] && return
    echo "== fuzz: short pass started beside the tests (report at the end)"
    bash tools/fuzz.sh 20 --no-build --jobs "$(((jobs + 3) / 4))" >"$fuzz_log" 2>&1 &
    fuzz_pid=$!
}
trap '[ -n "$fuzz_pid" ] && kill "$fuzz_pid" 2>/dev/null' EXIT

for preset in "${presets[@]}"; do
    echo "== test $preset"
    if [ "$preset" = win32 ] && [ "$SOTRIX_WINE_I386" = 0 ]; then
        echo "test: the i386 tests are left out: $SOTRIX_WINE_I386_REASON; the i386 build was compiled and linked" >&2
        continue
    fi
    if [ "$preset" = win32 ] || [ "$preset" = win64 ]; then
        fuzz_start
        # The way every Windows entry runs, tried once, so that a Wine, a display or a network that cannot
        # start says so here instead of in every entry.
        if ! SOTRIX_WINEPREFIX="$root/build/$preset/wine/check" bash tools/own-display.sh -- \
            bash tools/netns-run.sh -- bash tools/wine-run.sh "build/$preset/tests/tests_runtime.exe" \
            --gtest_list_tests >/dev/null; then
            echo "test: Wine cannot run the $preset tests" >&2
            exit 1
        fi
    fi
    ctest --preset "$preset" -j "$jobs" || failed=1
done
fuzz_start
echo "== fuzz"
wait "$fuzz_pid"
fuzz_status=$?
fuzz_pid=""
cat "$fuzz_log"
[ $fuzz_status -eq 0 ] || failed=1
if [ $failed -ne 0 ]; then echo "test: FAILED" >&2; fi
exit $failed
