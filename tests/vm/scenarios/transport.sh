# The hidraw transport against emulated docks, for what the command line cannot reach: apply
# with read-back and save, and colour streaming to several docks.
. "$KAVRIN_VM_SCENARIOS/lib.sh"

breathing45='{"isOn":true,"effect":2,"brightness":45,"speed":3,"color":{"red":255,"green":100,"blue":0}}'

dock --model forge --log /tmp/forge.log
forge=$json
dock --model mind --log /tmp/mind.log
mind=$json
dock --model forge --product 0x7A27 --ignore-commands --log /tmp/ignoring.log
ignoring=$json
dock --model mind --fail-set-from 2 --log /tmp/failing.log
failing=$json

# applied DOCK MODE LOG: how applying $breathing45 ended, then the reports the dock got.
applied() { outcome "$TRANSPORT_CHECK" apply "$1" "$breathing45" "$2"; echo; sent "$3"; }

check "apply on the older model: colour, mode, read-back, then save; brightness comes back in tens" \
    same "$(applied "$forge" persist /tmp/forge.log)" "$(printf '%s\n' \
        '{"brightness":50,"color":{"blue":0,"green":100,"red":255},"effect":2,"isOn":true,"speed":3}||0' \
        01C8FF6400080100 01C9020507010800 00CB000000000000 00CA080000000000 01B6000000000000)"
check "apply on the newer model without save keeps the percentage; mode, colour and the two requests" \
    same "$(applied "$mind" keep /tmp/mind.log)" "$(printf '%s\n' \
        '{"brightness":45,"color":{"blue":0,"green":100,"red":255},"effect":2,"isOn":true,"speed":3}||0' \
        C9022D0200000000 CDFF640000000000 00CB000000000000 00CA000000000000)"
check "a dock that does not carry out the commands fails the read-back and is not asked to save" \
    same "$(applied "$ignoring" persist /tmp/ignoring.log)" "$(printf '%s\n' \
        '|指令已发送，但回读与预期不一致；未标记为应用成功，也未保存。|1' \
        01C8FF6400080100 01C9020507010800 00CB000000000000 00CA080000000000)"
check "a command the dock fails ends the apply with the kernel's EIO, and nothing follows it" \
    same "$(applied "$failing" persist /tmp/failing.log)" "$(printf '%s\n' \
        '|发送灯光命令失败（0xE00002BC）。请检查设备连接；若打开了其他调灯软件，请先退出。|1' \
        C9022D0200000000 CDFF640000000000)"

: >/tmp/forge.log
: >/tmp/mind.log
check "colours for two docks of both models" same "$(outcome "$TRANSPORT_CHECK" write-colors "$forge" 102030 "$mind" 405060)" '||0'
check "one colour report each, nothing else" \
    same "$(sent /tmp/forge.log) / $(sent /tmp/mind.log)" "01C8102030080100 / CD40506000000000"

dock --model mind --vanish-after 0 --log /tmp/gone.log
gone=$json gone_node=$node
unplug "$gone_node"
: >/tmp/forge.log
check "colours for a set with an unplugged dock are refused" \
    same "$(outcome "$TRANSPORT_CHECK" write-colors "$forge" 0A0B0C "$gone" 0D0E0F)" '|所选设备已断开或身份发生变化，请重新选择。|1'
check "before anything reached the dock still there" same "$(sent /tmp/forge.log)" ""

# The kernel hands the departed dock's node to the next device that comes.
dock --model mind --log /tmp/successor.log
check "a new dock took the departed dock's node" same "$node" "$gone_node"
check "the departed dock's description does not reach the newcomer" \
    same "$(outcome "$TRANSPORT_CHECK" apply "$gone" "$breathing45" keep)" '|所选设备已断开或身份发生变化，请重新选择。|1'
check "which got nothing" same "$(sent /tmp/successor.log)" ""

finish
