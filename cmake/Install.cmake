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
#   share/doc/kelvod/{copyright,changelog.gz}    licences (Debian's format) and changes
# The Debian package puts the game in /usr/games instead (cmake/DebLayout.cmake).
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

# The licences of every file in the Debian's machine-readable form: the REUSE
# paragraphs of .reuse/dep5 with the texts of LICENSES/ (cmake/Copyright.cmake).
set(KELVOD_COPYRIGHT ${CMAKE_BINARY_DIR}/copyright)
file(GLOB KELVOD_LICENSE_TEXTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/LICENSES/*.txt)
add_custom_command(OUTPUT ${KELVOD_COPYRIGHT}
                   COMMAND ${CMAKE_COMMAND} -DSOURCE=${CMAKE_SOURCE_DIR} -DOUTPUT=${KELVOD_COPYRIGHT}
                           -P ${CMAKE_SOURCE_DIR}/cmake/Copyright.cmake
                   DEPENDS ${CMAKE_SOURCE_DIR}/.reuse/dep5 ${KELVOD_LICENSE_TEXTS}
                           ${CMAKE_SOURCE_DIR}/cmake/Copyright.cmake VERBATIM)
# The changes, in Debian's changelog form; its newest entry must name the
# project's version (tools/check_package.sh checks the metainfo's releases).
set(KELVOD_CHANGELOG ${CMAKE_BINARY_DIR}/changelog.gz)
file(STRINGS ${CMAKE_SOURCE_DIR}/dist/changelog changelog_top LIMIT_COUNT 1)
if(NOT changelog_top MATCHES "^kelvod \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "dist/changelog: the newest entry is not version ${PROJECT_VERSION}: ${changelog_top}")
endif()
add_custom_command(OUTPUT ${KELVOD_CHANGELOG}
                   COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/dist/changelog > ${KELVOD_CHANGELOG}
                   DEPENDS ${CMAKE_SOURCE_DIR}/dist/changelog VERBATIM)
add_custom_target(kelvod_doc ALL DEPENDS ${KELVOD_COPYRIGHT} ${KELVOD_CHANGELOG})
add_dependencies(kelvod kelvod_doc)
install(FILES ${KELVOD_COPYRIGHT} ${KELVOD_CHANGELOG} DESTINATION ${CMAKE_INSTALL_DOCDIR})

# cpack -G DEB: kelvod_<version>_<arch>.deb and kelvod-dbgsym_<version>_<arch>.ddeb
# with the debug symbols the package's binary is stripped of (build with
# RelWithDebInfo, or the symbols are only the names). dpkg-shlibdeps finds the
# libraries the game links (SDL2 and its image and font libraries, Box2D, the
# C++ runtime); the font file it names comes from fonts-dejavu-core.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvod)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The project's own name and address: the package is made by the project, not a person.
set(CPACK_PACKAGE_CONTACT "kelvod maintainers <maintainers@users.noreply.c-seed-f9fc0726.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "2D physics puzzle game with a level editor")
# Debian's limit is 80 columns with the leading space: lines of at most 79.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "You never move the hero of kelvod: you switch its laser on, aim it with\n"
       "the mouse and make it hot to burn ropes, set off bombs and bounce beams off\n"
       "mirrors, until every battery has reached the hero. Thirty levels and an\n"
       "editor for levels of your own. The game speaks Russian and English.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://c-seed-f9fc0726.example/kelvod")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# CPack's debug package strips the binary itself after keeping its symbols.
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_STRIP_FILES OFF)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/DebLayout.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/DebDbgsym.cmake)
include(CPack)
