# The Debian package (make package, or cpack -G DEB in the build directory):
# okwari_<version>_<arch>.deb with the program in /usr/games, the manual page
# gzip-compressed in /usr/share/man/man6, and the copyright and changelog in
# /usr/share/doc/okwari.
#
# That layout belongs to the package alone: `cmake --install` must still give
# bin/okwari and share/man/man6/okwari.6 and nothing else. So every file of
# the package is installed by rules of their own in the component "deb",
# marked EXCLUDE_FROM_ALL, which a plain install skips; CPack installs just
# that component (the third field of CPACK_INSTALL_CMAKE_PROJECTS) into its
# staging directory. The compressing is done by install code of the same
# component, so an ordinary build neither needs gzip nor makes the .gz files.
install(TARGETS okwari RUNTIME DESTINATION games COMPONENT deb EXCLUDE_FROM_ALL)
# Stripped as Debian strips its programs: symbols, debug information and the
# compiler's .comment go; the build id stays.
install(CODE "execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
    --remove-section=.note \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/games/okwari\"
    COMMAND_ERROR_IS_FATAL ANY)" COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright
  DESTINATION share/doc/okwari COMPONENT deb EXCLUDE_FROM_ALL)
# Installs SOURCE compressed with gzip -9n (no name or time stamp inside, so
# the same source always gives the same bytes) as DIR/NAME.
function(okwari_install_gzipped source dir name)
  set(gz ${CMAKE_BINARY_DIR}/deb-gz/${name})
  install(CODE "
    file(MAKE_DIRECTORY \"${CMAKE_BINARY_DIR}/deb-gz\")
    execute_process(COMMAND gzip -9n -c \"${source}\" OUTPUT_FILE \"${gz}\"
      COMMAND_ERROR_IS_FATAL ANY)
    file(INSTALL \"${gz}\" DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${dir}\"
      PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)"
    COMPONENT deb EXCLUDE_FROM_ALL)
endfunction()
okwari_install_gzipped(${PROJECT_SOURCE_DIR}/man/okwari.6 share/man/man6 okwari.6.gz)
# A native package (no Debian revision) keeps its changelog as changelog.gz.
okwari_install_gzipped(${CMAKE_CURRENT_LIST_DIR}/changelog share/doc/okwari changelog.gz)

set(CPACK_GENERATOR DEB)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};okwari;deb;/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_NAME okwari)
set(CPACK_PACKAGE_VENDOR "The okwari developers")
set(CPACK_PACKAGE_CONTACT "The okwari developers <okwari@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "two-player sowing game against people or robots")
set(CPACK_PACKAGE_DESCRIPTION [[
okwari is a sowing game of the mancala family for the terminal. Each player
owns a row of six pits and a store; a move sows the seeds of one pit around
the board, and captures and extra turns follow from where the last seed
falls. A match is two rounds, the second from the same board with the rows
exchanged.

Any two players can meet: people taking turns at one terminal, where the
board is drawn in colour, or three built-in robots (random, hurry, and the
wise robot that searches a chosen number of turns ahead). A board file
replays a match from the same starting pits.]])
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# Left unset, the architecture comes from dpkg --print-architecture and the
# file name from the package's name, version and architecture.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
