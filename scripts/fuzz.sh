#!/usr/bin/env bash
# Runs the libFuzzer targets of tests/fuzz/ longer than CI does, one after
# another, and keeps what they find:
#
#   scripts/fuzz.sh [SECONDS] [NAME...]
#
# SECONDS  how long each target runs (default 60).
# NAME     the targets to run, as in tests/fuzz/NAME_fuzz.cpp (default all).
#
# Builds build-fuzz/ as scripts/test.sh does. Each target starts from its kept
# corpus, tests/fuzz/corpus/NAME/, with tests/fuzz/NAME.dict when there is one;
# afterwards the kept corpus and the new inputs are merged into a fresh
# minimal corpus (by the code they reach) that replaces the kept one. Inputs that stay keep their
# names, and those named regression-* (faults found before) always stay.
# Prints per target the executions, the seconds and the corpus size before
# and after. When a target crashes, leaks or times out, its corpus stays as
# it was, the path of the input that did it is printed, and the script ends
# non-zero once every target has run.
#
# PELMORA_FUZZ_OPTIONS adds libFuzzer options, for instance -runs=10000000
# (with SECONDS high enough) to stop after that many executions.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

seconds=60
if [ $# -gt 0 ] && [[ $1 =~ ^[0-9]+$ ]]; then
    seconds=$1
    shift
fi
case ${1:-} in
    -h | --help) sed -n '2,/^set -euo/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "fuzz: unknown option $1" >&2; exit 2 ;;
esac

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
    for source in "$top"/tests/fuzz/*_fuzz.cpp; do
        name=$(basename "$source" _fuzz.cpp)
        names+=("$name")
    done
fi
for name in "${names[@]}"; do
    if [ ! -f "$top/tests/fuzz/${name}_fuzz.cpp" ]; then
        echo "fuzz: no fuzz target $name (tests/fuzz/${name}_fuzz.cpp)" >&2
        exit 2
    fi
done

build=$top/build-fuzz
targets=()
for name in "${names[@]}"; do
    targets+=("${name}_fuzz")
done
CC=clang-14 CXX=clang++-14 PELMORA_BUILD_TARGETS="${targets[*]}" \
    "$top/scripts/build.sh" "$build" -DPELMORA_FUZZ_ONLY=ON

count() { find "$1" -maxdepth 1 -type f | wc -l; }

# Gives the inputs that the merge kept their old names back (the merge names
# every file after the SHA-1 of its content), and keeps the inputs named
# regression-* (faults found before) even when they add no coverage.
keep_names() {
    local kept=$1 fresh=$2 file name sum
    for file in "$kept"/*; do
        [ -f "$file" ] || continue
        name=$(basename "$file")
        sum=$(sha1sum "$file" | cut -d' ' -f1)
        if [ -f "$fresh/$sum" ] && [ "$name" != "$sum" ]; then
            mv "$fresh/$sum" "$fresh/$name"
        elif [[ $name == regression-* ]]; then
            cp "$file" "$fresh/$name"
        fi
    done
}

# shellcheck disable=SC2206
extra=(${PELMORA_FUZZ_OPTIONS:-})
status=0
report=()
for name in "${names[@]}"; do
    fuzzer=$build/bin/${name}_fuzz
    kept=$top/tests/fuzz/corpus/$name
    work=$build/fuzz-run/$name
    rm -rf "$work"
    mkdir -p "$kept" "$work/new" "$work/merged" "$work/artifacts"
    options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$work/artifacts/")
    if [ -f "$top/tests/fuzz/$name.dict" ]; then
        options+=(-dict="$top/tests/fuzz/$name.dict")
    fi
    before=$(count "$kept")

    echo "== $name: $seconds s from $before inputs =="
    start=$SECONDS
    if ! "$fuzzer" "${options[@]}" "${extra[@]}" "$work/new" "$kept" >"$work/log" 2>&1; then
        status=1
        elapsed=$((SECONDS - start))
        # What went wrong and where, without the sanitizer's memory maps.
        grep -a -m1 -A12 'ERROR\|deadly signal\|ALARM\|out-of-memory' "$work/log" >&2 || true
        grep -a '^SUMMARY' "$work/log" >&2 || true
        artifact=$(find "$work/artifacts" -type f | head -1)
        echo "fuzz: $name failed; input: ${artifact:-none written}; log: $work/log" >&2
        report+=("$(printf '%-16s %12s %6s %7s %7s  FAILED: %s' "$name" \
            "$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")" \
            "$elapsed" "$before" "$before" "${artifact:-see $work/log}")")
        continue
    fi
    elapsed=$((SECONDS - start))
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")

    # Merged by the edges they reach, not by how often they pass them: with
    # the counters every other loop count would stay, a thousand inputs and
    # more where a few hundred reach the same code.
    if ! "$fuzzer" -merge=1 -use_counters=0 -timeout=10 -rss_limit_mb=2048 "$work/merged" \
        "$kept" "$work/new" >"$work/merge.log" 2>&1 || [ "$(count "$work/merged")" -eq 0 ]; then
        status=1
        echo "fuzz: $name: the merge failed, the corpus stays as it was; log: $work/merge.log" >&2
        report+=("$(printf '%-16s %12s %6s %7s %7s  MERGE FAILED' "$name" "$executions" \
            "$elapsed" "$before" "$before")")
        continue
    fi
    keep_names "$kept" "$work/merged"
    find "$kept" -maxdepth 1 -type f -delete
    mv "$work/merged"/* "$kept"/
    report+=("$(printf '%-16s %12s %6s %7s %7s  %s' "$name" "$executions" "$elapsed" "$before" \
        "$(count "$kept")" "$(cat "$kept"/* | wc -c)")")
done

echo
printf '%-16s %12s %6s %7s %7s  %s\n' target executions s before after "corpus bytes"
printf '%s\n' "${report[@]}"
exit $status
