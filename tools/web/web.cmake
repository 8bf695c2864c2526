# The browser build (emscripten; tools/web/build.sh sets it up): kelvod.html
# with its own page, and the data folder, font included, packed into kelvod.data.

# Static builds of SDL2_image, SDL2_ttf and SDL2_mixer export only their -static targets.
foreach(lib SDL2_image SDL2_ttf SDL2_mixer)
  if(NOT TARGET ${lib}::${lib} AND TARGET ${lib}::${lib}-static)
    add_library(${lib}::${lib} ALIAS ${lib}::${lib}-static)
  endif()
endforeach()

set(KELVOD_WEB_FONT "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf" CACHE FILEPATH
    "TrueType font copied into the browser's data folder (fonts-dejavu-core)")
if(NOT EXISTS "${KELVOD_WEB_FONT}")
  message(FATAL_ERROR "The browser build packs the font ${KELVOD_WEB_FONT}; install fonts-dejavu-core")
endif()

# The font is cut to the characters the game can show (Latin, Cyrillic, the
# punctuation and signs its texts use): a tenth of its size, and the bytes a
# first visit waits for. fonttools' pyftsubset does it (tools/web/build.sh
# installs it).
find_program(KELVOD_PYFTSUBSET pyftsubset)
if(NOT KELVOD_PYFTSUBSET)
  message(FATAL_ERROR "The browser build cuts its font with pyftsubset; install fonttools")
endif()
get_filename_component(web_font_name "${KELVOD_WEB_FONT}" NAME)
set(web_font_unicodes "U+0020-007E,U+00A0-017F,U+0400-04FF,U+2010-2027,U+2030-203A,U+20AC,U+2116,U+2122,U+2190-2195,U+2212,U+2605")

# The data folder as the page gets it: the repository's data/, the cut font
# beside font_1.zfi, which names it before the system's copy, and the
# compiled translations in locale/.
set(web_data "${CMAKE_BINARY_DIR}/web-data")
file(GLOB_RECURSE web_data_sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/data/*")
add_custom_command(OUTPUT "${web_data}/stamp"
  COMMAND ${CMAKE_COMMAND} -E rm -rf "${web_data}"
  COMMAND ${CMAKE_COMMAND} -E copy_directory "${CMAKE_SOURCE_DIR}/data" "${web_data}/data"
  COMMAND "${KELVOD_PYFTSUBSET}" "${KELVOD_WEB_FONT}" --unicodes=${web_font_unicodes}
          --layout-features=kern,liga "--output-file=${web_data}/data/${web_font_name}"
  COMMAND ${CMAKE_COMMAND} -E copy_directory "${KELVOD_LOCALE_DIR}" "${web_data}/data/locale"
  COMMAND ${CMAKE_COMMAND} -E touch "${web_data}/stamp"
  DEPENDS ${web_data_sources} "${KELVOD_WEB_FONT}" ${KELVOD_MO_FILES}
  COMMENT "Gathering the browser's data folder")
add_custom_target(kelvod_web_data DEPENDS "${web_data}/stamp")
add_dependencies(kelvod kelvod_web_data)

# The page's icon: the game's own, beside the page.
add_custom_command(TARGET kelvod POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different "${CMAKE_SOURCE_DIR}/assets/icon.svg" "${CMAKE_BINARY_DIR}/kelvod-icon.svg"
  COMMAND ${CMAKE_COMMAND} -E copy_if_different "${CMAKE_SOURCE_DIR}/dist/icons/kelvod-48.png" "${CMAKE_BINARY_DIR}/kelvod-icon.png")

set(web_shell "${CMAKE_SOURCE_DIR}/tools/web/shell.html")
set_target_properties(kelvod PROPERTIES SUFFIX ".html"
  LINK_DEPENDS "${web_shell};${web_data}/stamp;${CMAKE_SOURCE_DIR}/tools/web/library_funcs.json")
target_link_options(kelvod PRIVATE
  "SHELL:--shell-file ${web_shell}"
  "SHELL:--preload-file ${web_data}/data@/data"
  "-sMINIFY_HTML=0"           # Debian's emcc cannot minify the page
  "-sALLOW_MEMORY_GROWTH=1"
  "-sEXIT_RUNTIME=1"          # a run that ends (headless) reports to the page
  "-sEXPORTED_RUNTIME_METHODS=FS,ENV,IDBFS,addRunDependency,removeRunDependency,ccall"
  # What the page asks of the game (src/app/uWebPage.cpp). Named here, they are
  # linked in: nothing else in the game calls them, so the library's object
  # holding them would be left out, EMSCRIPTEN_KEEPALIVE or not.
  "-sEXPORTED_FUNCTIONS=_main,_kelvod_tr,_kelvod_lang,_kelvod_refresh_state,_kelvod_check_level,_kelvod_unsaved_work,_kelvod_scene"
  "-lidbfs.js"                # the player's folders kept in IndexedDB by the page
  # SDL2's browser audio calls runtime helpers from its inline JavaScript; their
  # names start with "$", so they are read from a file that make leaves alone.
  "-sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_SOURCE_DIR}/tools/web/library_funcs.json")
