#!/usr/bin/env bash
# Fails, naming the files, when a C++ source differs from what .clang-format makes of it.
# tools/check-format.sh --fix formats them instead.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
    mapfile -t files < <(find runtime core ui system network gpu eventlog app tests tools -name '*.cpp' -o -name '*.h' 2>/dev/null)
fi
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
mapfile -t unformatted < <(printf '%s\0' "${files[@]}" |
    xargs -0 -P "$(nproc)" -I{} sh -c 'clang-format --dry-run -Werror "$1" >/dev/null 2>&1 || echo "$1"' _ {} | sort)
if [ ${#unformatted[@]} -gt 0 ]; then
    echo "format: ${#unformatted[@]} files differ from .clang-format (tools/check-format.sh --fix formats them):" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    exit 1
fi
echo "format: ${#files[@]} files checked"
