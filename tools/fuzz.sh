#!/usr/bin/env bash
# Builds the fuzz preset and runs every libFuzzer target of tests/fuzz (a file <target>_fuzz.cpp, a program
# fuzz_<target>) for a while, several at once, each from a copy of its seed corpus tests/fuzz/corpus/<target>/ and
# in a network of its own (tools/netns-run.sh). Prints per target the inputs run, the coverage (libFuzzer's "cov",
# code edges reached, and "ft", features), the corpus before and after, and any finding: a crash, a leak, a hang or
# running out of memory, with the input that caused it. Fails when a target found something or could not run.
#
# usage: tools/fuzz.sh [SECONDS] [--jobs N] [--save-corpus] [--no-build] [TARGET...]
#   SECONDS        per target (default 180)
#   --jobs N       targets at once (default: the machine's cores)
#   --save-corpus  merge the inputs that reach new code back into tests/fuzz/corpus/<target>/ (off: the checked-in
#                  corpus is never written)
#   --no-build     run what build/fuzz holds
#   TARGET...      only these targets
#
# The work folder of a target is build/fuzz/run/<target>/: its corpus, its log, and the inputs of any finding.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root="$(pwd)"

seconds=180
jobs="$(nproc)"
save_corpus=0
build=1
only=()
while [ $# -gt 0 ]; do
    case "$1" in
    --jobs) jobs="$2" && shift 2 ;;
    --save-corpus) save_corpus=1 && shift ;;
    --no-build) build=0 && shift ;;
    -h | --help) sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//' && exit 0 ;;
    -*) echo "fuzz: unknown option $1" >&2 && exit 2 ;;
    *)
        if [[ "$1" =~ ^[0-9]+$ ]]; then seconds="$1"; else only+=("$1"); fi
        shift
        ;;
    esac
done
[ "$jobs" -ge 1 ] 2>/dev/null || { echo "fuzz: --jobs needs a number" >&2 && exit 2; }

# shellcheck source=tools/environment.sh
source tools/environment.sh

