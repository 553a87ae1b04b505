# The packed version the recipe writes into the identity header and Info.plist, and the
# versions it refuses. Run as: cmake -P PackedVersionTest.cmake
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/OrvantaVersion.cmake)

set(failures 0)
foreach(case "1.2.3=0x10203" "2.0.1=0x20001" "0.0.0=0x0" "32767.255.255=0x7fffffff"
    "10.20.30=0xa141e")
  string(REPLACE "=" ";" case ${case})
  list(GET case 0 version)
  list(GET case 1 expected)
  orvanta_packed_version(${version} packed error)
  if(NOT packed STREQUAL expected OR error)
    message(SEND_ERROR "${version}: packed '${packed}' (expected ${expected}), error '${error}'")
  endif()
endforeach()
# Parts missing or extra, not whole numbers, leading zeros, too large for their bits.
foreach(version "" 1 1.2 1.2.3.4 1.2.x " 1.2.3" 1.2.3- 01.2.3 1.02.3 32768.0.0 1.256.0 1.0.256
    99999999999999999999.0.0)
  orvanta_packed_version("${version}" packed error)
  if(NOT packed STREQUAL "" OR NOT error MATCHES "^'${version}' is not major.minor.revision")
    message(SEND_ERROR "'${version}' was not refused: packed '${packed}', error '${error}'")
  endif()
endforeach()
