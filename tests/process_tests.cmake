# The launcher run as a process without a display (the command line must work over SSH): the real
# executable where no dock is touched, and the same launcher over an empty fake sysfs where one
# would be, so the outcome does not depend on what is plugged into the machine.
add_executable(kavrin-launcher-fake-sysfs KavrinRGBStudio/launcher/process/FakeSysfsLauncher.cpp)
target_link_libraries(kavrin-launcher-fake-sysfs PRIVATE KavrinLauncher)

foreach(case IN ITEMS help help_full help_closed list list_full list_closed read apply_usage apply_empty apply_all)
    add_test(NAME launcher_process_${case}
             COMMAND ${CMAKE_COMMAND} -DLAUNCHER=$<TARGET_FILE:kavrin-rgb-studio>
                     -DFAKE_SYSFS_LAUNCHER=$<TARGET_FILE:kavrin-launcher-fake-sysfs>
                     -DEMPTY_ROOT=${CMAKE_CURRENT_BINARY_DIR}/empty-sysfs-root -DCASE=${case}
                     -P ${CMAKE_CURRENT_SOURCE_DIR}/KavrinRGBStudio/launcher/process/RunLauncher.cmake)
    set_tests_properties(launcher_process_${case} PROPERTIES
                         ENVIRONMENT_MODIFICATION "DISPLAY=unset:;WAYLAND_DISPLAY=unset:")
endforeach()

# The window module as the executable loads it: a missing, broken or incomplete module is one line
# on standard error; the demo window under Xvfb ends with status 0 when closed or sent SIGTERM.
find_package(X11)
add_library(kavrin-module-without-entry MODULE KavrinRGBStudio/app/process/ModuleWithoutEntry.cpp)
set(window_process_cases module_missing module_broken module_without_entry module_installed display_unreachable)
if(X11_FOUND)
    add_executable(x11-window-tool KavrinRGBStudio/app/process/X11WindowTool.cpp)
    target_link_libraries(x11-window-tool PRIVATE X11::X11)
    list(APPEND window_process_cases close sigterm)
endif()
foreach(case IN LISTS window_process_cases)
    add_test(NAME window_process_${case}
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/KavrinRGBStudio/app/process/run-window-process.sh ${case}
                     $<TARGET_FILE:kavrin-rgb-studio> $<TARGET_FILE:kavrin-rgb-studio-window>
                     $<TARGET_FILE:kavrin-module-without-entry> $<$<TARGET_EXISTS:x11-window-tool>:$<TARGET_FILE:x11-window-tool>>)
    # Xvfb servers started at once may pick the same display number.
    set_tests_properties(window_process_${case} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120 RESOURCE_LOCK xvfb
        ENVIRONMENT LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_SOURCE_DIR}/KavrinRGBStudio/app/process/leak-suppressions.txt)
endforeach()
# The demo window runs the model over the real worker thread and takes a real SIGTERM.
if(X11_FOUND)
    set_tests_properties(window_process_close window_process_sigterm PROPERTIES LABELS threads)
    kavrin_thread_tests(kavrin-rgb-studio kavrin-rgb-studio-window kavrin-module-without-entry x11-window-tool)
endif()
