# Installation (GNU directory layout) and the Debian package (cpack -G DEB).
#   bin/quarvelin, bin/quarvelin-demo-mud       the program and the demo game server
#   share/quarvelin/                            data/: the template local.ini, skins, language files,
#                                               the games' profiles (profiles/), examples
#   share/applications/quarvelin.desktop        the desktop entry
#   share/icons/hicolor/128x128/apps/quarvelin.png
# The program finds share/quarvelin relative to its own directory (QUARVELIN_SHARED_DATA_DIR), so
# an unpacked package works from wherever it was put.

install(TARGETS quarvelin quarvelin-demo-mud RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${QUARVELIN_INSTALL_DATADIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/quarvelin.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/quarvelin.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quarvelin)
set(CPACK_PACKAGE_VENDOR "Quarvelin")
set(CPACK_PACKAGE_CONTACT "Quarvelin developers <quarvelin@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "automatic mapper for text MUD games")
set(CPACK_PACKAGE_DESCRIPTION
    "Quarvelin runs as a telnet relay between your MUD client and the game server,\n\
inflates MCCP compression, recognises the rooms in the game's output and grows a\n\
map of rooms, zones and worlds as you walk. A small demo game server to try it\n\
with comes along (quarvelin-demo-mud).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# Library dependencies come from dpkg-shlibdeps where it is installed (dpkg-dev); the window
# also needs Qt's platform plugins, which no library links against.
find_program(QUARVELIN_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(QUARVELIN_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libc6, libstdc++6, libgcc-s1, zlib1g, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6network6 (>= 6.4), libqt6widgets6 (>= 6.4), qt6-qpa-plugins")
endif()
include(CPack)
