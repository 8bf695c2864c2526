# The hardening flags of Debian's dpkg-buildflags (hardening=+all), for every
# target of the game. Included from the top CMakeLists.txt for native builds.
include(CheckCXXCompilerFlag)
include(CheckPIESupported)

add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
check_cxx_compiler_flag(-fcf-protection KELVOD_HAS_CF_PROTECTION)
if(KELVOD_HAS_CF_PROTECTION)
  add_compile_options(-fcf-protection)
endif()
# A distribution's own flags may fortify already (at another level): then
# they hold, and a second definition would only be warned about.
if(NOT "${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_INIT}" MATCHES "_FORTIFY_SOURCE")
  add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
endif()
add_link_options(LINKER:-z,relro LINKER:-z,now)

set(CMAKE_POSITION_INDEPENDENT_CODE ON)
check_pie_supported(OUTPUT_VARIABLE KELVOD_PIE_MESSAGE LANGUAGES CXX)
if(NOT CMAKE_CXX_LINK_PIE_SUPPORTED)
  message(WARNING "The linker cannot make a position-independent executable: ${KELVOD_PIE_MESSAGE}")
endif()
