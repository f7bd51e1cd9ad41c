# Runs the real executable for one case and checks its exit status, standard output and standard
# error exactly: cmake -DLAUNCHER=<path> -DCASE=<help|list|read> -P RunLauncher.cmake
# The list and read cases expect a machine without docks.
set(help_arguments --help)
set(help_expected 0 "KAVRIN RGB Studio
--list 列出兼容设备（不发送灯光命令）
--read [--device REGISTRY_ID] 读取灯光设置
--demo 打开演示界面（不访问 USB）
" "")
set(list_arguments --demo --list)
set(list_expected 0 "[]\n" "")
set(read_arguments --read)
set(read_expected 1 "" "未找到支持的 FORGE CUBE / MIND CUBE 灯光接口。\n")
if(NOT DEFINED ${CASE}_arguments)
    message(FATAL_ERROR "unknown case '${CASE}'")
endif()
execute_process(COMMAND ${LAUNCHER} ${${CASE}_arguments}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE error)
if(NOT "${status};${output};${error}" STREQUAL "${${CASE}_expected}")
    message(FATAL_ERROR "${CASE}: status, output and error were\n[${status};${output};${error}]\nexpected\n"
                        "[${${CASE}_expected}]")
endif()
