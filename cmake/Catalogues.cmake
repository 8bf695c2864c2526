# The translations: every po/<lang>.po is compiled by msgfmt into
# <build>/locale/<lang>/LC_MESSAGES/kelvod.mo, where the game finds it beside
# its executable. --check makes a broken catalogue (a bad format string, a
# malformed entry) fail the build. The installed game and the browser's data
# carry the same folder as the data folder's locale/.
find_program(KELVOD_MSGFMT msgfmt)
if(NOT KELVOD_MSGFMT)
  message(FATAL_ERROR "msgfmt (Debian's gettext package) compiles the game's translations; "
                      "tools/setup.sh installs it")
endif()
file(GLOB KELVOD_PO_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/po/*.po)
set(KELVOD_LOCALE_DIR ${CMAKE_BINARY_DIR}/locale)
set(KELVOD_MO_FILES "")
foreach(po IN LISTS KELVOD_PO_FILES)
  get_filename_component(lang ${po} NAME_WE)
  set(mo ${KELVOD_LOCALE_DIR}/${lang}/LC_MESSAGES/kelvod.mo)
  add_custom_command(OUTPUT ${mo}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${KELVOD_LOCALE_DIR}/${lang}/LC_MESSAGES
                     COMMAND ${KELVOD_MSGFMT} --check -o ${mo} ${po}
                     DEPENDS ${po} VERBATIM)
  list(APPEND KELVOD_MO_FILES ${mo})
endforeach()
add_custom_target(kelvod_catalogues ALL DEPENDS ${KELVOD_MO_FILES})
add_dependencies(kelvod kelvod_catalogues)
