# The real executable, run as a process without a display: the command line must work over SSH.
foreach(case IN ITEMS help list read)
    add_test(NAME launcher_process_${case}
             COMMAND ${CMAKE_COMMAND} -DLAUNCHER=$<TARGET_FILE:kavrin-rgb-studio> -DCASE=${case}
                     -P ${CMAKE_CURRENT_SOURCE_DIR}/KavrinRGBStudio/launcher/RunLauncher.cmake)
    set_tests_properties(launcher_process_${case} PROPERTIES
                         ENVIRONMENT_MODIFICATION "DISPLAY=unset:;WAYLAND_DISPLAY=unset:")
endforeach()
