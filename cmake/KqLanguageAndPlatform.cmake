# The language standard and the platform layer, for the whole project and for mksetup built on
# its own (tools/mksetup/CMakeLists.txt). The platform layer is chosen here, once, never by
# #ifdefs in the engines.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)

if(WIN32)
    set(KQ_PLATFORM win32)
else()
    set(KQ_PLATFORM posix)
endif()
