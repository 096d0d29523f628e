# Helpers that every test folder uses, so that all tests run the same way under both presets.
#
#   sfp_add_gtest(NAME <name> KIND unit|gui|integration [NEEDS_DISPLAY] SOURCES <files> LIBS <targets>)
#       One GoogleTest executable registered with CTest under the label KIND. A test program runs with no
#       X display and links GoogleTest's own main, unless it says NEEDS_DISPLAY: then it links
#       tests/support/GuiTestMain.cpp, which starts wxWidgets, and runs on an X display of its own
#       (tests/support/own-display), so that no other test's window can take its pointer or focus.
#   sfp_add_display_test(NAME <name> COMMAND <command...>)
#       A plain command (the program itself, say) registered as a test that runs on its own X display.
#   sfp_add_fuzz_target(NAME <name> SOURCES <files> LIBS <targets> [CORPUS <dir>])
#       A libFuzzer entry point LLVMFuzzerTestOneInput. In the fuzz preset it becomes a libFuzzer
#       program; in the other presets it is linked with a replay main that runs every file of CORPUS
#       through it, registered as a test (label fuzz), so the corpus guards against regressions.
#   sfp_add_benchmark(NAME <name> SOURCES <files> LIBS <targets>)
#       A Google Benchmark program; built, never run by the tests.

set(SFP_LSAN_SUPPRESSIONS "${CMAKE_SOURCE_DIR}/tests/lsan.supp")
set(SFP_OWN_DISPLAY "${CMAKE_SOURCE_DIR}/tests/support/own-display")

function(sfp_test_environment test)
    set(env "SFP_SOURCE_DIR=${CMAKE_SOURCE_DIR}" "SFP_BIN_DIR=${SFP_OUTPUT_DIR}")
    if(SFP_SANITIZE)
        list(APPEND env
            "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1"
            "LSAN_OPTIONS=suppressions=${SFP_LSAN_SUPPRESSIONS}:print_suppressions=0"
            "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
    endif()
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT ${env})
endfunction()

# A test that opens no window runs with no display at all, whatever the shell that started CTest has.
function(sfp_without_display test)
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT_MODIFICATION "DISPLAY=unset:")
endfunction()

function(sfp_add_display_test)
    cmake_parse_arguments(D "" "NAME" "COMMAND" ${ARGN})
    add_test(NAME ${D_NAME} COMMAND "${SFP_OWN_DISPLAY}" ${D_COMMAND})
    set_tests_properties(${D_NAME} PROPERTIES LABELS gui TIMEOUT 120)
    sfp_test_environment(${D_NAME})
endfunction()

function(sfp_add_gtest)
    cmake_parse_arguments(T "NEEDS_DISPLAY" "NAME;KIND;TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    find_package(GTest REQUIRED)
    add_executable(${T_NAME} ${T_SOURCES})
    if(T_NEEDS_DISPLAY)
        # tests/support/GuiTestMain.cpp starts wxWidgets on the display.
        target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} sfp_gui_test_main GTest::gmock GTest::gtest)
    else()
        target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest GTest::gtest_main)
    endif()
    set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
    if(T_NEEDS_DISPLAY)
        add_test(NAME ${T_NAME} COMMAND "${SFP_OWN_DISPLAY}" $<TARGET_FILE:${T_NAME}>)
    else()
        add_test(NAME ${T_NAME} COMMAND ${T_NAME})
        sfp_without_display(${T_NAME})
    endif()
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_KIND}" TIMEOUT ${T_TIMEOUT})
    sfp_test_environment(${T_NAME})
endfunction()

function(sfp_add_fuzz_target)
    cmake_parse_arguments(F "" "NAME;CORPUS" "SOURCES;LIBS" ${ARGN})
    if(SFP_FUZZ)
        add_executable(${F_NAME} ${F_SOURCES})
        target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
        target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
        target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
    else()
        add_executable(${F_NAME} ${F_SOURCES} "${CMAKE_SOURCE_DIR}/tests/fuzz/ReplayMain.cpp")
        target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
        set_target_properties(${F_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
        if(F_CORPUS)
            add_test(NAME ${F_NAME}_replay COMMAND ${F_NAME} ${F_CORPUS})
            set_tests_properties(${F_NAME}_replay PROPERTIES LABELS fuzz TIMEOUT 300)
            sfp_test_environment(${F_NAME}_replay)
            sfp_without_display(${F_NAME}_replay)
        endif()
    endif()
endfunction()

function(sfp_add_benchmark)
    cmake_parse_arguments(B "" "NAME" "SOURCES;LIBS" ${ARGN})
    find_package(benchmark REQUIRED)
    add_executable(${B_NAME} ${B_SOURCES})
    target_link_libraries(${B_NAME} PRIVATE ${B_LIBS} benchmark::benchmark)
    set_target_properties(${B_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/benchmarks")
endfunction()
