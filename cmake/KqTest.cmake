# kq_test(<name> LABEL <label> SOURCES <files...> [LIBS <targets...>])
#
# One GoogleTest program registered as one CTest test carrying its subsystem's label. Tests run
# from the project root, so relative paths (the fixtures, the third-party corpus's default
# ../shared/testdata, which KQ_TESTDATA overrides) count from there. On the win32
# build the program is a Windows executable that CTest starts through scripts/wine-run (the
# cross-compiling emulator) in the prefix kq_wine_test_properties gives it.
function(kq_test name)
    cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
    if(NOT T_LABEL)
        message(FATAL_ERROR "kq_test(${name}): LABEL is required")
    endif()
    add_executable(${name} ${T_SOURCES})
    if(CMAKE_BUILD_TYPE STREQUAL "Release")
        # The code under test keeps its release optimisation; the tests' own code needs little.
        target_compile_options(${name} PRIVATE -O1)
    endif()
    # Every test program has the tests' support library (tests/support).
    target_link_libraries(${name} PRIVATE ${T_LIBS} kq_test_support GTest::gmock GTest::gtest_main)
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES
        LABELS "${T_LABEL}"
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        TIMEOUT 600)
    kq_wine_test_properties(${name})
endfunction()

# Properties every test that runs a Windows program under Wine needs (kq_test applies them on
# win32; script tests that call scripts/wine-run themselves call this too). The tests are dealt in
# turn to two prefixes of the build tree, so that two run at once; a prefix serves one test at a
# time (every run of scripts/wine-run ends by stopping its prefix's Wine).
#
# Wine runs a 32-bit Windows program's code on the processor through a 32-bit Linux loader: a
# kernel that cannot execute 32-bit x86 programs (built without IA32 emulation, or a virtual
# machine that does not offer it) runs none of them. Where the loader is installed but cannot be
# executed, the Wine tests are disabled, and both this step and CTest's summary say so.
set_property(GLOBAL PROPERTY KQ_WINE_TESTS 0)
set(KQ_WINE_CANNOT_RUN FALSE)
if(KQ_PLATFORM STREQUAL "win32" AND EXISTS /lib/ld-linux.so.2)
    execute_process(COMMAND /lib/ld-linux.so.2 --version
                    RESULT_VARIABLE loader_result OUTPUT_QUIET ERROR_QUIET)
    if(NOT loader_result EQUAL 0)
        set(KQ_WINE_CANNOT_RUN TRUE)
        message(WARNING "This machine cannot execute 32-bit x86 programs (/lib/ld-linux.so.2 does "
                        "not start): "
                        "Wine cannot run the Windows programs, so every Wine test is disabled.")
    endif()
endif()
function(kq_wine_test_properties name)
    if(KQ_PLATFORM STREQUAL "win32" AND KQ_WINE_CANNOT_RUN)
        set_property(TEST ${name} PROPERTY DISABLED TRUE)
    endif()
    if(KQ_PLATFORM STREQUAL "win32")
        get_property(dealt GLOBAL PROPERTY KQ_WINE_TESTS)
        math(EXPR next "${dealt} + 1")
        set_property(GLOBAL PROPERTY KQ_WINE_TESTS ${next})
        math(EXPR second "${dealt} % 2")
        set(prefix ${KQ_WINEPREFIX})
        if(second)
            set(prefix ${KQ_WINEPREFIX}-2)
        endif()
        set_property(TEST ${name} APPEND PROPERTY RESOURCE_LOCK ${prefix})
        set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT "KQ_WINEPREFIX=${prefix}")
    endif()
endfunction()
