# Cached-font text of the raster library.
target_sources(orvanta_raster PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/RAS_CachedFont.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RAS_CachedFontGlyph.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RAS_CachedFontNative.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RAS_Utf8.cpp
)
