# Writes the Debian copyright file (machine-readable format 1.0) from the
# REUSE files: the header and Files paragraphs of .reuse/dep5, then one
# License paragraph with the full text of LICENSES/<id>.txt for every licence
# those paragraphs name.
# Usage: cmake -DSOURCE=<source dir> -DOUTPUT=<file> -P cmake/Copyright.cmake
file(READ "${SOURCE}/.reuse/dep5" dep5)
string(REGEX REPLACE "\n+$" "\n" out "${dep5}")
string(REGEX MATCHALL "\nLicense: [^\n]+" named "${dep5}")
set(ids "")
foreach(line IN LISTS named)
  string(REGEX REPLACE "^\nLicense: " "" id "${line}")
  list(APPEND ids ${id})
endforeach()
list(REMOVE_DUPLICATES ids)
foreach(id IN LISTS ids)
  if(NOT EXISTS "${SOURCE}/LICENSES/${id}.txt")
    message(FATAL_ERROR ".reuse/dep5 names ${id}, but LICENSES/${id}.txt is missing")
  endif()
  # Each line indented by a space, an empty line as " ." (trailing blanks dropped).
  file(READ "${SOURCE}/LICENSES/${id}.txt" text)
  string(REGEX REPLACE "[ \t\r]+\n" "\n" text "${text}")
  string(REGEX REPLACE "\n+$" "" text "${text}")
  string(REPLACE "\n" "\n " text " ${text}")
  string(REPLACE "\n \n" "\n .\n" text "${text}")
  string(REPLACE "\n \n" "\n .\n" text "${text}")
  string(APPEND out "\nLicense: ${id}\n${text}\n")
endforeach()
file(WRITE "${OUTPUT}" "${out}")
