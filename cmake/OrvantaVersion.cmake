# orvanta_packed_version(<version> <out> <error out>): a version "major.minor.revision" packed
# as hosts read it, major << 16 | minor << 8 | revision, in hexadecimal (1.2.3 gives 0x10203).
# For a version of another form, or with a part too large for its bits, <out> is "" and
# <error out> says what a version must be.
function(orvanta_packed_version version out error)
  set(${out} "" PARENT_SCOPE)
  string(CONCAT problem "'${version}' is not major.minor.revision (e.g. 1.0.0) of whole "
    "numbers, the major up to 32767, the others up to 255")
  set(${error} "${problem}" PARENT_SCOPE)
  # No more digits than the largest part has, so that the comparisons cannot overflow.
  set(part "(0|[1-9][0-9]?[0-9]?)")
  if(NOT version MATCHES "^(0|[1-9][0-9]?[0-9]?[0-9]?[0-9]?)\\.${part}\\.${part}$" OR
     CMAKE_MATCH_1 GREATER 32767 OR CMAKE_MATCH_2 GREATER 255 OR CMAKE_MATCH_3 GREATER 255)
    return()
  endif()
  math(EXPR packed "(${CMAKE_MATCH_1} << 16) + (${CMAKE_MATCH_2} << 8) + ${CMAKE_MATCH_3}"
    OUTPUT_FORMAT HEXADECIMAL)
  set(${out} ${packed} PARENT_SCOPE)
  set(${error} "" PARENT_SCOPE)
endfunction()
