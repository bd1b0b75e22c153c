# Installs the build into a fresh prefix and builds a host against it the two
# ways a user would, pkg-config and find_package, then runs both hosts.
# Usage: cmake -DBUILD_DIR=... -DWORK_DIR=... -DHOST_SOURCE=file.c
#              -DCONSUMER_DIR=tests/install -DFONT=font.ttf -DCC=cc
#              -DPKG_CONFIG=pkg-config [-DEXTRA_C_FLAGS=...] -P check_install.cmake
cmake_minimum_required(VERSION 3.20)

set(failures 0)
macro(fail message)
    message(SEND_ERROR "${message}")
    math(EXPR failures "${failures} + 1")
endmacro()

function(run_checked what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${what} failed (${rc}):\n${out}\n${err}")
    endif()
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
run_checked("cmake --install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# GNUInstallDirs picks lib or lib64; find where the library went.
file(GLOB_RECURSE sonames LIST_DIRECTORIES false ${prefix}/*/libkelmor.so.1)
list(LENGTH sonames found)
if(NOT found EQUAL 1)
    message(FATAL_ERROR "expected one libkelmor.so.1 under ${prefix}, found: ${sonames}")
endif()
get_filename_component(libdir ${sonames} DIRECTORY)
foreach(file ${libdir}/libkelmor.so ${prefix}/include/kelmor.h ${prefix}/bin/kelmor
        ${libdir}/pkgconfig/kelmor.pc ${libdir}/cmake/kelmor/kelmorConfig.cmake
        ${prefix}/share/man/man1/kelmor.1 ${prefix}/share/doc/kelmor/examples/minimal.c
        ${prefix}/share/doc/kelmor/examples/fallback.c)
    if(NOT EXISTS ${file})
        fail("not installed: ${file}")
    endif()
endforeach()
if(NOT IS_SYMLINK ${libdir}/libkelmor.so OR NOT IS_SYMLINK ${libdir}/libkelmor.so.1)
    fail("libkelmor.so and libkelmor.so.1 should be links to the versioned file")
endif()
execute_process(COMMAND objdump -p ${libdir}/libkelmor.so.1 OUTPUT_VARIABLE dynamic)
if(NOT dynamic MATCHES "SONAME +libkelmor\\.so\\.1\n")
    fail("the library's soname is not libkelmor.so.1")
endif()

execute_process(COMMAND ${prefix}/bin/kelmor --version RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT out MATCHES "^kelmor ")
    fail("the installed kelmor tool does not run: ${rc} ${out}")
endif()

# 1. pkg-config, with the installed tree found through PKG_CONFIG_PATH only.
set(ENV{PKG_CONFIG_PATH} ${libdir}/pkgconfig)
# The hosts must find the library by themselves.
unset(ENV{LD_LIBRARY_PATH})
execute_process(COMMAND ${PKG_CONFIG} --cflags --libs kelmor
                OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "pkg-config does not know kelmor")
endif()
separate_arguments(flags UNIX_COMMAND "${flags}")
separate_arguments(extra UNIX_COMMAND "${EXTRA_C_FLAGS}")
# No run path of our own: the host must start with what kelmor.pc gives.
run_checked("building the host with pkg-config" ${CC} ${extra} ${HOST_SOURCE} ${flags}
            -o ${WORK_DIR}/host_pkgconfig)

# 2. find_package, from a project of its own.
run_checked("configuring the host with find_package" ${CMAKE_COMMAND}
            -S ${CONSUMER_DIR} -B ${WORK_DIR}/consumer -DCMAKE_PREFIX_PATH=${prefix}
            -DHOST_SOURCE=${HOST_SOURCE} -DCMAKE_C_COMPILER=${CC}
            "-DCMAKE_C_FLAGS=${EXTRA_C_FLAGS}")
run_checked("building the host with find_package" ${CMAKE_COMMAND} --build ${WORK_DIR}/consumer)

# Both hosts render the same glyph, with ink and a baseline.
foreach(host ${WORK_DIR}/host_pkgconfig ${WORK_DIR}/consumer/host)
    execute_process(COMMAND ${host} ${FONT} 41 RESULT_VARIABLE rc OUTPUT_VARIABLE out
                    ERROR_VARIABLE err)
    if(NOT rc EQUAL 0 OR NOT out MATCHES "#" OR NOT out MATCHES "<- baseline"
       OR NOT out MATCHES "advance [1-9][0-9]* px")
        fail("${host} ${FONT} 41 gave ${rc}:\n${out}${err}")
    endif()
    list(APPEND outputs "${out}")
endforeach()
list(GET outputs 0 first)
list(GET outputs 1 second)
if(NOT first STREQUAL second)
    fail("the two hosts disagree")
endif()

if(failures GREATER 0)
    message(FATAL_ERROR "${failures} check(s) failed")
endif()
message(STATUS "installed tree and both hosts OK")
