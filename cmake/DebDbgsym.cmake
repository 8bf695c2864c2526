# Run by cpack after it has made the packages (CPACK_POST_BUILD_SCRIPTS): mends
# the debug package as Debian's own tools make one. CMake 3.25 lists its file
# in DEBIAN/md5sums by the absolute path of cpack's staging folder (so debsums
# cannot check it), keeps the .debug file executable, and gives the package no
# /usr/share/doc/kelvod-dbgsym, which Debian links to the game's own.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "-dbgsym_[^/]*\\.ddeb$")
    continue()
  endif()
  set(tree "${CPACK_TOPLEVEL_DIRECTORY}/dbgsym-mend")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb -R "${package}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  file(READ "${tree}/DEBIAN/md5sums" sums)
  string(REGEX REPLACE "  /[^\n]*-dbgsym/usr/" "  usr/" sums "${sums}")
  file(WRITE "${tree}/DEBIAN/md5sums" "${sums}")
  file(GLOB_RECURSE debug_files "${tree}/usr/lib/debug/*.debug")
  foreach(f IN LISTS debug_files)
    file(CHMOD "${f}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endforeach()
  file(MAKE_DIRECTORY "${tree}/usr/share/doc")
  file(CREATE_LINK ${CPACK_PACKAGE_NAME} "${tree}/usr/share/doc/${CPACK_PACKAGE_NAME}-dbgsym" SYMBOLIC)
  execute_process(COMMAND dpkg-deb --root-owner-group -Zxz -b "${tree}" "${package}"
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${tree}")
endforeach()