targets=()
for source in tests/fuzz/*_fuzz.cpp; do
    [ -e "$source" ] || continue
    name="$(basename "$source" _fuzz.cpp)"
    if [ ${#only[@]} -gt 0 ] && ! printf '%s\n' "${only[@]}" | grep -qx "$name"; then continue; fi
    targets+=("$name")
done
if [ ${#only[@]} -gt 0 ]; then
    for name in "${only[@]}"; do
        [ -e "tests/fuzz/${name}_fuzz.cpp" ] || { echo "fuzz: no target $name (tests/fuzz/${name}_fuzz.cpp)" >&2 && exit 2; }
    done
fi
[ ${#targets[@]} -gt 0 ] || { echo "fuzz: no targets in tests/fuzz" >&2 && exit 1; }

if [ $build -eq 1 ]; then
    cmake --preset fuzz >/dev/null || { echo "fuzz: configuring the fuzz preset failed" >&2 && exit 1; }
    cmake --build --preset fuzz || { echo "fuzz: building the fuzz preset failed" >&2 && exit 1; }
fi

run="$root/build/fuzz/run"
# The programs' own files (tests/fuzz/fuzz_support.cpp) go to a folder in memory where there is one.
scratch="$(mktemp -d "$([ -d /dev/shm ] && [ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")/sotrix-fuzz.XXXXXX")"
# Each target runs in a process group of its own, so that a stop ends its fuzzer too.
set -m
pids=()
stop() {
    local pid
    for pid in "${pids[@]}"; do kill -- "-$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$scratch"
}
trap stop EXIT
trap 'exit 130' INT TERM

# Runs one target; its result line goes to build/fuzz/run/<target>/result.
fuzz_one() {
    local name="$1" dir="$run/$1" program="$root/build/fuzz/tests/fuzz/fuzz_$1"
    rm -rf "$dir"
    mkdir -p "$dir/corpus"
    if [ ! -x "$program" ]; then
        echo "missing" >"$dir/result"
        return
    fi
    local seeds="$root/tests/fuzz/corpus/$name"
    [ -d "$seeds" ] && cp -r "$seeds/." "$dir/corpus/" 2>/dev/null
    local before
    before="$(find "$dir/corpus" -type f | wc -l)"
    # A single input that runs for 30 s is a hang; the outer limit only guards against a fuzzer that never ends.
    TMPDIR="$scratch" UBSAN_OPTIONS=print_stacktrace=1 bash "$root/tools/netns-run.sh" -- \
        timeout --foreground --kill-after=10 $((seconds + 120)) "$program" -max_total_time="$seconds" -timeout=30 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$dir/" "$dir/corpus" >"$dir/log" 2>&1
    local status=$?
    local after
    after="$(find "$dir/corpus" -type f | wc -l)"
    echo "$status $before $after" >"$dir/result"
}

started=$SECONDS
echo "fuzz: ${#targets[@]} targets, ${seconds} s each, ${jobs} at once (work folders in build/fuzz/run/)"
for name in "${targets[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n 2>/dev/null; done
    fuzz_one "$name" &
    pids+=($!)
done
wait
pids=()

echo "fuzz: the targets ran in $((SECONDS - started)) s"
failed=0
found=()
printf '%-16s %12s %9s %7s %8s %15s  %s\n' target executions exec/s cov ft corpus result
for name in "${targets[@]}"; do
    dir="$run/$name"
    read -r status before after <"$dir/result" 2>/dev/null || status="missing"
    if [ "$status" = missing ]; then
        printf '%-16s %s\n' "$name" "NOT BUILT (build/fuzz/tests/fuzz/fuzz_$name)"
        failed=1
        continue
    fi
    executions="$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" | tail -n1)"
    speed="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$dir/log" | tail -n1)"
    coverage="$(grep -o 'cov: [0-9]* ft: [0-9]*' "$dir/log" | tail -n1)"
    cov="$(echo "$coverage" | awk '{print $2}')"
    ft="$(echo "$coverage" | awk '{print $4}')"
    findings="$(find "$dir" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | sort)"
    if [ -n "$findings" ]; then
        result="FOUND: $(echo "$findings" | tr '\n' ' ')"
        failed=1
    elif [ "$status" -ne 0 ]; then
        result="FAILED (exit $status): $dir/log"
        failed=1
    else
        result="ok"
    fi
    printf '%-16s %12s %9s %7s %8s %15s  %s\n' "$name" "${executions:--}" "${speed:--}" "${cov:--}" "${ft:--}" \
        "$before -> $after" "$result"
    if [ "$result" != ok ]; then
        found+=("$name")
        grep -m1 -E '^(SUMMARY|property failed|==[0-9]+==ERROR)' "$dir/log" | sed 's/^/    /'
        echo "    log: $dir/log"
    fi
done

if [ $save_corpus -eq 1 ]; then
    for name in "${targets[@]}"; do
        dir="$run/$name"
        # A target that found something keeps its corpus until the finding is mended.
        if printf '%s\n' "${found[@]}" | grep -qx "$name"; then
            echo "corpus of $name: not merged (it found something)"
            continue
        fi
        mkdir -p "tests/fuzz/corpus/$name"
        before="$(find "tests/fuzz/corpus/$name" -type f | wc -l)"
        # Keeps only the inputs that reach something the checked-in corpus does not.
        TMPDIR="$scratch" bash tools/netns-run.sh -- "$root/build/fuzz/tests/fuzz/fuzz_$name" -merge=1 \
            -artifact_prefix="$dir/merge-" "tests/fuzz/corpus/$name" "$dir/corpus" >"$dir/merge.log" 2>&1 || {
            echo "fuzz: merging the corpus of $name failed: $dir/merge.log" >&2
            failed=1
        }
        echo "corpus of $name: $before -> $(find "tests/fuzz/corpus/$name" -type f | wc -l) files"
    done
fi

if [ $failed -ne 0 ]; then echo "fuzz: FAILED" >&2; fi
exit $failed
