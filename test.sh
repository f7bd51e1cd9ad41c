#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds, and runs every test: a normal build
# (which keeps the executable at build/kavrin-rgb-studio), an AddressSanitizer +
# UndefinedBehaviorSanitizer build, a ThreadSanitizer build of the tests that run threads, and
# last each fuzzer for FUZZ_SECONDS (30 by default).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

jobs=$(nproc)

# Formatting: any difference from what .clang-format asks fails the run.
find src tests bench fuzz \( -name '*.cpp' -o -name '*.hpp' \) -print0 | xargs -0 clang-format --dry-run --Werror

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

# Only the tests labelled "threads" (everything that runs threads or takes real signals), and only
# what they need is built. The suppressions cover Qt's and D-Bus's uninstrumented internals.
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/tsan-suppressions.txt"
configure build-tsan -DCMAKE_BUILD_TYPE=Debug -DKAVRIN_SANITIZE=thread -DKAVRIN_BENCHMARKS=OFF
cmake --build build-tsan -j "$jobs" --target thread_tests
ctest --test-dir build-tsan --output-on-failure -j "$jobs" -L threads

echo "== Fuzzing"
if echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' \
    | clang++ -fsanitize=fuzzer -x c++ - -o /dev/null 2>/dev/null; then
    configure build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKAVRIN_SANITIZE=address,undefined -DKAVRIN_FUZZ=ON -DBUILD_TESTING=OFF -DKAVRIN_BENCHMARKS=OFF
    FUZZ_SECONDS=${FUZZ_SECONDS:-30} cmake --build build-fuzz -j "$jobs" --target fuzz
else
    echo "Fuzzers skipped: clang++ cannot link libFuzzer here (Debian: clang, libclang-rt-14-dev)." >&2
fi
