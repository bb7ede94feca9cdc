#!/usr/bin/env bash
# Checks that every tracked .cpp and .h file is as .clang-format lays it out,
# with the clang-format that tools/install-deps.sh installs (another version
# lays some code out differently). Prints the files that differ and fails if
# there are any; `clang-format-14 -i FILE...` puts them right.
set -euo pipefail
cd "$(dirname "$0")/.."
format=clang-format-14
command -v "$format" >/dev/null || { echo "$format is missing: run tools/install-deps.sh" >&2; exit 2; }
list() {
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git ls-files -z -- '*.cpp' '*.h'
    else  # an unpacked copy without its history
        find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -type f -printf '%P\0'
    fi
}
differ=0
while IFS= read -r -d '' file; do
    if ! "$format" --style=file "$file" | cmp -s - "$file"; then
        echo "not formatted: $file"
        differ=$((differ + 1))
    fi
done < <(list)
if [ "$differ" -ne 0 ]; then
    echo "$differ file(s) differ from .clang-format's layout ($format -i FILE... puts them right)" >&2
    exit 1
fi
echo "format: every .cpp and .h file as .clang-format lays it out"
