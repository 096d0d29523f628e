# Helpers that every test folder uses, so that all tests run the same way under both presets.
#
#   sfp_add_gtest(NAME <name> KIND unit|gui|integration [NO_GUI] SOURCES <files> LIBS <targets>)
#       One GoogleTest executable registered with CTest under the label KIND. Unit tests use GoogleTest's
#       main; GUI and integration tests use tests/support/GuiTestMain.cpp, which starts wxWidgets and
#       needs an X display: scripts/test runs CTest under xvfb-run. NO_GUI gives an integration test
#       GoogleTest's main instead (for tests that never open a window).
#   sfp_add_fuzz_target(NAME <name> SOURCES <files> LIBS <targets> [CORPUS <dir>])
#       A libFuzzer entry point LLVMFuzzerTestOneInput. In the fuzz preset it becomes a libFuzzer
#       program; in the other presets it is linked with a replay main that runs every file of CORPUS
#       through it, registered as a test (label fuzz), so the corpus guards against regressions.
#   sfp_add_benchmark(NAME <name> SOURCES <files> LIBS <targets>)
#       A Google Benchmark program; built, never run by the tests.

set(SFP_LSAN_SUPPRESSIONS "${CMAKE_SOURCE_DIR}/tests/lsan.supp")

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

function(sfp_add_gtest)
    cmake_parse_arguments(T "NO_GUI" "NAME;KIND;TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    find_package(GTest REQUIRED)
    add_executable(${T_NAME} ${T_SOURCES})
    if(T_KIND STREQUAL "unit" OR T_NO_GUI)
        target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest GTest::gtest_main)
    else()
        # GUI and integration tests start wxWidgets in their main (tests/support/GuiTestMain.cpp).
        target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} sfp_gui_test_main GTest::gmock GTest::gtest)
    endif()
    set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
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
