# What `cmake --install` puts where, and the Debian package `cpack -G DEB` makes of it:
#   bin/vistrel, bin/vistrel-cli
#   libexec/vistrel/          vistrel-portal-grab, started by vistrel-cli (which looks for it in
#                             ../libexec/vistrel/)
#   share/vistrel/            the help file (the programs look for it in ../share/vistrel/)
#   share/applications/       the desktop entry
#   share/metainfo/           the AppStream metainfo
#   share/icons/hicolor/      the application icon: scalable SVG, 48 and 128 pixel PNGs
#   share/man/man1/           the manual pages vistrel.1.gz and vistrel-cli.1.gz (ManPages.cmake)
#   share/bash-completion/completions/
#                             vistrel-cli's completion for bash
include(GNUInstallDirs)
include(cmake/ManPages.cmake)

set(_desktop "${CMAKE_SOURCE_DIR}/res/desktop")

if(TARGET vistrel)
    install(TARGETS vistrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(TARGETS vistrel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET vistrel-portal-grab)
    install(TARGETS vistrel-portal-grab RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/vistrel)
endif()
install(FILES "${CMAKE_SOURCE_DIR}/res/vistrel_(en).htm"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/vistrel)
install(FILES ${VISTREL_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES "${CMAKE_SOURCE_DIR}/res/completion/vistrel-cli.bash"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME vistrel-cli)

if(TARGET vistrel)
    install(FILES "${_desktop}/vistrel.desktop" DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES "${_desktop}/org.ornwick.Vistrel.metainfo.xml"
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES "${_desktop}/vistrel.svg"
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    foreach(_size 48 128)
        install(FILES "${_desktop}/vistrel-${_size}.png"
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps
                RENAME vistrel.png)
    endforeach()
endif()

set(CPACK_PACKAGE_NAME vistrel)
set(CPACK_PACKAGE_VENDOR Ornwick)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Screen capture and picture album")
set(CPACK_PACKAGE_DESCRIPTION
    "Captures the screen into BMP, GIF, JPEG or PNG files and shows the pictures of a folder as a folder tree beside a grid of thumbnails; crops, converts and describes pictures. Includes vistrel-cli for scripts.")
set(CPACK_PACKAGE_CONTACT "Vistrel developers <vistrel@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# Dependencies come from the shared libraries the programs link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
