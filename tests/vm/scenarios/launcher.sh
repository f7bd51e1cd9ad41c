# The kavrin-rgb-studio command line against emulated docks: listing good and bad docks in
# order, reading both models, the user-facing failures, and that --list and --read send
# nothing but the two read requests.
. "$KAVRIN_VM_SCENARIOS/lib.sh"
mkdir -p /tmp/logs
kavrin() { outcome "$KAVRIN" "$@"; }
# As an unprivileged user; the nodes are root-only.
kavrin_as_nobody() { outcome setpriv --reuid=65534 --regid=65534 --clear-groups "$KAVRIN" "$@"; }
# Every report any dock has been sent or answered, by log.
traffic() { grep -H '^[sg]et ' /tmp/logs/*.log; }
no_device='未找到支持的 FORGE CUBE / MIND CUBE 灯光接口。'
generic_hint='请检查设备连接；若打开了其他调灯软件，请先退出。'

check "no dock: an empty list" same "$(kavrin --list)" '[]||0'
check "no dock: nothing to read" same "$(kavrin --read)" "|$no_device|1"

dock --model mind --corrupt-get 1 --log /tmp/logs/corrupt.log
corrupt=$json
check "the only dock is read without --device; its corrupt answer is refused" \
    same "$(kavrin --read)" '|设备返回的灯光数据格式不匹配，未将其作为当前设置。|1'

# HID instance numbers only grow while hidraw node numbers are reused, so docks that come and
# go make the two orders differ, and the good docks' instances (10 to 15) need hex to be read.
throwaways=()
for _ in 1 2 3; do
    dock --model mind --vanish-after 0
    throwaways+=("$node")
done
dock --model mind --report-id --log /tmp/logs/report-id.log
dock --model forge --usage-page 0xFF00 --log /tmp/logs/usage-page.log
bad_id=$id
dock --model forge --product 0x7A61 --log /tmp/logs/mixed-ids-1.log
dock --model mind --product 0x7A3E --log /tmp/logs/mixed-ids-2.log
dock --model forge --vendor 0x046D --product 0xC52B --log /tmp/logs/other-vendor.log
dock --model mind --lamp 8,60,4,0A0B0C --log /tmp/logs/mind.log
mind_id=$id mind_node=$node mind=$json
for node in "${throwaways[@]}"; do
    unplug "$node" &
done
wait
dock --model forge --lamp 4,45,2,FF6400 --log /tmp/logs/forge.log
forge_id=$id forge_node=$node forge=$json
dock --model forge --product 0x7A27 --lamp 3,0,9,102030 --log /tmp/logs/forge-off.log
off_id=$id off=$json
dock --model mind --fail-get-from 1 --log /tmp/logs/failing.log
failing_id=$id failing=$json
dock --model forge --get-delay-ms 400 --log /tmp/logs/slow.log
slow_id=$id slow=$json
dock --model mind --vanish-after 1 --log /tmp/logs/vanishing.log
vanishing_id=$id vanishing=$json

check "instances past 9, and node numbers reused out of instance order" \
    same "$mind_id $mind_node $vanishing_id $forge_node" "10 hidraw9 15 hidraw1"
before=$(traffic)
all_docks="[$corrupt,$mind,$forge,$off,$failing,$slow,$vanishing]"
check "--list shows the good docks only, by instance number" same "$(kavrin --list)" "$all_docks||0"
check "--list sent nothing to any dock" same "$(traffic)" "$before"
check "--list needs no access to the nodes" same "$(kavrin_as_nobody --list)" "$all_docks||0"

check "several docks and no --device: ambiguous" same "$(kavrin --read)" '|检测到多台设备，请使用 --device 指定设备 ID。|1'
check "the ID of a dock with the wrong usage page" same "$(kavrin --read --device "$bad_id")" "|$no_device|1"

check "reading the newer model" same "$(kavrin --read --device "$mind_id")" \
    '{"brightness":60,"color":{"blue":12,"green":11,"red":10},"effect":8,"isOn":true,"speed":5}||0'
check "the newer dock got its two requests only" same "$(sent /tmp/logs/mind.log)" \
    $'00CB000000000000\n00CA000000000000'
check "reading the older model" same "$(kavrin --read --device "$forge_id")" \
    '{"brightness":45,"color":{"blue":0,"green":100,"red":255},"effect":4,"isOn":true,"speed":8}||0'
check "the older dock got its two requests only" same "$(sent /tmp/logs/forge.log)" \
    $'00CB000000000000\n00CA080000000000'
check "an off lamp reads as off with brightness 100" same "$(kavrin --read --device "$off_id")" \
    '{"brightness":100,"color":{"blue":48,"green":32,"red":16},"effect":3,"isOn":false,"speed":1}||0'
check "an answer 0.4 s late is waited for" same "$(kavrin --read --device "$slow_id")" \
    '{"brightness":100,"color":{"blue":0,"green":100,"red":255},"effect":1,"isOn":true,"speed":5}||0'

: >/tmp/logs/forge.log
check "a user without access to the node is told so" same "$(kavrin_as_nobody --read --device "$forge_id")" \
    '|连接所选设备失败（0xE00002E2）。系统拒绝访问该 USB 接口。|1'
check "and nothing reached the dock" same "$(sent /tmp/logs/forge.log)" ""

check "a failing get-feature" same "$(kavrin --read --device "$failing_id")" \
    "|读取灯光数据失败（0xE00002BC）。$generic_hint|1"
check "a dock vanishing while its answer is awaited" same "$(kavrin --read --device "$vanishing_id")" \
    "|读取灯光数据失败（0xE00002BC）。$generic_hint|1"
check "is gone from the list afterwards" \
    same "$(kavrin --list)" "[$corrupt,$mind,$forge,$off,$failing,$slow]||0"

check "--list and --read sent nothing but the two read requests" \
    same "$(for log in /tmp/logs/*.log; do sent "$log"; done | sort -u)" \
    $'00CA000000000000\n00CA080000000000\n00CB000000000000'

finish
