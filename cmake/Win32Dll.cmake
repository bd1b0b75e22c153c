# kelmor32.dll: the library for 32-bit Windows hosts.
#
# The export table (names and ordinals) is fixed by src/resources/kelmor32.def.
# The exports are __stdcall; --kill-at strips the "@N" decoration so hosts see
# the plain names.  The import library the linker writes would then carry the
# plain names too, which a __stdcall caller compiled against kelmor.h cannot
# link with, so it is rewritten with dlltool: decorated symbols, plain import
# names.
#
# The C++ runtime, libgcc and winpthread are linked in statically (-static
# covers winpthread, which the driver would otherwise take from its DLL) so
# that a Windows host needs nothing but the DLL itself.
enable_language(RC)

# Test programs run under Wine with a prefix of their own inside the build
# tree, so a build never touches the user's ~/.wine.
set(KELMOR_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(KELMOR_WINE_ENVIRONMENT "WINEPREFIX=${KELMOR_WINEPREFIX};WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=")

set(KELMOR_DEF_FILE ${CMAKE_SOURCE_DIR}/src/resources/kelmor32.def)
file(GLOB KELMOR_RESOURCE_SCRIPTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/resources/*.rc)
set_source_files_properties(${KELMOR_RESOURCE_SCRIPTS} PROPERTIES COMPILE_DEFINITIONS
    "KELMOR_VERSION_MAJOR=${PROJECT_VERSION_MAJOR};KELMOR_VERSION_MINOR=${PROJECT_VERSION_MINOR};KELMOR_VERSION_PATCH=${PROJECT_VERSION_PATCH}")

add_library(kelmor32 SHARED $<TARGET_OBJECTS:kelmor_objects> ${KELMOR_RESOURCE_SCRIPTS}
            ${KELMOR_DEF_FILE})
target_include_directories(kelmor32 PUBLIC $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}/include>)
target_link_libraries(kelmor32 PRIVATE kelmor_options comdlg32 gdi32 user32)
set_target_properties(kelmor32 PROPERTIES
    PREFIX ""
    IMPORT_PREFIX ""
    OUTPUT_NAME kelmor32
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
    LINK_DEPENDS ${KELMOR_DEF_FILE})
target_link_options(kelmor32 PRIVATE
    -static -static-libgcc -static-libstdc++
    "LINKER:--kill-at" "LINKER:--no-undefined")

add_custom_command(TARGET kelmor32 POST_BUILD
    COMMAND ${CMAKE_DLLTOOL} --kill-at --input-def ${KELMOR_DEF_FILE}
            --dllname kelmor32.dll --output-lib $<TARGET_LINKER_FILE:kelmor32>
    COMMENT "Writing the import library of kelmor32.dll"
    VERBATIM)
