# What the kernel's HID stack does with an emulated dock, seen through raw hidraw ioctls. The
# transport is built on these facts; if a kernel update changes one, this is where it shows.
. "$KAVRIN_VM_SCENARIOS/lib.sh"
mode_request=00CB000000000000

dock --model forge --lamp 2,5,7,102030 --log /tmp/forge.log
forge=$node forge_id=$id
dock --model mind --fail-get-from 1
failing_get=$node
dock --model mind --fail-set-from 1
failing_set=$node
dock --model mind --vanish-after 1
vanishing_in_get=$node
dock --model mind --vanish-after 0
vanishing_in_set=$node
dock --model mind --get-delay-ms 6000 --log /tmp/stuck.log
stuck=$node

check "a uhid dock sits under the virtual uhid device, named by its instance in hex" \
    same "$(readlink -f "/sys/class/hidraw/$forge/device")" \
    "/sys/devices/virtual/misc/uhid/0003:1044:7A3E.$(printf %04X "$forge_id")"
check "without udev the node is root-only" same "$(stat -c '%a %U' "/dev/$forge")" "600 root"
check "uevent carries bus, vendor and product" \
    same "$(grep '^HID_ID=' "/sys/class/hidraw/$forge/device/uevent")" "HID_ID=0003:00001044:00007A3E"
check "sysfs hands out the dock's report descriptor unchanged" \
    same "$(od -An -tx1 -v "/sys/class/hidraw/$forge/device/report_descriptor" | tr -d ' \n')" \
    0601ff0901a101150026ff00750895080901b102c0
check "set-feature sends 9 bytes, get-feature returns 9 with report number 0 first" \
    same "$(probe "/dev/$forge" set $mode_request get set 0102)" $'set 9\nget 9 0000CB020507000000\nset error EIO'
check "the dock saw the 8 payload bytes, and refused the stray report" \
    same "$(sent /tmp/forge.log)" $'00CB000000000000\n0102'
check "a failing get-feature is EIO" same "$(probe "/dev/$failing_get" set $mode_request get)" $'set 9\nget error EIO'
check "a failing set-feature is EIO" same "$(probe "/dev/$failing_set" set $mode_request)" "set error EIO"

check "a dock vanishing during a get: EIO, then ENODEV on the open node" \
    same "$(probe "/dev/$vanishing_in_get" set $mode_request get wait-gone set $mode_request get)" \
    $'set 9\nget error EIO\ngone\nset error ENODEV\nget error ENODEV'
check "a dock vanishing during a set: EIO" same "$(probe "/dev/$vanishing_in_set" set $mode_request)" "set error EIO"

# hidraw holds its node table lock while an ioctl waits for the dock: a dock that does not
# answer keeps every other dock out of reach until the kernel gives up on it.
probe "/dev/$stuck" set $mode_request get >/tmp/stuck.out &
for _ in $(seq 100); do
    [[ $(</tmp/stuck.log) == *"get delayed"* ]] && break
    sleep 0.05
done
asked=$EPOCHREALTIME
other=$(probe "/dev/$forge" set $mode_request get)
waited_ms=$(((${EPOCHREALTIME/./} - ${asked/./}) / 1000))
wait
check "an answer over 5 s late fails with EIO" same "$(</tmp/stuck.out)" $'set 9\nget error EIO'
check "meanwhile another dock is out of reach for seconds" test "$waited_ms" -ge 2000
check "and answers once the kernel has given up" same "$other" $'set 9\nget 9 0000CB020507000000'
finish
