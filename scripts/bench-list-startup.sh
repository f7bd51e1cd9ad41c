#!/usr/bin/env bash
# Median wall time of `kavrin-rgb-studio --list` as a whole process, the figure that decides
# whether the command line is quick enough for scripts and shell prompts. Prints the same figure
# for /bin/true, the cost of starting any process on this machine, next to it.
#   scripts/bench-list-startup.sh [EXECUTABLE] [RUNS]    (defaults: build/kavrin-rgb-studio, 200)
set -euo pipefail
cd "$(dirname "$0")/.."
executable=${1:-build/kavrin-rgb-studio}
runs=${2:-200}
[ -x "$executable" ] || { echo "bench-list-startup: no executable at $executable; build it first" >&2; exit 2; }

if command -v hyperfine >/dev/null; then
    exec hyperfine --warmup 10 --runs "$runs" --shell=none "$executable --list" "/bin/true --list"
fi

# Bash 5 keeps a clock of its own, so the loop forks nothing but the program measured.
if [ -n "${EPOCHREALTIME:-}" ]; then
    clock() { local t=${EPOCHREALTIME/[.,]/}; now=$((10#$t)); }
else
    clock() { now=$(($(date +%s%N) / 1000)); }
fi

median_ms() { # program: median over $runs runs, in milliseconds
    local times=() start now
    for _ in $(seq 10); do "$1" --list >/dev/null; done
    for _ in $(seq "$runs"); do
        clock
        start=$now
        "$1" --list >/dev/null
        clock
        times+=($((now - start)))
    done
    printf '%s\n' "${times[@]}" | sort -n \
        | awk '{ t[NR] = $1 } END { m = (NR % 2) ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2; printf "%.2f", m / 1000 }'
}

echo "$executable --list: median $(median_ms "$executable") ms over $runs runs"
echo "/bin/true (process start alone): median $(median_ms /bin/true) ms"
