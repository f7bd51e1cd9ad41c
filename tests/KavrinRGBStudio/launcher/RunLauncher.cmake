# Runs the real executable for one case and checks its standard output, standard error and exit
# status exactly: cmake -DLAUNCHER=<path> -DCASE=<help|list|read> -P RunLauncher.cmake
# The list and read cases expect a machine without docks.
set(usage "KAVRIN RGB Studio
--list 列出兼容设备（不发送灯光命令）
--read [--device REGISTRY_ID] 读取灯光设置
--demo 打开演示界面（不访问 USB）
")
if(CASE STREQUAL "help")
    set(arguments --help)
    set(expected_output "${usage}")
    set(expected_error "")
    set(expected_status 0)
elseif(CASE STREQUAL "list")
    set(arguments --demo --list)
    set(expected_output "[]\n")
    set(expected_error "")
    set(expected_status 0)
elseif(CASE STREQUAL "read")
    set(arguments --read)
    set(expected_output "")
    set(expected_error "未找到支持的 FORGE CUBE / MIND CUBE 灯光接口。\n")
    set(expected_status 1)
else()
    message(FATAL_ERROR "unknown case '${CASE}'")
endif()

execute_process(COMMAND ${LAUNCHER} ${arguments}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE error)
foreach(stream IN ITEMS status output error)
    if(NOT "${${stream}}" STREQUAL "${expected_${stream}}")
        message(FATAL_ERROR "${CASE}: ${stream} was\n[${${stream}}]\nexpected\n[${expected_${stream}}]")
    endif()
endforeach()
