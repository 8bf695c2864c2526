# Run by cpack on the staged files before it packs them (CPACK_PRE_BUILD_SCRIPTS):
# a Debian package keeps its games in /usr/games, not /usr/bin. The game finds
# its data at ../share/kelvod from there as well as from /usr/bin.
set(staged "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
if(NOT EXISTS "${staged}/bin/kelvod")
  message(FATAL_ERROR "cpack: no staged ${staged}/bin/kelvod to move to games/")
endif()
# The compilers' version strings in .comment are of no use in the package (as
# Debian's dh_strip, drop them; the debug package is cut from the binary next).
find_program(KELVOD_OBJCOPY objcopy REQUIRED)
execute_process(COMMAND ${KELVOD_OBJCOPY} --remove-section=.comment "${staged}/bin/kelvod"
                COMMAND_ERROR_IS_FATAL ANY)
file(MAKE_DIRECTORY "${staged}/games")
file(RENAME "${staged}/bin/kelvod" "${staged}/games/kelvod")
file(GLOB left "${staged}/bin/*")
if(NOT left)
  file(REMOVE_RECURSE "${staged}/bin")
endif()
