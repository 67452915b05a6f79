#!/usr/bin/env bash
# CTest's emulator: runs a Windows program under Wine in the prefix that SOTRIX_WINEPREFIX names (the
# tests' CMake file sets the build tree's own). A prefix that is not there yet is made from the template.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=tools/environment.sh
source "$here/environment.sh"
# shellcheck source=tools/wine.sh
source "$here/wine.sh"

prefix="${SOTRIX_WINEPREFIX:-}"
if [ -z "$prefix" ]; then
    echo "wine-run: SOTRIX_WINEPREFIX names no Wine prefix" >&2
    exit 1
fi
if [ ! -f "$prefix/.sotrix-template" ]; then
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        [ -f "$prefix/.sotrix-template" ] && exit 0
        wine_template_ensure && wine_prefix_fresh "$prefix"
    ) 9>"$prefix.lock" || exit 1
fi
export WINEPREFIX="$prefix"
exec wine "$@"
