# Checks kelmor32.dll as a Windows host sees it:
#  - every exported name is one of the library's entry points, at its fixed
#    ordinal, and carries no "@N" stdcall decoration;
#  - the rasterizer entry points are all there;
#  - every entry of the .def file made it into the DLL;
#  - the DLL needs no MinGW runtime DLL (libstdc++, libgcc, winpthread);
#  - the test host really imports the library from kelmor32.dll;
#  - the DLL carries a version block with the project's version.
# Usage: cmake -DOBJDUMP=... -DDLL=... -DHOST=... -DDEF=... -DVERSION=x.y.z
#              -P check_dll.cmake
cmake_minimum_required(VERSION 3.20)

# The one table hosts rely on: name -> ordinal.
set(KNOWN_OpenTTFont 1)
set(KNOWN_CloseTTFont 2)
set(KNOWN_SetDebugLevel 3)
set(KNOWN_GetFontInfo 4)
set(KNOWN_SetPointSize 5)
set(KNOWN_GetBitmap 6)
set(KNOWN_SetEncoding 7)
set(KNOWN_KelmoEnumFontFamilies 8)
set(KNOWN_KelmoAddFontResource 9)
set(KNOWN_KelmoAssociateBitmap 10)
set(KNOWN_KelmoRemoveFontResource 11)
set(KNOWN_KelmoInstallDialog 12)
set(KNOWN_KelmoCreateFontIndirect 13)
set(KNOWN_KelmoDeleteObject 14)
set(KNOWN_KelmoRegisterApp 15)
set(KNOWN_GetFontNames 16)
set(KNOWN_EditTTFDlgProc 17)
set(KNOWN_SelectTTFDlgProc 18)
# Extensions beyond the original eighteen.
set(KNOWN_SetRenderOptions 19)
set(KNOWN_GetGlyphMetrics 20)
set(KNOWN_OpenTTFontFace 21)
set(KNOWN_GetGlyphIndex 22)
set(KNOWN_GetLastFontError 23)
set(KNOWN_GetFontErrorText 24)
set(KNOWN_GetGrayBitmap 25)
set(REQUIRED OpenTTFont CloseTTFont SetDebugLevel GetFontInfo SetPointSize GetBitmap
    SetEncoding GetFontNames KelmoEnumFontFamilies KelmoAddFontResource KelmoAssociateBitmap
    KelmoRemoveFontResource KelmoCreateFontIndirect KelmoDeleteObject
    SetRenderOptions GetGlyphMetrics OpenTTFontFace GetGlyphIndex GetLastFontError
    GetFontErrorText GetGrayBitmap)
list(APPEND REQUIRED KelmoInstallDialog EditTTFDlgProc SelectTTFDlgProc)

set(failures 0)
macro(fail message)
    message(SEND_ERROR "${message}")
    math(EXPR failures "${failures} + 1")
endmacro()

