# Sourced by the guest scenario scripts: emulated docks, checks, and the closing summary.
# Every check prints "ok   NAME" or "FAIL NAME" followed by what differed.
set -u
passed=0
failed=0

# check NAME COMMAND...: COMMAND's output explains a failure.
check() {
    local name=$1 output
    shift
    if output=$("$@" 2>&1); then
        echo "ok   $name"
        passed=$((passed + 1))
    else
        echo "FAIL $name"
        printf '%s\n' "$output" | sed 's/^/     /'
        failed=$((failed + 1))
    fi
}

# same ACTUAL EXPECTED
same() {
    [ "$1" == "$2" ] && return 0
    printf 'expected:\n%s\nactual:\n%s\n' "$2" "$1"
    return 1
}

unplug() { "$UNPLUG" "$@"; }

# dock EMULATOR-ARGS...: starts an emulated dock and sets $node (hidrawN), $id (HID instance) and
# $json, the dock as the transport lists it. uhid devices have no USB parent: location 0, no
# manufacturer, the default product name.
dock() {
    local vendor product
    node="" id=""
    read -r node id vendor product < <("$DOCK_EMU" "$@")
    [ -n "$node" ] || { echo "could not start a dock with: $*" >&2; exit 1; }
    printf -v json '{"featureBytes":8,"id":%d,"locationID":0,"manufacturer":"","product":"USB-HID Device","productID":%d,"vendorID":%d}' \
        "$id" "$product" "$vendor"
}

# sent LOG: the reports a dock accepted or refused, one per line, in the order they came.
sent() {
    local kind report _
    while read -r kind report _; do
        [ "$kind" = set ] && echo "$report"
    done <"$1"
}

# outcome COMMAND...: "stdout as compact JSON|stderr|status" of the command on one line.
outcome() {
    local out status
    out=$("$@" 2>/tmp/outcome.err) && status=0 || status=$?
    [ -z "$out" ] || out=$(jq -c . <<<"$out" 2>&1)
    printf '%s|%s|%s' "$out" "$(</tmp/outcome.err)" "$status"
}

finish() {
    echo "$passed checks passed, $failed failed"
    [ "$failed" -eq 0 ]
}
