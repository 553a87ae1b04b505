# Tests of the resampling blits, lines, curves and shapes.
target_sources(raster_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ShapesBadInputTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShapesBlitTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShapesCircleTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShapesLineTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShapesPolygonTest.cpp
)
