# Tests of the resampling blits, lines, curves and shapes, and the operation sheet's golden.
target_sources(raster_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ShapesBadInputTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShapesBlitTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShapesCircleTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShapesLineTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShapesPolygonTest.cpp
)
if(TARGET orvanta_raster_sheet)
  target_sources(raster_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ShapesSheetTest.cpp)
  target_link_libraries(raster_tests PRIVATE orvanta_raster_sheet)
endif()
