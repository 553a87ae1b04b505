# Who the plug-in is, written once. CMake generates OrvantaIdentity.h from these for the
# effect and its entries, and writes Info.plist and the LV2 description from them.
set(ORVANTA_PLUG_NAME "Orvanta")
set(ORVANTA_PLUG_MAKER "Quev")
# Four-character codes: the unit's subtype and the maker's code; the unit is an effect.
set(ORVANTA_PLUG_TYPE "aufx")
set(ORVANTA_PLUG_UNIQUE_ID "Qzvk")
set(ORVANTA_PLUG_MAKER_ID "Qzvk")
set(ORVANTA_PLUG_VERSION ${PROJECT_VERSION})
set(ORVANTA_PLUG_BUNDLE_ID "com.Quev.audiounit.Orvanta")
set(ORVANTA_PLUG_VIEW_CLASS "Orvanta_View")
set(ORVANTA_PLUG_LV2_URI "urn:quev:orvanta")
# The VST3 class id: made once at random, never to change (hosts store it in projects).
set(ORVANTA_PLUG_VST3_CID "5F7256964AC745031F5232D3A156B832")
# How VST3 hosts file it, and the maker's address in its factory.
set(ORVANTA_PLUG_VST3_SUBCATEGORIES "Fx|Spatial")
set(ORVANTA_PLUG_VST3_URL "https://orvanta.example/")

# Packed as hosts read it: major in bits 16-31, minor in 8-15, revision in 0-7.
math(EXPR ORVANTA_PLUG_VERSION_PACKED
  "(${PROJECT_VERSION_MAJOR} << 16) + (${PROJECT_VERSION_MINOR} << 8) + ${PROJECT_VERSION_PATCH}"
  OUTPUT_FORMAT HEXADECIMAL)
set(ORVANTA_IDENTITY_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/OrvantaIdentity.h.in
  ${ORVANTA_IDENTITY_DIR}/effect/OrvantaIdentity.h @ONLY)
