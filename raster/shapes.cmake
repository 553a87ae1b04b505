# Resampling blits, lines, curves and shapes of the raster library.
target_sources(orvanta_raster PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/RAS_Bezier.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RAS_BlitFilters.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RAS_Circle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RAS_DeltaBlit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RAS_Glyph.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RAS_Line.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RAS_LineClip.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RAS_Polygon.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RAS_RectOutline.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RAS_ScaledBlit.cpp
)