function(objdump_private_headers file out_lines)
    execute_process(COMMAND ${OBJDUMP} -p ${file} OUTPUT_VARIABLE text RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${OBJDUMP} -p ${file} failed")
    endif()
    string(REPLACE ";" "\\;" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(${out_lines} "${lines}" PARENT_SCOPE)
endfunction()

function(imported_dlls lines out_dlls)
    set(dlls)
    foreach(line IN LISTS lines)
        if(line MATCHES "DLL Name: (.+)$")
            string(TOLOWER "${CMAKE_MATCH_1}" dll)
            list(APPEND dlls "${dll}")
        endif()
    endforeach()
    set(${out_dlls} "${dlls}" PARENT_SCOPE)
endfunction()

# Fills EXPORT_NAMES and EXPORT_<name> = ordinal from the name pointer table.
# objdump prints that table's index without the ordinal base (binutils 2.40)
# or, in later releases, the biased ordinal after "+base[".
function(read_exports lines)
    set(base "")
    set(in_table FALSE)
    set(names)
    foreach(line IN LISTS lines)
        if(line MATCHES "^Ordinal Base[ \t]+([0-9]+)")
            set(base ${CMAKE_MATCH_1})
        elseif(line MATCHES "^\\[Ordinal/Name Pointer\\] Table")
            set(in_table TRUE)
        elseif(in_table AND line MATCHES "^[ \t]*$")
            set(in_table FALSE)
        elseif(in_table AND line MATCHES "\\+base\\[ *([0-9]+)\\].* ([^ ]+)$")
            list(APPEND names ${CMAKE_MATCH_2})
            set(EXPORT_${CMAKE_MATCH_2} ${CMAKE_MATCH_1} PARENT_SCOPE)
        elseif(in_table AND line MATCHES "^[ \t]*\\[ *([0-9]+)\\] ([^ ]+)$")
            if(base STREQUAL "")
                message(FATAL_ERROR "no ordinal base before the name table")
            endif()
            math(EXPR ordinal "${CMAKE_MATCH_1} + ${base}")
            list(APPEND names ${CMAKE_MATCH_2})
            set(EXPORT_${CMAKE_MATCH_2} ${ordinal} PARENT_SCOPE)
        endif()
    endforeach()
    set(EXPORT_NAMES "${names}" PARENT_SCOPE)
endfunction()

objdump_private_headers(${DLL} dll_lines)
read_exports("${dll_lines}")
if(NOT EXPORT_NAMES)
    fail("${DLL} exports nothing")
endif()

foreach(name IN LISTS EXPORT_NAMES)
    if(name MATCHES "@")
        fail("export ${name} keeps its stdcall decoration")
    elseif(NOT DEFINED KNOWN_${name})
        fail("export ${name} is not an entry point of the library")
    elseif(NOT EXPORT_${name} EQUAL KNOWN_${name})
        fail("export ${name} has ordinal ${EXPORT_${name}}, hosts expect ${KNOWN_${name}}")
    endif()
endforeach()

foreach(name IN LISTS REQUIRED)
    if(NOT DEFINED EXPORT_${name})
        fail("entry point ${name} is not exported")
    endif()
endforeach()

file(STRINGS ${DEF} def_lines)
foreach(line IN LISTS def_lines)
    if(line MATCHES "^[ \t]+([A-Za-z_][A-Za-z0-9_]*)(@[0-9]+)?[ \t]+@([0-9]+)")
        set(name ${CMAKE_MATCH_1})
        if(NOT EXPORT_${name} STREQUAL CMAKE_MATCH_3)
            fail("${name} @${CMAKE_MATCH_3} of the .def file is not exported as such")
        endif()
    endif()
endforeach()

imported_dlls("${dll_lines}" dll_imports)
foreach(dll IN LISTS dll_imports)
    if(dll MATCHES "^lib")
        fail("kelmor32.dll depends on the runtime DLL ${dll}")
    endif()
endforeach()

objdump_private_headers(${HOST} host_lines)
imported_dlls("${host_lines}" host_imports)
if(NOT "kelmor32.dll" IN_LIST host_imports)
    fail("${HOST} does not load the library from kelmor32.dll")
endif()

# Resource strings are UTF-16LE; look for them as hex in the DLL's bytes.
function(utf16_hex text out_hex)
    string(HEX "${text}" hex)
    string(REGEX REPLACE "(..)" "\\100" hex "${hex}")
    set(${out_hex} "${hex}" PARENT_SCOPE)
endfunction()

file(READ ${DLL} dll_hex HEX)
foreach(text "VS_VERSION_INFO" "FileVersion" "kelmor32.dll" "${VERSION}.0")
    utf16_hex("${text}" hex)
    string(FIND "${dll_hex}" "${hex}" at)
    if(at EQUAL -1)
        fail("the version block of kelmor32.dll lacks \"${text}\"")
    endif()
endforeach()

list(LENGTH EXPORT_NAMES count)
if(failures GREATER 0)
    message(FATAL_ERROR "${failures} problem(s) in kelmor32.dll")
endif()
message(STATUS "kelmor32.dll: ${count} exports, names and ordinals as expected; version ${VERSION}")
