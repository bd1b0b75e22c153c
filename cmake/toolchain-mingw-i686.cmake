# Cross build of kelmor32.dll for 32-bit Windows with Debian's mingw-w64.
#
# The "-posix" compilers use the posix thread model: the "win32" model has no
# std::mutex, which GoogleTest needs.  Test programs run under Wine, so
# `ctest` in the cross build tree works like a native one.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(KELMOR_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER ${KELMOR_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELMOR_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KELMOR_MINGW_TRIPLET}-windres)
set(CMAKE_OBJDUMP ${KELMOR_MINGW_TRIPLET}-objdump CACHE FILEPATH "objdump for the target")
set(CMAKE_DLLTOOL ${KELMOR_MINGW_TRIPLET}-dlltool CACHE FILEPATH "dlltool for the target")

set(CMAKE_FIND_ROOT_PATH /usr/${KELMOR_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
