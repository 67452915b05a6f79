#!/usr/bin/env bash
# The i386 decision of tools/wine.sh: the kernel's own answer decides whether the win32 tests may be left out,
# and a broken 32-bit Wine on a kernel that runs i386 code is never taken for a machine that cannot.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/sotrix-probe-test.XXXXXX")"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

export SOTRIX_USER_CACHE="$work/cache"
unset SOTRIX_WINE_I386
# shellcheck source=tools/wine.sh
source "$here/../../tools/wine.sh"

# The kernel's answer on this machine is one of the two, never unclear.
answer="$(kernel_i386_probe)"
case "${answer%%:*}" in
runs | refuses) echo "this kernel: $answer" ;;
*) fail "the kernel probe gave no clear answer: $answer" ;;
esac
# The probe is the program its comment describes: 96 bytes of a static i386 executable.
kernel_i386_probe_write "$work/probe"
[ "$(stat -c %s "$work/probe")" = 96 ] || fail "the probe is $(stat -c %s "$work/probe") bytes, not 96"
[ "$(head -c 4 "$work/probe" | od -An -c | tr -d ' ')" = '177ELF' ] || fail "the probe is no ELF file"

# Every pair of answers.
while read -r kernel loader expected; do
    got="$(wine_i386_decide "$kernel" "$loader")"
    [ "$got" = "$expected" ] || fail "kernel $kernel, 32-bit loader $loader: $got, expected $expected"
done <<'TABLE'
runs ok 1
runs fails broken
runs missing broken
refuses ok 0
refuses fails 0
refuses missing 0
unknown ok broken
unknown missing broken
TABLE

# The whole probe with stand-ins for the kernel's answer and for the loaders.
printf '#!/bin/sh\necho wine-8.0\n' >"$work/loader-ok" && chmod +x "$work/loader-ok"
printf '#!/bin/sh\necho "cannot find libwine" >&2\nexit 1\n' >"$work/loader-fails" && chmod +x "$work/loader-fails"
kernel_runs() { echo "runs: stand-in"; }
kernel_refuses() { echo "refuses: stand-in"; }
probe_with() {
    local kernel="$1" loader32="$2"
    (
        eval "kernel_i386_probe() { $kernel; }"
        PATH="/usr/bin:/bin"
        SOTRIX_WINE_LOADER32="$loader32" SOTRIX_WINE_LOADER64="$work/loader-ok"
        wine_i386_probe
        echo "$SOTRIX_WINE_I386|$SOTRIX_WINE_I386_REASON|$(command -v wine)"
    )
}
result="$(probe_with kernel_runs "$work/loader-fails")"
[ "${result%%|*}" = broken ] || fail "a failing 32-bit loader on a kernel that runs i386: $result"
case "$result" in *"cannot find libwine"*) ;; *) fail "the reason does not say what the loader printed: $result" ;; esac
result="$(probe_with kernel_runs "$work/no-such-loader")"
[ "${result%%|*}" = broken ] || fail "a missing 32-bit loader on a kernel that runs i386: $result"
result="$(probe_with kernel_runs "$work/loader-ok")"
[ "${result%%|*}" = 1 ] || fail "a working 32-bit loader on a kernel that runs i386: $result"
result="$(probe_with kernel_refuses "$work/loader-fails")"
[ "${result%%|*}" = 0 ] || fail "a kernel that refuses i386: $result"
case "$result" in *"|$SOTRIX_USER_CACHE/wine64-only/wine") ;; *) fail "wine is not the 64-bit loader's: $result" ;; esac

if [ "$failures" -ne 0 ]; then
    echo "$failures failures" >&2
    exit 1
fi
echo "wine probe: all cases pass"
