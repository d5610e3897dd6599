# What `cmake --install` puts where, and the packages CPack makes of it.
#
# Linux: bin/vunipack, and the shipping 32-bit installer stub as share/vuni/vuni.exe, where
# vunipack looks for it when no --stub is given; the author's guides and the example package
# under share/doc/vuni. The stub is a Windows program: VUNI_STUB names one already built (the
# presets take build/mingw-i686/vuni.exe); left empty, it is built here with the MinGW i686
# cross compiler when that is installed.
# Windows (the MinGW builds): vunipack.exe and vuni.exe side by side at the top of the zip,
# the guides and the example in docs/.
include(GNUInstallDirs)

set(VUNI_STUB "" CACHE FILEPATH
    "The i686 vuni.exe installed beside vunipack; empty: built here with MinGW when found")

if(WIN32)
    install(TARGETS vunipack vuni RUNTIME DESTINATION .)
    set(_vuni_docs docs)
else()
    install(TARGETS vunipack RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    set(_vuni_docs ${CMAKE_INSTALL_DOCDIR})
    if(VUNI_STUB)
        install(FILES ${VUNI_STUB} DESTINATION ${CMAKE_INSTALL_DATADIR}/vuni)
    else()
        find_program(VUNI_MINGW_I686_CXX i686-w64-mingw32-g++-win32)
        if(VUNI_MINGW_I686_CXX)
            include(ExternalProject)
            ExternalProject_Add(
                vuni_stub_i686
                SOURCE_DIR ${CMAKE_SOURCE_DIR}
                BINARY_DIR ${CMAKE_BINARY_DIR}/stub-i686
                CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
                           -DCMAKE_BUILD_TYPE=MinSizeRel -DVUNI_WERROR=${VUNI_WERROR}
                BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target vuni
                INSTALL_COMMAND ""
                BUILD_ALWAYS ON)
            install(FILES ${CMAKE_BINARY_DIR}/stub-i686/vuni.exe
                    DESTINATION ${CMAKE_INSTALL_DATADIR}/vuni)
        else()
            message(STATUS "No i686 MinGW compiler and no VUNI_STUB: vunipack is installed "
                           "without a default installer stub (authors then pass --stub)")
        endif()
    endif()
endif()
install(FILES ${CMAKE_SOURCE_DIR}/docs/authoring.md ${CMAKE_SOURCE_DIR}/docs/manifest.md
              ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${_vuni_docs})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/ DESTINATION ${_vuni_docs}/examples
        PATTERN "*.py" EXCLUDE)

set(CPACK_PACKAGE_NAME vunipack)
set(CPACK_PACKAGE_VENDOR "Vuni")
set(CPACK_PACKAGE_CONTACT "Vuni developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Packs screen-reader scripts into one Windows installer program")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_SYSTEM_NAME windows-${CMAKE_SYSTEM_PROCESSOR})
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION devel)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
