# Cached-font text tests, added to the raster test executable; the golden sheet's drawing is
# shared with the tool that regenerates it.
target_sources(raster_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TextUtf8Test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextCachedFontTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextDrawTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextGoldenTest.cpp
  ${PROJECT_SOURCE_DIR}/tools/text-sheet/TextSheet.cpp
)
target_include_directories(raster_tests PRIVATE ${PROJECT_SOURCE_DIR}/tools/text-sheet)
target_link_libraries(raster_tests PRIVATE orvanta_test_golden)
