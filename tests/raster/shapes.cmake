# Tests of the resampling blits, lines, curves and shapes.
target_sources(raster_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ShapesBlitTest.cpp
)
