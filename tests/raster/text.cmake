# Cached-font text tests, added to the raster test executable.
target_sources(raster_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TextUtf8Test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextCachedFontTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextDrawTest.cpp
)
