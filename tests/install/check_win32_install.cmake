# Installs the Windows build into a fresh prefix and checks that a Windows
# host finds there what it links and ships with: the DLL, its import
# library, the .def file, kelmor.h and the CMake package.
# Usage: cmake -DBUILD_DIR=... -DWORK_DIR=... -P check_win32_install.cmake
cmake_minimum_required(VERSION 3.20)

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed:\n${out}\n${err}")
endif()
set(missing)
foreach(file bin/kelmor32.dll lib/kelmor32.dll.a lib/kelmor32.def include/kelmor.h
        lib/cmake/kelmor/kelmorConfig.cmake lib/cmake/kelmor/kelmorTargets.cmake)
    if(NOT EXISTS ${prefix}/${file})
        list(APPEND missing ${file})
    endif()
endforeach()
if(missing)
    message(FATAL_ERROR "not installed: ${missing}")
endif()
file(READ ${prefix}/lib/kelmor32.def def)
if(NOT def MATCHES "GetGlyphMetrics@12 +@20")
    message(FATAL_ERROR "the installed .def lacks GetGlyphMetrics at ordinal 20")
endif()
message(STATUS "installed Windows tree OK")
