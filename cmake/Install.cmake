# What `cmake --install` puts under the prefix.
#
# Linux: libkelmor.so.1 (with the libkelmor.so link for linking), kelmor.h,
# the kelmor tool and its manual page, kelmor.pc for pkg-config and a CMake
# package, so that a host says find_package(kelmor) and links kelmor::kelmor.
# Both: the example hosts' sources in share/doc/kelmor/examples.
# Windows: kelmor32.dll, its import library and the .def file beside it, the
# header and the same CMake package.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(KELMOR_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/kelmor)

if(WIN32)
    set(KELMOR_LIBRARY_TARGET kelmor32)
    install(FILES ${KELMOR_DEF_FILE} DESTINATION ${CMAKE_INSTALL_LIBDIR})
else()
    set(KELMOR_LIBRARY_TARGET kelmor)
    # The soname carries the version of the C API: it changes only when a
    # host built against an older kelmor.h could no longer run.
    set_target_properties(kelmor PROPERTIES VERSION ${KELMOR_ABI_VERSION}.0.0
                                            SOVERSION ${KELMOR_ABI_VERSION})
endif()

target_include_directories(${KELMOR_LIBRARY_TARGET} INTERFACE
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
# Hosts link kelmor::kelmor whatever the file is called on their platform.
set_target_properties(${KELMOR_LIBRARY_TARGET} PROPERTIES EXPORT_NAME kelmor)

install(TARGETS ${KELMOR_LIBRARY_TARGET} EXPORT kelmorTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/kelmor.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
if(TARGET kelmor_tool)
    install(TARGETS kelmor_tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    # The tool shares the installed library's Kelmor.ini: it looks for the
    # library in the library directory of its own prefix.
    file(RELATIVE_PATH KELMOR_TOOL_TO_LIBDIR /prefix/${CMAKE_INSTALL_BINDIR}
         /prefix/${CMAKE_INSTALL_LIBDIR})
    target_compile_definitions(kelmor_tool PRIVATE
        KELMOR_TOOL_TO_LIBDIR="${KELMOR_TOOL_TO_LIBDIR}"
        KELMOR_LIBRARY_FILE="libkelmor.so.${KELMOR_ABI_VERSION}")
endif()

# The example hosts, as sources to start a host from.
file(GLOB KELMOR_EXAMPLE_SOURCES ${PROJECT_SOURCE_DIR}/examples/*.c)
install(FILES ${KELMOR_EXAMPLE_SOURCES} DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
if(TARGET kelmor_tool AND NOT WIN32)
    install(FILES ${PROJECT_SOURCE_DIR}/docs/kelmor.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

install(EXPORT kelmorTargets NAMESPACE kelmor:: DESTINATION ${KELMOR_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/kelmorConfig.cmake.in
    ${PROJECT_BINARY_DIR}/kelmorConfig.cmake INSTALL_DESTINATION ${KELMOR_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/kelmorConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/kelmorConfig.cmake
              ${PROJECT_BINARY_DIR}/kelmorConfigVersion.cmake
        DESTINATION ${KELMOR_CMAKE_DIR})

# kelmor.pc finds the prefix from its own place, so that the tree still
# works when it is installed with `cmake --install --prefix DIR` or moved.
# Its Libs carry the library directory as a run path too: a host built
# against a prefix the dynamic loader does not search (or searches only
# after ldconfig) then starts without LD_LIBRARY_PATH.
if(NOT WIN32)
    file(RELATIVE_PATH KELMOR_PC_TO_PREFIX
         /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/kelmor.pc.in ${PROJECT_BINARY_DIR}/kelmor.pc @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/kelmor.pc
            DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endif()
