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
