# Installing the game as a Linux game: the programs where Debian puts games, the read-only
# data under share/zorbit, a menu entry with icons, AppStream metadata and manual pages;
# CPack's DEB generator packs the same tree.
include(GNUInstallDirs)

set(ZORBIT_INSTALL_GAMESDIR games CACHE STRING "Where the programs go, under the prefix")
set(ZORBIT_APP_ID org.zorbit.zorbit)
# No site of our own yet: the page and address are placeholders to fill in at release.
set(ZORBIT_HOMEPAGE https://zorbit.example.org)
set(ZORBIT_DATA_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/zorbit)

# The program finds its data from its own folder, so a tree unpacked under any root runs.
cmake_path(ABSOLUTE_PATH ZORBIT_INSTALL_GAMESDIR BASE_DIRECTORY /prefix OUTPUT_VARIABLE games_abs)
cmake_path(ABSOLUTE_PATH ZORBIT_DATA_INSTALL_DIR BASE_DIRECTORY /prefix OUTPUT_VARIABLE data_abs)
file(RELATIVE_PATH ZORBIT_DATA_FROM_PROGRAM ${games_abs} ${data_abs})
target_compile_definitions(zorbit_files PRIVATE
  ZORBIT_DATA_FROM_PROGRAM="${ZORBIT_DATA_FROM_PROGRAM}")
target_compile_definitions(zorbit_sdl PRIVATE ZORBIT_APP_ID="${ZORBIT_APP_ID}")
set(CPACK_PACKAGE_CONTACT "The Zorbit developers <zorbit@example.org>")
# The changelog's date as Debian writes it.
execute_process(COMMAND date -u -R -d "${ZORBIT_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE ZORBIT_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)

set(dist ${CMAKE_SOURCE_DIR}/dist)
set(out ${CMAKE_BINARY_DIR}/dist)
configure_file(${dist}/zorbit.desktop.in ${out}/${ZORBIT_APP_ID}.desktop @ONLY)
configure_file(${dist}/zorbit.metainfo.xml.in ${out}/${ZORBIT_APP_ID}.metainfo.xml @ONLY)
# The data folder's place is known only when installing: it stays a placeholder here.
set(ZORBIT_DATA_PATH @ZORBIT_DATA_PATH@)
configure_file(${dist}/zorbit.6.in ${out}/gz/zorbit.6.in @ONLY)
configure_file(${dist}/zorbit-options.6.in ${out}/gz/zorbit-options.6.in @ONLY)
configure_file(${dist}/changelog.in ${out}/gz/changelog.in @ONLY)

install(TARGETS zorbit zorbit-options RUNTIME DESTINATION ${ZORBIT_INSTALL_GAMESDIR})
install(FILES ${out}/${ZORBIT_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${out}/${ZORBIT_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${dist}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(CODE "set(ZORBIT_GZ_FOLDER \"${out}/gz\")
  set(ZORBIT_DATA_INSTALL_DIR \"${ZORBIT_DATA_INSTALL_DIR}\")
  set(ZORBIT_MAN_INSTALL_DIR \"${CMAKE_INSTALL_MANDIR}\")
  set(ZORBIT_DOC_INSTALL_DIR \"${CMAKE_INSTALL_DOCDIR}\")")
install(SCRIPT ${CMAKE_SOURCE_DIR}/cmake/install_gzipped.cmake)
if(TARGET zorbit_data)
  # Only what the generator made: never a player's file left in the build tree by a run.
  install(DIRECTORY ${ZORBIT_GAME_DIR}/ DESTINATION ${ZORBIT_DATA_INSTALL_DIR}
          FILES_MATCHING PATTERN "*.bmp" PATTERN "*.wav" PATTERN "*.mp3")
  install(DIRECTORY ${ZORBIT_ICON_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorbit)
set(CPACK_PACKAGE_VENDOR "The Zorbit developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "mouse-and-clock balloon-popping puzzle game")
# Debian's checker wants the lines under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
  "Pop groups of touching balloons of one colour before the clock runs out,\n"
  "blow rows sideways with the clouds, and clear a colour or the whole board\n"
  "for big bonuses. Played with the mouse, the keyboard or a gamepad. The best\n"
  "scores are kept in a hall of fame for up to eight players.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ZORBIT_HOMEPAGE})
# Depends from the libraries the programs link, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
