# The two third-party pieces: libjpeg (the program's one dependency) and GoogleTest (tests only).
#
# Natively both come from Debian's packages. For Windows both are built here with the mingw
# toolchain, once per build tree: libjpeg-turbo from Debian's source package, GoogleTest from
# /usr/src/googletest, so the engines' tests also run as Windows programs under Wine.

if(KQ_PLATFORM STREQUAL "posix")
    find_package(GTest REQUIRED)
    find_package(JPEG REQUIRED)
    add_library(kq_jpeg INTERFACE)
    target_link_libraries(kq_jpeg INTERFACE JPEG::JPEG)
    return()
endif()

# --- Windows: Wine runs the tests ---------------------------------------------------------------
set(KQ_WINEPREFIX ${CMAKE_BINARY_DIR}/wine CACHE PATH "Wine prefix of this build tree")
# (The prefix comes from the environment: each test's KQ_WINEPREFIX, see kq_wine_test_properties.)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run --timeout 600)

# --- GoogleTest ---------------------------------------------------------------------------------
set(KQ_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources (Debian googletest)")
if(NOT EXISTS ${KQ_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources not found in ${KQ_GOOGLETEST_SOURCE}: run 'make deps'")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
# Its folder inherits this one's compile options; warnings in code that is not ours must not stop
# the build, so KQ_WERROR's -Werror is left out there.
get_directory_property(kq_own_compile_options COMPILE_OPTIONS)
set(kq_googletest_compile_options ${kq_own_compile_options})
list(REMOVE_ITEM kq_googletest_compile_options -Werror)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${kq_googletest_compile_options}")
add_subdirectory(${KQ_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${kq_own_compile_options}")
# (GoogleTest defines the GTest::gtest_main and GTest::gmock aliases itself.)

# --- libjpeg-turbo, static, from Debian's source package ----------------------------------------
include(ExternalProject)
set(KQ_JPEG_PREFIX ${CMAKE_BINARY_DIR}/_deps/libjpeg-turbo)
ExternalProject_Add(libjpeg_turbo_build
    PREFIX ${KQ_JPEG_PREFIX}
    SOURCE_DIR ${KQ_JPEG_PREFIX}/source
    DOWNLOAD_COMMAND ${PROJECT_SOURCE_DIR}/scripts/fetch-debian-source libjpeg-turbo
                     ${KQ_JPEG_PREFIX}/source
    CMAKE_ARGS
        -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-i686.cmake
        -DCMAKE_BUILD_TYPE=Release
        # Small, as the program it goes into: each function in a section of its own, so that the
        # link keeps only what decoding the artwork calls; the system's C library for the one
        # sscanf (of an environment variable) and the messages, rather than a static copy of the
        # standard one (25 KB). No unwind tables: nothing unwinds through its frames, since its
        # errors leave by longjmp (forms/src/jpeg.cpp), and C code has no exceptions of its own
        # (18 KB). Arithmetic coding: no artwork uses it.
        "-DCMAKE_C_FLAGS_RELEASE=-Os -DNDEBUG -ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables -D__USE_MINGW_ANSI_STDIO=0"
        -DWITH_ARITH_DEC=OFF
        -DWITH_ARITH_ENC=OFF
        -DCMAKE_INSTALL_PREFIX=${KQ_JPEG_PREFIX}/install
        -DCMAKE_INSTALL_LIBDIR=${KQ_JPEG_PREFIX}/install/lib
        -DENABLE_SHARED=OFF
        -DENABLE_STATIC=ON
        -DWITH_TURBOJPEG=OFF
        -DWITH_SIMD=OFF
        -DWITH_JPEG8=OFF
    BUILD_BYPRODUCTS ${KQ_JPEG_PREFIX}/install/lib/libjpeg.a
    UPDATE_COMMAND ""
    LOG_DOWNLOAD ON LOG_CONFIGURE ON LOG_BUILD ON LOG_INSTALL ON
    LOG_OUTPUT_ON_FAILURE ON)
file(MAKE_DIRECTORY ${KQ_JPEG_PREFIX}/install/include)
add_library(kq_jpeg_static STATIC IMPORTED GLOBAL)
set_target_properties(kq_jpeg_static PROPERTIES
    IMPORTED_LOCATION ${KQ_JPEG_PREFIX}/install/lib/libjpeg.a
    INTERFACE_INCLUDE_DIRECTORIES ${KQ_JPEG_PREFIX}/install/include)
add_dependencies(kq_jpeg_static libjpeg_turbo_build)
add_library(kq_jpeg INTERFACE)
target_link_libraries(kq_jpeg INTERFACE kq_jpeg_static)
