#!/usr/bin/env bash
# Fails, naming file and line, when a file of a lower layer includes a header of a higher one. The layers,
# lowest first: runtime <- core <- ui <- monitors (system, network, gpu, eventlog) <- app. Tests are not
# checked: they link what they test.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

layers=("runtime" "core" "ui" "system network gpu eventlog" "app")
faults=0
for ((level = 0; level < ${#layers[@]}; ++level)); do
    higher=""
    for ((above = level + 1; above < ${#layers[@]}; ++above)); do higher+=" ${layers[above]}"; done
    [ -z "$higher" ] && continue
    pattern="^[[:space:]]*#[[:space:]]*include[[:space:]]*\"($(echo $higher | tr ' ' '|'))/"
    for folder in ${layers[level]}; do
        [ -d "$folder" ] || continue
        while IFS= read -r hit; do
            echo "layers: $hit includes a higher layer" >&2
            faults=$((faults + 1))
        done < <(grep -rnE "$pattern" "$folder" --include='*.cpp' --include='*.h' --include='*.inc' --include='*.rc')
    done
done
if [ "$faults" -gt 0 ]; then
    echo "layers: $faults upward includes (runtime <- core <- ui <- monitors <- app)" >&2
    exit 1
fi
echo "layers: no upward include"
