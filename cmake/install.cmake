# Installs the game the way a Linux game is laid out, and packages that layout as a .deb.
# Under the prefix, by default (a source install, `cmake --install build --prefix P`):
#   bin/corvane-altor                        launcher: enters the data directory, runs the game
#   lib/corvane-altor/corvane-altor          the game itself
#   share/corvane-altor/{gfx,sounds}/        the generated art and sound
# With CORVANE_GAMES_LAYOUT, as Debian's policy for games wants it (the package's build):
#   games/corvane-altor, libexec/corvane-altor/corvane-altor, share/games/corvane-altor/
# Both also install:
#   share/applications/corvane-altor.desktop menu entry
#   share/icons/hicolor/NxN/apps/corvane-altor.png
#   share/metainfo/<AppStream id>.metainfo.xml   AppStream metadata
#   share/man/man6/corvane-altor.6.gz       manual page
#   share/doc/corvane-altor/{copyright,changelog.gz}
# The paths are relative to the prefix, so the tree works under any prefix; the launcher gets
# the layout's folders written into it.

option(CORVANE_GAMES_LAYOUT "Install the command in games/ and the data in share/games/" OFF)
if(CORVANE_GAMES_LAYOUT)
  set(CORVANE_INSTALL_BIN_DIR games)
  set(CORVANE_INSTALL_LIB_DIR libexec/corvane-altor)
  set(CORVANE_INSTALL_DATA_DIR share/games/corvane-altor)
else()
  set(CORVANE_INSTALL_BIN_DIR bin)
  set(CORVANE_INSTALL_LIB_DIR lib/corvane-altor)
  set(CORVANE_INSTALL_DATA_DIR share/corvane-altor)
endif()
set(CORVANE_DIST_DIR ${CMAKE_SOURCE_DIR}/dist)
set(CORVANE_INSTALL_DOC_DIR share/doc/corvane-altor)
# The project's home, in one place. It has no domain or web host yet, so all three lie under
# names reserved for examples (RFC 2606) that never resolve: the AppStream id must be the
# reverse of a domain the project holds, and software centres fetch the screenshots from the
# homepage. Change them together once it has one.
set(CORVANE_APPSTREAM_ID org.example.corvane_altor CACHE STRING "AppStream component id")
set(CORVANE_HOMEPAGE https://corvane-altor.example.org CACHE STRING
    "Homepage; the screenshots lie under its screenshots/")
set(CPACK_PACKAGE_CONTACT
    "Corvane Altor maintainers <maintainers@users.noreply.c-seed-65dd2389.example>"
    CACHE STRING "The package's maintainer")

# One named component: cpack installs just that and so keeps its list of files apart (see below).
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME game)

install(TARGETS corvane-altor RUNTIME DESTINATION ${CORVANE_INSTALL_LIB_DIR})
# A stripping install (the package's) also drops the compiler's notes, as Debian's tools do.
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CORVANE_INSTALL_LIB_DIR}/corvane-altor\"
    COMMAND_ERROR_IS_FATAL ANY)
endif()")
configure_file(${CORVANE_DIST_DIR}/corvane-altor.sh.in launcher/corvane-altor @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/launcher/corvane-altor
        DESTINATION ${CORVANE_INSTALL_BIN_DIR})

# The data is generated at build time (the `data` target), so it comes from the build tree.
# Readable by everyone whatever the umask the generator ran under.
install(DIRECTORY ${CMAKE_BINARY_DIR}/data/gfx ${CMAKE_BINARY_DIR}/data/sounds
        DESTINATION ${CORVANE_INSTALL_DATA_DIR}
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
        DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                              WORLD_READ WORLD_EXECUTE)

install(FILES ${CORVANE_DIST_DIR}/corvane-altor.desktop DESTINATION share/applications)
foreach(size 32 64 128)
  install(FILES ${CMAKE_BINARY_DIR}/data/icon/corvane-altor-${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME corvane-altor.png)
endforeach()
configure_file(${CORVANE_DIST_DIR}/corvane-altor.metainfo.xml.in
               doc/${CORVANE_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/doc/${CORVANE_APPSTREAM_ID}.metainfo.xml
        DESTINATION share/metainfo)

# The copyright file in Debian's machine-readable format carries the terms of LICENSE.
file(READ ${CMAKE_SOURCE_DIR}/LICENSE license)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" _ "${license}")
set(CORVANE_COPYRIGHT ${CMAKE_MATCH_1})
string(REGEX REPLACE "^.*\nCopyright [^\n]*\n\n" "" terms "${license}")
string(STRIP "${terms}" terms)
string(REPLACE "\n\n" "\n.\n" terms "${terms}")
string(REPLACE "\n" "\n " terms "${terms}")
set(CORVANE_LICENSE_TERMS " ${terms}")
configure_file(${CORVANE_DIST_DIR}/copyright.in doc/copyright @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/LICENSE)

# Debian wants the manual page and the changelog gzipped at level 9, with no name or time inside.
configure_file(${CORVANE_DIST_DIR}/corvane-altor.6.in doc/corvane-altor.6 @ONLY)
configure_file(${CORVANE_DIST_DIR}/changelog doc/changelog COPYONLY)
add_custom_command(OUTPUT doc/corvane-altor.6.gz doc/changelog.gz
  COMMAND gzip -9nkf doc/corvane-altor.6 doc/changelog
  DEPENDS ${CMAKE_BINARY_DIR}/doc/corvane-altor.6 ${CMAKE_BINARY_DIR}/doc/changelog)
add_custom_target(docs ALL DEPENDS doc/corvane-altor.6.gz doc/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/doc/corvane-altor.6.gz DESTINATION share/man/man6)
install(FILES ${CMAKE_BINARY_DIR}/doc/copyright ${CMAKE_BINARY_DIR}/doc/changelog.gz
        DESTINATION ${CORVANE_INSTALL_DOC_DIR})

# `cpack -G DEB` in the build directory: a package for /usr that apt can install. The package
# that `make package` builds (scripts/build-package.sh) is configured with the games layout.
set(CPACK_PACKAGE_NAME corvane-altor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Corvane Altor maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "full-screen biplane dogfight for two players")
# Line breaks are kept: the control file's description wraps where these lines do.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Two biplanes take off from runways either side of a control tower, loop,\n"
  "shoot and crash. Two players share one keyboard, or one player flies\n"
  "against the computer. Shooting the other plane down scores 2 points,\n"
  "crashing your own plane costs 1, and the first to reach 5 points takes\n"
  "the match.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps turns the libraries the game links (SDL2, the C and C++ runtimes) into
# dependencies on their packages, with the least versions the game needs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Installing by component makes cpack write its list of files to install_manifest_game.txt and
# leave install_manifest.txt, the list a source install uninstalls by, alone.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL game)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
include(CPack)
