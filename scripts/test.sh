#!/usr/bin/env bash
# Installs what is missing, checks the style (scripts/lint.sh, failing fast),
# then builds and runs every test: the normal build, the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, and short fuzzing runs of
# the file parsers.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"

echo "== Lint =="
"$top/scripts/lint.sh"

server="$top/scripts/firebird-test-server.sh"
if [ -x "$server" ]; then
    # A server of this run's own, so that runs side by side on one machine
    # never stop each other's.
    own_state=
    if [ -z "${PELMORA_FB_STATE:-}" ]; then
        own_state=$(mktemp -d /tmp/pelmora-fb-server.XXXXXX)
        export PELMORA_FB_STATE=$own_state
    fi
    if [ -z "${PELMORA_FB_PORT:-}" ]; then
        PELMORA_FB_PORT=3055
        while (exec 3<>"/dev/tcp/127.0.0.1/$PELMORA_FB_PORT") 2>/dev/null; do
            PELMORA_FB_PORT=$((PELMORA_FB_PORT + 1))
        done
        export PELMORA_FB_PORT
    fi
    trap '"$server" stop || true; [ -z "$own_state" ] || rm -rf "$own_state"' EXIT
    eval "$("$server" start)"
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
# The leak checker cannot read the records the sanitizer keeps of dynamic
# thread-local storage in this glibc (it crashes on them at random), so
# thread-local storage is not a root: what only it holds counts as leaked,
# and tests/lsan.supp names the few libraries that hold memory that way.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$top/tests/lsan.supp:print_suppressions=0:use_tls=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

status=0
echo "== Tests =="
"$top/scripts/build.sh" "$top/build"
ctest --test-dir "$top/build" --output-on-failure --timeout 600 || status=1

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
"$top/scripts/build.sh" "$top/build-asan" -DPELMORA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
ctest --test-dir "$top/build-asan" --output-on-failure --timeout 600 -LE widgets || status=1
# A widget test's allocations all have Qt's frames below them, which the
# suppressions skip: these run with every other check on.
ASAN_OPTIONS=detect_leaks=0 \
    ctest --test-dir "$top/build-asan" --output-on-failure --timeout 600 -L widgets || status=1

echo "== Fuzzing the file parsers =="
CC=clang-14 CXX=clang++-14 "$top/scripts/build.sh" "$top/build-fuzz" -DPELMORA_FUZZ_ONLY=ON
ctest --test-dir "$top/build-fuzz" --output-on-failure --timeout 600 || status=1

exit $status
