#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: a normal build (which keeps the
# executable at build/kavrin-rgb-studio), an AddressSanitizer + UndefinedBehaviorSanitizer build,
# and a ThreadSanitizer build for the threaded code.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

jobs=$(nproc)
configure() { # build-dir, extra cmake arguments...
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DKAVRIN_WERROR=ON "$@"
}

configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAVRIN_VM_TESTS=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
configure build-asan -DCMAKE_BUILD_TYPE=Debug -DKAVRIN_SANITIZE=address,undefined -DKAVRIN_BENCHMARKS=OFF
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure -j "$jobs"

export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
configure build-tsan -DCMAKE_BUILD_TYPE=Debug -DKAVRIN_SANITIZE=thread -DKAVRIN_BENCHMARKS=OFF
cmake --build build-tsan -j "$jobs"
ctest --test-dir build-tsan --output-on-failure -j "$jobs" -R 'Concurren'
