#!/usr/bin/env bash
# Starts the demo window under a private Xvfb and prints what its start and its idle preview cost:
# time from launch to the window mapped, resident memory once started, and CPU use over 10 s with
# the preview animating and over 10 s minimised (the preview stops drawing when its window is
# minimised or hidden; the window tool minimises it as a window manager does).
# Goals: at most 400 ms, 60 MB, 3 % of one core animating, about 0 % minimised.
#   scripts/measure-window.sh [BUILD_DIR]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
executable=$build/kavrin-rgb-studio
tool=$build/tests/x11-window-tool
for file in "$executable" "$build/kavrin-rgb-studio-window.so" "$tool"; do
    [ -e "$file" ] || {
        echo "measure-window: no $file; build it first:" >&2
        echo "  cmake --build $build --target kavrin-rgb-studio kavrin-rgb-studio-window x11-window-tool" >&2
        exit 2
    }
done
if [ -z "${KAVRIN_UNDER_XVFB:-}" ]; then
    KAVRIN_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$@"
fi
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

title="KAVRIN RGB Studio"
ticks_per_second=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; } # user + system time of the process
cpu_percent_over() { # pid seconds
    local before after
    before=$(cpu_ticks "$1")
    sleep "$2"
    after=$(cpu_ticks "$1")
    awk -v t=$((after - before)) -v hz="$ticks_per_second" -v s="$2" 'BEGIN { printf "%.1f", 100 * t / hz / s }'
}

read -r pid mapped_ms < <("$tool" launch "$title" 30 "$executable" --demo 2>/dev/null)
trap 'kill "$pid" 2>/dev/null || true' EXIT
sleep 1 # let the first frames and the demo scan settle
rss_kb=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")
animating=$(cpu_percent_over "$pid" 10)
window=$("$tool" wait "$title" 5)
"$tool" iconify "$window"
sleep 1
minimised=$(cpu_percent_over "$pid" 10)

echo "launch to window mapped: ${mapped_ms} ms (goal <= 400 ms)"
echo "resident memory after start: $((rss_kb / 1024)) MB (goal <= 60 MB)"
echo "CPU, preview animating, 10 s: ${animating} % of one core (goal <= 3 %)"
echo "CPU, window minimised, 10 s: ${minimised} % of one core (goal ~0 %)"
