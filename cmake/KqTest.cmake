# kq_test(<name> LABEL <label> SOURCES <files...> [LIBS <targets...>])
#
# One GoogleTest program registered as one CTest test carrying its subsystem's label. Tests run
# from the project root, so relative paths (the fixtures, the third-party corpus's default
# ../shared/testdata, which KQ_TESTDATA overrides) count from there. On the win32
# build the program is a Windows executable that CTest starts through scripts/wine-run (the
# cross-compiling emulator); all Wine tests share one prefix per build tree, hence the lock.
function(kq_test name)
    cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
    if(NOT T_LABEL)
        message(FATAL_ERROR "kq_test(${name}): LABEL is required")
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES
        LABELS "${T_LABEL}"
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        TIMEOUT 600)
    kq_wine_test_properties(${name})
endfunction()

# Properties every test that runs a Windows program under Wine needs (kq_test applies them on
# win32; script tests that call scripts/wine-run themselves call this too).
function(kq_wine_test_properties name)
    if(KQ_PLATFORM STREQUAL "win32")
        set_property(TEST ${name} APPEND PROPERTY RESOURCE_LOCK wineprefix)
        set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT
            "KQ_WINEPREFIX=${KQ_WINEPREFIX}")
    endif()
endfunction()
