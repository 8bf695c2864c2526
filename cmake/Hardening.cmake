# The hardening flags of Debian's dpkg-buildflags (hardening=+all), for every
# target of the game. Included from the top CMakeLists.txt for native builds.
include(CheckCXXCompilerFlag)
include(CheckPIESupported)

add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
# Newer Debian releases add these two where the compiler has them. Control-flow
# protection takes effect only when every object linked carries it, and
# Debian 12's C start files do not yet, so its binaries go without.
foreach(flag -fstack-clash-protection -fcf-protection)
  string(MAKE_C_IDENTIFIER "KELVOD_HAS${flag}" has)
  check_cxx_compiler_flag(${flag} ${has})
  if(${has})
    add_compile_options(${flag})
  endif()
endforeach()
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
