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
