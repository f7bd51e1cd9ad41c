#!/usr/bin/env bash
# The package's postinst/postrm script, run against fake udevadm programs, in a private mount
# namespace whose /run says whether a udev daemon runs:
#   reload-udev-test.sh SCRIPT
# Where udev runs, the rules are reloaded and the hidraw devices re-triggered on install and on
# removal; where it does not, or where udevadm fails, the script still succeeds, since a failing
# maintainer script would fail the installation itself, and it prints nothing of its own.
set -euo pipefail
script=$1

if [ -z "${KAVRIN_PRIVATE_RUN:-}" ]; then
    unshare --mount true 2>/dev/null || {
        echo "SKIP: no private mount namespace here (needs root or unprivileged namespaces)"
        exit 77
    }
    KAVRIN_PRIVATE_RUN=1 exec unshare --mount "$0" "$@"
fi
mount -t tmpfs tmpfs /run

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0

# Runs the script as dpkg would, with only the fake tools on the path, and compares what udevadm
# was asked to do.
expect() { # name, udevadm (none, working or failing), daemon (running or stopped), action, expected calls
    local name=$1 udevadm=$2 daemon=$3 action=$4 expected=$5
    rm -rf "${tmp:?}"/* /run/udev
    mkdir "$tmp/bin"
    if [ "$udevadm" != none ]; then
        local status=0
        [ "$udevadm" = failing ] && status=1
        printf '#!/bin/bash\necho "$*" >>%q\nexit %d\n' "$tmp/calls" "$status" >"$tmp/bin/udevadm"
        chmod +x "$tmp/bin/udevadm"
    fi
    if [ "$daemon" = running ]; then
        mkdir /run/udev
        touch /run/udev/control
    fi
    local outcome=0
    PATH=$tmp/bin /bin/bash "$script" "$action" >"$tmp/output" 2>&1 || outcome=$?
    local calls
    calls=$(cat "$tmp/calls" 2>/dev/null || true)
    if [ $outcome -ne 0 ] || [ "$calls" != "$expected" ] || [ -s "$tmp/output" ]; then
        echo "FAIL ($name): status $outcome, udevadm calls: ${calls:-none}, output: $(cat "$tmp/output")" >&2
        failures=$((failures + 1))
    fi
}

reload=$'control --reload\ntrigger --subsystem-match=hidraw'
expect "installed where udev runs" working running configure "$reload"
expect "removed where udev runs" working running remove "$reload"
expect "udevadm fails" failing running configure "$reload"
expect "no udev daemon, as in a container" working stopped configure ""
expect "no udevadm at all" none running configure ""

[ $failures -eq 0 ] || exit 1
echo "PASS"
