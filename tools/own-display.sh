#!/usr/bin/env bash
# Runs a command on a virtual screen of its own (an Xvfb that this script starts and ends), so that a long
# test with windows can run beside the tests that share the run's screen and take pictures of it.
#
# usage: tools/own-display.sh -- COMMAND [ARG...]
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
[ "${1:-}" = "--" ] && shift
if [ $# -eq 0 ]; then
    echo "own-display: no command" >&2
    exit 2
fi
# shellcheck source=tools/display.sh
source "$here/display.sh"
start_display || exit 1
trap stop_display EXIT
trap 'exit 143' TERM INT
"$@"
