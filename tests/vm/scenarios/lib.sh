# Sourced by the guest scenario scripts: emulated docks, checks, and the closing summary.
# Every check prints "ok   NAME" or "FAIL NAME" followed by what differed.
set -u
passed=0
failed=0

# check NAME COMMAND...: COMMAND's output explains a failure. Each line ends with the seconds
# since the previous check, setup included.
last_check=$EPOCHREALTIME
check() {
    local name=$1 output took
    shift
    if output=$("$@" 2>&1); then
        lap
        echo "ok   $name ($took s)"
        passed=$((passed + 1))
    else
        lap
        echo "FAIL $name ($took s)"
        printf '%s\n' "$output" | sed 's/^/     /'
        failed=$((failed + 1))
    fi
}

lap() {
    local now=$EPOCHREALTIME micros
    micros=$((${now/./} - ${last_check/./}))
    printf -v took '%d.%02d' $((micros / 1000000)) $((micros % 1000000 / 10000))
    last_check=$now
}

# same ACTUAL EXPECTED
same() {
    [ "$1" == "$2" ] && return 0
    printf 'expected:\n%s\nactual:\n%s\n' "$2" "$1"
    return 1
}

# lines WORD...: each word on a line of its own, for expected multi-line outputs.
lines() { printf '%s\n' "$@"; }

# dock EMULATOR-ARGS...: starts an emulated dock and sets $node (hidrawN) and $id (HID instance).
dock() {
    node="" id=""
    read -r node id < <("$DOCK_EMU" "$@")
    [ -n "$node" ] || { echo "could not start a dock with: $*" >&2; exit 1; }
}

# sent LOG: the reports a dock accepted or refused, one per line, in the order they came.
sent() {
    local kind report _
    while read -r kind report _; do
        [ "$kind" = set ] && echo "$report"
    done <"$1"
}

# describe ID VENDOR PRODUCT: the JSON of an emulated dock as the transport lists it. uhid
# devices have no USB parent: location 0, no manufacturer, the default product name.
describe() {
    printf '{"featureBytes":8,"id":%d,"locationID":0,"manufacturer":"","product":"USB-HID Device","productID":%d,"vendorID":%d}' \
        "$1" "$3" "$2"
}

# outcome COMMAND...: "stdout|stderr|status" of the command in one line each way.
outcome() {
    local out status
    out=$("$@" 2>/tmp/outcome.err) && status=0 || status=$?
    printf '%s|%s|%s' "$out" "$(</tmp/outcome.err)" "$status"
}

finish() {
    echo "$passed checks passed, $failed failed"
    [ "$failed" -eq 0 ]
}
