#!/usr/bin/env bash
# Runs a Windows program under Wine in the test prefix that tools/setup.sh prepared (CTest's emulator).
export WINEPREFIX="${SOTRIX_WINEPREFIX:-${SOTRIX_CACHE:-/var/cache/sotrix}/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec wine "$@"
