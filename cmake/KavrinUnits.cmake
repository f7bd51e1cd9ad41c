# One library per unit of a module, so a unit builds and tests on its own.
# kavrin_unit(<target> <folder> [DEPENDS targets...]): a static library of the folder's sources,
# or an interface library while the folder has none yet.
function(kavrin_unit target folder)
    cmake_parse_arguments(PARSE_ARGV 2 UNIT "" "" "DEPENDS")
    file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp)
    file(GLOB headers CONFIGURE_DEPENDS ${folder}/*.hpp)
    if(sources)
        add_library(${target} STATIC ${sources} ${headers})
        set(scope PUBLIC)
    else()
        add_library(${target} INTERFACE)
        set(scope INTERFACE)
    endif()
    target_include_directories(${target} ${scope} ${CMAKE_CURRENT_SOURCE_DIR}/..)
    target_link_libraries(${target} ${scope} ${UNIT_DEPENDS})
endfunction()

# Tests that run threads (or take real signals) carry the label "threads", which the
# ThreadSanitizer build runs; the target thread_tests builds exactly what they need.
# kavrin_thread_tests(<targets...>): marks executables whose tests are all run under that label.
function(kavrin_thread_tests)
    set_property(GLOBAL APPEND PROPERTY KAVRIN_THREAD_TEST_TARGETS ${ARGN})
endfunction()

function(kavrin_discover_tests name threads)
    if(threads)
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS threads)
        kavrin_thread_tests(${name})
    else()
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
    endif()
endfunction()

# kavrin_unit_tests(<name> <folder> [THREADS] <libraries...>): one GoogleTest executable for a folder
# of tests; THREADS when any of them runs threads.
function(kavrin_unit_tests name folder)
    cmake_parse_arguments(PARSE_ARGV 2 TESTS "THREADS" "" "")
    file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp)
    if(sources)
        add_executable(${name} ${sources})
        target_link_libraries(${name} PRIVATE ${TESTS_UNPARSED_ARGUMENTS} GTest::gmock_main)
        kavrin_discover_tests(${name} "${TESTS_THREADS}")
    endif()
endfunction()

# kavrin_qt_tests(<name> <folder> <QCoreApplication|QApplication> [THREADS] <libraries...>): GoogleTest
# with Qt's event loop; the test main makes the application object first.
function(kavrin_qt_tests name folder application)
    cmake_parse_arguments(PARSE_ARGV 3 TESTS "THREADS" "" "")
    file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp)
    add_executable(${name} ${sources} ${PROJECT_SOURCE_DIR}/tests/KavrinRGBStudio/support/QtTestMain.cpp)
    target_compile_definitions(${name} PRIVATE KAVRIN_TEST_APPLICATION=${application}
                                               KAVRIN_TEST_APPLICATION_HEADER=<${application}>)
    target_link_libraries(${name} PRIVATE ${TESTS_UNPARSED_ARGUMENTS} Qt6::Test GTest::gmock)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    kavrin_discover_tests(${name} "${TESTS_THREADS}")
endfunction()
