# Installs the game the way a Linux game is laid out, and packages that layout as a .deb:
#   bin/corvane-altor                        launcher: enters the data directory, runs the game
#   lib/corvane-altor/corvane-altor          the game itself
#   share/corvane-altor/{gfx,sounds}/        the generated art and sound
#   share/applications/corvane-altor.desktop menu entry
#   share/icons/hicolor/NxN/apps/corvane-altor.png
# The paths are relative to the prefix, so `cmake --install build --prefix P` works for any P.
# The launcher (corvane-altor.sh) finds the game and its data from its own bin/ folder by these
# same relative paths: change them together.

# One named component: cpack installs just that and so keeps its list of files apart (see below).
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME game)
set(CORVANE_LIBEXEC_DIR lib/corvane-altor)
set(CORVANE_SHARE_DIR share/corvane-altor)

install(TARGETS corvane-altor RUNTIME DESTINATION ${CORVANE_LIBEXEC_DIR})
install(PROGRAMS ${CMAKE_CURRENT_LIST_DIR}/corvane-altor.sh DESTINATION bin RENAME corvane-altor)

# The data is generated at build time (the `data` target), so it comes from the build tree.
# Readable by everyone whatever the umask the generator ran under.
install(DIRECTORY ${CMAKE_BINARY_DIR}/data/gfx ${CMAKE_BINARY_DIR}/data/sounds
        DESTINATION ${CORVANE_SHARE_DIR}
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
        DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                              WORLD_READ WORLD_EXECUTE)

install(FILES ${CMAKE_CURRENT_LIST_DIR}/corvane-altor.desktop DESTINATION share/applications)
foreach(size 32 64 128)
  install(FILES ${CMAKE_BINARY_DIR}/data/icon/corvane-altor-${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME corvane-altor.png)
endforeach()

# `cpack -G DEB` in the build directory: a package for /usr that apt can install.
set(CPACK_PACKAGE_NAME corvane-altor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Corvane Altor maintainers")
set(CPACK_PACKAGE_CONTACT
    "Corvane Altor maintainers <maintainers@users.noreply.c-seed-65dd2389.example>")
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
