# Installs the game in the usual places under the prefix, and packs it as a
# Debian package:
#   bin/kelvod                                   the game
#   share/kelvod/                                its data (art, font, shipped levels,
#                                                the translations in locale/)
#   share/applications/kelvod.desktop            the desktop's menu entry
#   share/metainfo/kelvod.metainfo.xml           AppStream description
#   share/mime/packages/kelvod.xml               the level files' MIME type (opened by the game)
#   share/icons/hicolor/*/apps/kelvod.{svg,png}  the icon
#   share/man/man6/kelvod.6.gz                   the manual page
#   share/man/ru/man6/kelvod.6.gz                the manual page in Russian
include(GNUInstallDirs)

# The installed game finds its data from its own place, so any prefix works.
file(RELATIVE_PATH KELVOD_DATA_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/kelvod)
target_compile_definitions(kelvod_app PRIVATE KELVOD_DATA_FROM_BIN="${KELVOD_DATA_FROM_BIN}")

install(TARGETS kelvod RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kelvod
        PATTERN ".*" EXCLUDE PATTERN "*.saving" EXCLUDE)
install(DIRECTORY ${KELVOD_LOCALE_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kelvod/locale)
install(FILES ${CMAKE_SOURCE_DIR}/dist/kelvod.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/dist/kelvod.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/dist/kelvod-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME kelvod.xml)
install(FILES ${CMAKE_SOURCE_DIR}/assets/icon.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME kelvod.svg)
foreach(size 48 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/dist/icons/kelvod-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME kelvod.png)
endforeach()

# The manual page, compressed as Debian keeps them (gzip -n: the same bytes every build),
# and its Russian translation in man/ru/.
set(KELVOD_MAN ${CMAKE_BINARY_DIR}/kelvod.6.gz)
set(KELVOD_MAN_RU ${CMAKE_BINARY_DIR}/man-ru/kelvod.6.gz)
add_custom_command(OUTPUT ${KELVOD_MAN}
                   COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/dist/kelvod.6 > ${KELVOD_MAN}
                   DEPENDS ${CMAKE_SOURCE_DIR}/dist/kelvod.6 VERBATIM)
add_custom_command(OUTPUT ${KELVOD_MAN_RU}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man-ru
                   COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/dist/kelvod.ru.6 > ${KELVOD_MAN_RU}
                   DEPENDS ${CMAKE_SOURCE_DIR}/dist/kelvod.ru.6 VERBATIM)
add_custom_target(kelvod_man ALL DEPENDS ${KELVOD_MAN} ${KELVOD_MAN_RU})
add_dependencies(kelvod kelvod_man)
install(FILES ${KELVOD_MAN} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${KELVOD_MAN_RU} DESTINATION ${CMAKE_INSTALL_MANDIR}/ru/man6)

# cpack -G DEB: kelvod_<version>_<arch>.deb. dpkg-shlibdeps finds the
# libraries the game links (SDL2 and its image and font libraries, Box2D, the
# C++ runtime); the font file it names comes from fonts-dejavu-core.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvod)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "kelvod maintainers <maintainers@users.noreply.c-seed-f9fc0726.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "2D physics puzzle game with a level editor")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "You never move the hero of kelvod: you switch its laser on, aim it with the mouse\n"
       "and make it hot to burn ropes, set off bombs and bounce beams off mirrors, until\n"
       "every battery has reached the hero. Thirty levels and an editor for levels of\n"
       "your own. The game speaks Russian and English.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
