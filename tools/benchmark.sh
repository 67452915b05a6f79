#!/usr/bin/env bash
# Runs Sotrix under Wine and Xvfb for a minute at default settings (a fresh Wine prefix, so no settings file;
# the main window stays hidden as it does at start) beside a program that only runs a message loop, and
# reports the CPU time and peak memory of each and Sotrix's ratio to the idle loop.
#
#   tools/benchmark.sh [win64|win32]      (SOTRIX_BENCH_SECONDS changes the minute)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

preset="${1:-win64}"
seconds="${SOTRIX_BENCH_SECONDS:-60}"
warmup="${SOTRIX_BENCH_WARMUP:-10}"
build="build/$preset"
program="$build/Sotrix.exe"
idle_loop="$build/fakes/idle_loop.exe"

# shellcheck source=tools/environment.sh
source tools/environment.sh
# shellcheck source=tools/display.sh
source tools/display.sh
# shellcheck source=tools/wine.sh
source tools/wine.sh

if [ ! -f "$program" ] || [ ! -f "$idle_loop" ]; then
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target Sotrix idle_loop
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/sotrix-bench.XXXXXX")"
export WINEPREFIX="$work/prefix"
cleanup() {
    wine_session_stop "$WINEPREFIX"
    rm -rf "$work"
    stop_display
}
trap cleanup EXIT

start_display
wine_template_ensure
wine_prefix_fresh "$WINEPREFIX"
wine_session_start "$WINEPREFIX" cmd /c exit

# The Linux process of a Windows program started in our prefix: Wine may start it through start.exe, so the
# launcher's own id is not it. Found by its command line among the processes that carry our prefix.
program_pid() {
    local name="$1" pid
    for pid in $(pgrep -u "$(id -u)" -f "$name" || true); do
        if tr '\0' '\n' < "/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
            if tr '\0' ' ' < "/proc/$pid/cmdline" 2>/dev/null | grep -q "^[^ ]*$name"; then
                echo "$pid"
                return
            fi
        fi
    done
}

ticks_per_second="$(getconf CLK_TCK)"

# Runs one program for the warm-up and then the set time, and prints "cpu_seconds_after_warmup peak_kb".
measure() {
    local exe="$1"; shift
    local name launcher pid=""
    name="$(basename "$exe")"
    cp "$exe" "$work/$name"
    (cd "$work" && exec wine "$name" "$@" >"$work/$name.out" 2>&1) &
    launcher=$!
    for _ in $(seq 100); do
        pid="$(program_pid "$name")"
        [ -n "$pid" ] && break
        sleep 0.1
    done
    if [ -z "$pid" ]; then
        echo "$name did not start" >&2
        kill "$launcher" 2>/dev/null || true
        return 1
    fi
    # Start-up (libraries, the processor query, fonts) is not what a monitor costs while it runs: the
    # measured minute starts after a warm-up.
    sleep "$warmup"
    if [ ! -r "/proc/$pid/stat" ]; then
        echo "$name ended during the warm-up" >&2
        return 1
    fi
    # utime and stime are fields 14 and 15 (the name field holds no spaces here).
    local start_ticks cpu_ticks peak_kb
    start_ticks="$(awk '{print $14 + $15}' "/proc/$pid/stat")"
    sleep "$seconds"
    if [ ! -r "/proc/$pid/stat" ]; then
        echo "$name ended before the time was up" >&2
        return 1
    fi
    cpu_ticks="$(awk -v s="$start_ticks" '{print $14 + $15 - s}' "/proc/$pid/stat")"
    peak_kb="$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status")"
    kill "$pid" 2>/dev/null || true
    wait "$launcher" 2>/dev/null || true
    awk -v t="$cpu_ticks" -v hz="$ticks_per_second" -v kb="$peak_kb" 'BEGIN {printf "%.2f %d\n", t / hz, kb}'
}

echo "running Sotrix for ${seconds}s..." >&2
sotrix="$(measure "$program" norepair)" || exit 1
echo "running the idle loop for ${seconds}s..." >&2
idle="$(measure "$idle_loop")" || exit 1
read -r sotrix_cpu sotrix_kb <<<"$sotrix"
read -r idle_cpu idle_kb <<<"$idle"

# An idle loop may use less than one clock tick; the ratio then counts it as one tick.
awk -v sc="$sotrix_cpu" -v sk="$sotrix_kb" -v ic="$idle_cpu" -v ik="$idle_kb" -v s="$seconds" -v p="$preset" \
    -v tick="$(awk -v hz="$ticks_per_second" 'BEGIN {print 1 / hz}')" 'BEGIN {
    printf "%-12s %12s %14s\n", p " (" s "s)", "CPU time", "peak memory"
    printf "%-12s %11.2fs %11d KB\n", "Sotrix", sc, sk
    printf "%-12s %11.2fs %11d KB\n", "idle loop", ic, ik
    printf "%-12s %11.1fx %13.1fx\n", "ratio", sc / (ic > tick ? ic : tick), (ik > 0 ? sk / ik : 0)
    printf "Sotrix used %.2f%% of one processor.\n", 100 * sc / s
}'
