#!/usr/bin/env bash
# Checks that every C++ file of the project is laid out as .clang-format says; lists the
# files that are not.  `scripts/check-format.sh --fix` rewrites them in place instead.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
mapfile -t files < <(git ls-files -- 'src/*.cpp' 'src/*.h' 'tools/*.cpp' 'tools/*.h' 'tests/*.cpp' 'tests/*.h' \
                                      'bench/*.cpp' 'fuzz/*.cpp')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
bad=0
for file in "${files[@]}"; do
    if ! clang-format --dry-run --Werror "$file" > /dev/null 2>&1; then
        echo "not formatted: $file (scripts/check-format.sh --fix)"
        bad=1
    fi
done
[ "$bad" -eq 0 ] && echo "format: ${#files[@]} files as .clang-format says"
exit "$bad"
