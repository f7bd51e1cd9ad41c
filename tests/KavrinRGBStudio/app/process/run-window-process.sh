#!/usr/bin/env bash
# The real executable and its window module, run as processes:
#   run-window-process.sh CASE EXECUTABLE MODULE MODULE_WITHOUT_ENTRY X11_WINDOW_TOOL
# close, sigterm: the demo window under a private Xvfb, ended by its close button's message or by
#   SIGTERM, must exit 0. Status 77 (skipped) where Xvfb cannot be had.
# module_missing, module_broken, module_without_entry: one line on standard error, status 1.
# module_installed: found in ../lib/kavrin-rgb-studio; with no display it then says so, status 1.
# display_unreachable: a display that Qt cannot open gives the same line, not Qt's abort.
set -u
case=$1 executable=$2 module=$3 module_without_entry=$4 tool=${5:-}
title="KAVRIN RGB Studio"

fail() {
    echo "FAIL ($case): $*" >&2
    [ -s "${tmp:-}/err" ] && sed 's/^/  stderr: /' "$tmp/err" >&2
    exit 1
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Runs the executable copied into a tree of its own, where it looks for the module.
run_in_tree() { # module file, place relative to the tree (or empty for none), expected stderr pattern
    mkdir -p "$tmp/bin"
    cp "$executable" "$tmp/bin/kavrin-rgb-studio"
    if [ -n "$2" ]; then
        mkdir -p "$(dirname "$tmp/$2")"
        cp "$1" "$tmp/$2"
    fi
    expect_one_line_failure "$3" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$tmp/bin/kavrin-rgb-studio" --demo
}

expect_one_line_failure() { # expected stderr pattern, command...
    local pattern=$1
    shift
    "$@" >"$tmp/out" 2>"$tmp/err"
    local status=$?
    [ $status -eq 1 ] || fail "exit status $status, expected 1"
    [ ! -s "$tmp/out" ] || fail "wrote to standard output"
    [ "$(wc -l <"$tmp/err")" -eq 1 ] || fail "expected exactly one line on standard error"
    grep -q -- "$pattern" "$tmp/err" || fail "standard error does not match '$pattern'"
}

window_case() { # how to end the window: close or sigterm
    if [ -z "${KAVRIN_UNDER_XVFB:-}" ]; then
        command -v xvfb-run >/dev/null && command -v Xvfb >/dev/null && command -v xauth >/dev/null || {
            echo "SKIP: Xvfb is not installed (scripts/install-deps.sh installs xvfb and xauth)"
            exit 77
        }
        KAVRIN_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$case" "$executable" \
            "$module" "$module_without_entry" "$tool"
    fi
    # A settings folder of its own, so the run never touches the user's remembered animation.
    env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_CONFIG_HOME="$tmp/config" "$executable" --demo 2>"$tmp/err" &
    local pid=$!
    local window
    window=$("$tool" wait "$title" 30) || { kill -KILL $pid; fail "no window titled \"$title\""; }
    if [ "$1" = close ]; then
        "$tool" close "$window" || fail "could not send WM_DELETE_WINDOW"
    else
        kill -TERM $pid
    fi
    wait $pid
    local status=$?
    [ $status -eq 0 ] || fail "exit status $status, expected 0"
}

case $case in
close | sigterm) window_case "$case" ;;
module_missing) run_in_tree "" "" "^无法加载窗口模块：未找到 .*kavrin-rgb-studio-window.so" ;;
module_broken)
    echo "not a module" >"$tmp/garbage"
    run_in_tree "$tmp/garbage" bin/kavrin-rgb-studio-window.so "^无法加载窗口模块：.*kavrin-rgb-studio-window.so"
    ;;
module_without_entry)
    run_in_tree "$module_without_entry" bin/kavrin-rgb-studio-window.so "^无法加载窗口模块：.*kavrinRunStudioWindow"
    ;;
module_installed)
    run_in_tree "$module" lib/kavrin-rgb-studio/kavrin-rgb-studio-window.so "^无法打开窗口：没有可用的图形显示"
    ;;
display_unreachable)
    expect_one_line_failure "^无法打开窗口：没有可用的图形显示" env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:987 \
        "$executable" --demo
    ;;
*) fail "unknown case" ;;
esac
echo "PASS ($case)"
