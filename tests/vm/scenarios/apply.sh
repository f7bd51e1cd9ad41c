# kavrin-rgb-studio --apply against emulated docks of both models: one dock with read-back and
# save, refusals of bad input before any dock hears of it (the unit tests have every kind), a
# read-back that does not confirm, and --all with its rollback when a dock fails mid-group.
. "$KAVRIN_VM_SCENARIOS/lib.sh"
mkdir -p /tmp/logs
kavrin() { outcome "$KAVRIN" "$@"; }
traffic() { grep -H '^[sg]et ' /tmp/logs/*.log; }
generic_hint='请检查设备连接；若打开了其他调灯软件，请先退出。'
mismatch='指令已发送，但回读与预期不一致；未标记为应用成功，也未保存。'
partly=' 部分指令可能已生效，请先读取这台设备。'
synced='同步配置已应用，并回读确认。'
rolled_back='同步未完成，已还原原设置。'
breathing45='{"isOn":true,"effect":2,"brightness":45,"speed":3,"color":{"red":255,"green":100,"blue":0}}'
echo "$breathing45" >/tmp/breathing45.json

dock --model forge --log /tmp/logs/forge.log
forge=$id
dock --model mind --log /tmp/logs/mind.log
mind=$id

check "the older model: colour, mode, read-back, then save; the read-back is printed" \
    same "$(kavrin --apply /tmp/breathing45.json --device "$forge" --persist)" \
    '{"brightness":50,"color":{"blue":0,"green":100,"red":255},"effect":2,"isOn":true,"speed":3}||0'
check "the older dock's reports" same "$(sent /tmp/logs/forge.log)" \
    $'01C8FF6400080100\n01C9020507010800\n00CB000000000000\n00CA080000000000\n01B6000000000000'
check "the newer model from standard input, without save" \
    same "$(kavrin --apply - --device "$mind" </tmp/breathing45.json)" \
    '{"brightness":45,"color":{"blue":0,"green":100,"red":255},"effect":2,"isOn":true,"speed":3}||0'
check "the newer dock's reports" same "$(sent /tmp/logs/mind.log)" \
    $'C9022D0200000000\nCDFF640000000000\n00CB000000000000\n00CA000000000000'
"$KAVRIN" --read --device "$mind" >/tmp/saved.json
check "what --read prints applies back unchanged" \
    same "$(kavrin --apply /tmp/saved.json --device "$mind")" "$(jq -c . /tmp/saved.json)||0"

before=$(traffic)
check "a missing file" same "$(kavrin --apply /tmp/none.json --device "$forge")" '|未找到设置文件“/tmp/none.json”。|1'
check "an endless input is cut off" same "$(kavrin --apply - --device "$forge" </dev/zero)" \
    '|标准输入超过 4096 字节，不可能是一份灯光设置。|1'
check "JSON of another shape" same "$(echo '{"effect":"breathing"}' | kavrin --apply - --device "$forge")" \
    '|标准输入不是灯光设置：应为与 --read 输出相同的 JSON 对象，含 isOn、effect、brightness、speed 和 color（red、green、blue）。|1'
check "an effect the older model lacks" same "$(echo "${breathing45/\"effect\":2/\"effect\":8}" | kavrin --apply - --device "$forge")" \
    '|灯光参数超出支持范围。|1'
check "--all with --persist is a usage error" same "$(kavrin --apply /tmp/breathing45.json --all --persist)" \
    '|--all 不会让设备保存设置，不能与 --persist 同时使用。|2'
check "no dock heard of any of them" same "$(traffic)" "$before"

: >/tmp/logs/forge.log
: >/tmp/logs/mind.log
check "--all, both models: speed relative to the first dock's model, brightness on a common step" \
    same "$(kavrin --apply /tmp/breathing45.json --all)" \
    "[{\"id\":$forge,\"message\":\"$synced\",\"success\":true},{\"id\":$mind,\"message\":\"$synced\",\"success\":true}]||0"
check "the newer dock was read, then got brightness 50 and speed 2" same "$(sent /tmp/logs/mind.log)" \
    $'00CB000000000000\n00CA000000000000\nC902320100000000\nCDFF640000000000\n00CB000000000000\n00CA000000000000'

# Leaves at the report after the 22 of the two applies below, which unplugging sends.
dock --model forge --product 0x7A27 --ignore-commands --vanish-after 22 --log /tmp/logs/ignoring.log
ignoring=$id ignoring_node=$node
check "a read-back that does not confirm: not saved, and the user is told it may have taken effect" \
    same "$(kavrin --apply /tmp/breathing45.json --device "$ignoring" --persist)" "|$mismatch$partly|1"
check "no save was sent" same "$(sent /tmp/logs/ignoring.log)" \
    $'01C8FF6400080100\n01C9020507010800\n00CB000000000000\n00CA080000000000'

solid='{"isOn":true,"effect":1,"brightness":100,"speed":5,"color":{"red":16,"green":32,"blue":48}}'
check "the first dock gets settings of its own" same "$(echo "$solid" | kavrin --apply - --device "$forge")" \
    '{"brightness":100,"color":{"blue":48,"green":32,"red":16},"effect":1,"isOn":true,"speed":5}||0'
: >/tmp/logs/forge.log
unfinished="同步未完成：$mismatch"
check "--all whose last dock does not confirm: every dock rolled back, exit 1" \
    same "$(kavrin --apply /tmp/breathing45.json --all)" \
    "[{\"id\":$forge,\"message\":\"$unfinished $rolled_back\",\"success\":false},{\"id\":$mind,\"message\":\"$unfinished $rolled_back\",\"success\":false},{\"id\":$ignoring,\"message\":\"$unfinished $rolled_back\",\"success\":false}]||1"
check "the first dock: read, written, then its own settings written back" same "$(sent /tmp/logs/forge.log)" \
    $'00CB000000000000\n00CA080000000000\n01C8FF6400080100\n01C9020507010800\n00CB000000000000\n00CA080000000000\n01C8102030080100\n01C9010A05010800\n00CB000000000000\n00CA080000000000'

unplug "$ignoring_node"
# The third of four fails its first command and every later one.
dock --model mind --fail-set-from 3 --log /tmp/logs/failing.log
failing=$id
dock --model forge --lamp 3,10,1,102030 --log /tmp/logs/last.log
last=$id
: >/tmp/logs/forge.log
io_failure="发送灯光命令失败（0xE00002BC）。$generic_hint"
unfinished="同步未完成：$io_failure"
check "--all failing mid-group: the written docks rolled back, the last one untouched" \
    same "$(kavrin --apply /tmp/breathing45.json --all)" \
    "[{\"id\":$forge,\"message\":\"$unfinished $rolled_back\",\"success\":false},{\"id\":$mind,\"message\":\"$unfinished $rolled_back\",\"success\":false},{\"id\":$failing,\"message\":\"$unfinished 还原失败：$io_failure\",\"success\":false},{\"id\":$last,\"message\":\"$unfinished 这台未作修改。\",\"success\":false}]||1"
check "the untouched dock was only read" same "$(sent /tmp/logs/last.log)" $'00CB000000000000\n00CA080000000000'
check "and reads as before" same "$(kavrin --read --device "$last")" \
    '{"brightness":100,"color":{"blue":48,"green":32,"red":16},"effect":3,"isOn":true,"speed":9}||0'
check "a single apply that fails on a command says it may have taken effect" \
    same "$(kavrin --apply /tmp/breathing45.json --device "$failing")" "|$io_failure$partly|1"
check "a user without access to the node is refused before any command: no such sentence" \
    same "$(outcome setpriv --reuid=65534 --regid=65534 --clear-groups "$KAVRIN" --apply /tmp/breathing45.json --device "$forge")" \
    '|连接所选设备失败（0xE00002E2）。系统拒绝访问该 USB 接口。|1'

finish
