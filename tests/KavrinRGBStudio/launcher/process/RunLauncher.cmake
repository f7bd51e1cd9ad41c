# Runs the launcher for one case and checks its exit status, standard output and standard error
# exactly: cmake -DLAUNCHER=<path> -DFAKE_SYSFS_LAUNCHER=<path> -DEMPTY_ROOT=<dir> -DCASE=<case>
# -P RunLauncher.cmake. Each case is: the launcher (real, or over the empty fake root), how standard
# output is redirected, the arguments, then the expected status, output and error.
file(MAKE_DIRECTORY ${EMPTY_ROOT})
set(real ${LAUNCHER})
set(fake ${FAKE_SYSFS_LAUNCHER} ${EMPTY_ROOT})
set(full "No space left on device\n")
set(closed "Bad file descriptor\n")

set(help_run real "" --help)
set(help_expected 0 "KAVRIN RGB Studio
--list 列出兼容设备（不发送灯光命令）
--read [--device REGISTRY_ID] 读取灯光设置
--demo 打开演示界面（不访问 USB）
--apply FILE|- [--device REGISTRY_ID] [--persist] 应用灯光设置并回读确认，--persist 另让设备断电保存
--apply FILE|- --all 把全部设备同步到这份设置，任一失败即全部还原
" "")
set(help_full_run real ">/dev/full" --help)
set(help_full_expected 1 "" "${full}")
set(help_closed_run real ">&-" --help)
set(help_closed_expected 1 "" "${closed}")
set(list_run fake "" --demo --list)
set(list_expected 0 "[]\n" "")
set(list_full_run fake ">/dev/full" --list)
set(list_full_expected 1 "" "${full}")
set(list_closed_run fake ">&-" --list)
set(list_closed_expected 1 "" "${closed}")
set(read_run fake "" --read)
set(read_expected 1 "" "未找到支持的 FORGE CUBE / MIND CUBE 灯光接口。\n")
# One file per case: the cases run in parallel.
set(settings ${EMPTY_ROOT}/../${CASE}-settings.json)
file(WRITE ${settings} [[{"isOn":true,"effect":2,"brightness":45,"speed":3,"color":{"red":255,"green":100,"blue":0}}]])
set(apply_usage_run real "" --apply --all)
set(apply_usage_expected 2 "" "--apply 后面需要设置文件的路径，或用 - 表示标准输入。\n")
set(apply_empty_run fake "</dev/null" --apply - --read)
set(apply_empty_expected 1 "" "标准输入是空的，没有灯光设置。\n")
set(apply_all_run fake "<${settings}" --demo --apply - --all)
set(apply_all_expected 1 "" "未找到支持的 FORGE CUBE / MIND CUBE 灯光接口。\n")
if(NOT DEFINED ${CASE}_run)
    message(FATAL_ERROR "unknown case '${CASE}'")
endif()
list(POP_FRONT ${CASE}_run launcher redirection)
execute_process(COMMAND sh -c "exec \"$@\" ${redirection}" sh ${${launcher}} ${${CASE}_run}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE error)
if(NOT "${status};${output};${error}" STREQUAL "${${CASE}_expected}")
    message(FATAL_ERROR "${CASE}: status, output and error were\n[${status};${output};${error}]\nexpected\n"
                        "[${${CASE}_expected}]")
endif()
