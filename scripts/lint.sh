#!/usr/bin/env bash
# Checks the tree's style and fails on any finding, printing it:
#  - every tracked *.h and *.cpp matches .clang-format (clang-format-14);
#  - clang-tidy-14 finds nothing (.clang-tidy) in the sources of app, config,
#    dataset, db, platform and ui (tests and bench are formatted, not tidied).
#
#   scripts/lint.sh [--fix] [BUILD_DIR]
#
# --fix      rewrites the files with clang-format first, then runs clang-tidy.
# BUILD_DIR  where the compile commands come from (default build-lint/). The
#            script configures it and builds only the libraries' Qt generated
#            sources (their *_autogen targets), which clang-tidy needs to parse.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

fix=0
dir=$top/build-lint
for arg in "$@"; do
    case $arg in
        --fix) fix=1 ;;
        -h | --help) sed -n '2,/^set -euo/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//'; exit 0 ;;
        -*) echo "lint: unknown option $arg" >&2; exit 2 ;;
        *) dir=$arg ;;
    esac
done

status=0
mapfile -t files < <(git ls-files '*.h' '*.cpp')

echo "== clang-format =="
if [ $fix -eq 1 ]; then
    clang-format-14 -i "${files[@]}"
elif ! clang-format-14 --dry-run -Werror "${files[@]}"; then
    echo "lint: the files above do not match .clang-format (scripts/lint.sh --fix rewrites them)" >&2
    status=1
fi

echo "== clang-tidy =="
# The build directory of the lint: clang's own compile commands, and the moc
# sources generated without building the libraries they belong to.
if [ ! -f "$dir/build.ninja" ]; then
    CC=${CC:-clang-14} CXX=${CXX:-clang++-14} \
        cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
        -DCMAKE_AUTOGEN_ORIGIN_DEPENDS=OFF >/dev/null
fi
# The project's libraries are the pelmora_* targets; the tests' moc is not needed.
mapfile -t autogen < <(ninja -C "$dir" -t targets all | sed -n 's/^\(pelmora_[A-Za-z0-9_]*_autogen\):.*/\1/p' | sort -u)
if [ ${#autogen[@]} -gt 0 ]; then
    ninja -C "$dir" "${autogen[@]}" >/dev/null
fi
if ! run-clang-tidy-14 -p "$dir" -j "$(nproc)" -quiet \
    "^$top/(app|config|dataset|db|platform|ui)/.*\.cpp$" >"$dir/clang-tidy.log" 2>&1; then
    # The findings, without the list of commands the runner prints.
    sed 's/\x1b\[[0-9;]*m//g' "$dir/clang-tidy.log" |
        grep -v '^clang-tidy-14 \|^[0-9]* warnings\? generated\.$' >&2 || true
    echo "lint: clang-tidy found the faults above" >&2
    status=1
fi

[ $status -eq 0 ] && echo "lint: clean"
exit $status
