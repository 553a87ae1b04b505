# orvanta_add_plugin: one plug-in, built from one list of sources for every format it names.
#
#   orvanta_add_plugin(
#     NAME <Name>                 the bundle and executable name, e.g. Orvanta
#     TARGET <prefix>             prefix of every target made, e.g. orvanta
#     IDENTITY <var prefix>       the identity variables (<var prefix>_NAME, _MAKER, _TYPE,
#                                 _UNIQUE_ID, _MAKER_ID, _VERSION, _VERSION_PACKED,
#                                 _BUNDLE_ID), as effect/Identity.cmake sets them
#     IDENTITY_HEADER <path>      the generated identity header, as the sources include it
#     IDENTITY_NAMESPACE <ns>     its namespace (kLV2URI, kLV2UIURI, kLV2StateURI are read)
#     SOURCES <file>...           the effect: plug-in class, editor, processing
#     AU_ENTRY <file>             defines <Name>_Entry and <Name>_ViewEntry
#     [LV2_RESOURCES <file>]      defines LV2CacheEditorImages/LV2EditorImageCount
#                                 (lv2/LV2Resources.h), with which the LV2 and VST3 binaries
#                                 cache the editor's images; without it the editor loads none
#     LV2_COMMENT <text>          what LV2 host browsers show about the plug-in
#     LV2_LICENSE <uri>
#     [LV2_CLASS <class>]         its class in the LV2 core below lv2:Plugin, e.g. SpatialPlugin,
#                                 EQPlugin, DelayPlugin (host browsers file it there)
#     [RESOURCES <folder>]        the editor's images (*.png), copied into every bundle
#     [LIBS <target>...]          what the effect links besides its wrapper
#     [INCLUDE_DIRS <dir>...]     public include folders of the effect (the identity's folder)
#     [COMPILE_OPTIONS <opt>...]  private options of the effect's sources
#     FORMATS <format>...)        any of the formats below
#
# The sources are compiled once per format, with ORVANTA_<FORMAT> defined (ORVANTA_AU,
# ORVANTA_LV2, ...): plugin/Plugin.h turns that into the wrapper class IPluginWrapper and the
# editor maker MakeEditorGraphics. Each format's bundles go in a folder of their own in the
# build tree, build/<format>/, so that a host pointed at one finds nothing else there.
#
# Each format's part of the recipe is a function orvanta_plugin_<format>() in
# cmake/Orvanta<FORMAT>.cmake, included below; it reads the arguments of the call (P_...) and
# the values worked out here (lower_name, upper_target, images). What each makes:
#   au:  cmake/OrvantaAU.cmake, build/au/<Name>.component
#   lv2: cmake/OrvantaLV2.cmake, build/lv2/<name>.lv2
#   clap: cmake/OrvantaCLAP.cmake, build/clap/<Name>.clap
#   vst3: cmake/OrvantaVST3.cmake, build/vst3/<Name>.vst3
#
# Example (examples/balance/CMakeLists.txt, where BALANCE_PLUG_* are set):
#   orvanta_add_plugin(NAME Balance TARGET balance FORMATS au lv2
#     IDENTITY BALANCE_PLUG
#     IDENTITY_HEADER BalanceIdentity.h IDENTITY_NAMESPACE balance_identity
#     SOURCES Balance.cpp AU_ENTRY BalanceEntry.cpp
#     LV2_COMMENT "Left/right balance of a stereo signal."
#     LV2_LICENSE "https://orvanta.example/license"
#     INCLUDE_DIRS ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/identity
#     LIBS orvanta_framework orvanta_graphics)

set(ORVANTA_PLUGIN_FORMATS "")
# One line per format.
include(${CMAKE_CURRENT_LIST_DIR}/OrvantaAU.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/OrvantaLV2.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/OrvantaCLAP.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/OrvantaVST3.cmake)

# The effect library of one format: the same sources on that format's wrapper, with the
# format's define. Reads the arguments of the orvanta_add_plugin call it is made from (P_...).
function(orvanta_plugin_effect target wrapper define)
  add_library(${target} STATIC ${P_SOURCES})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR} ${P_INCLUDE_DIRS})
  target_compile_definitions(${target} PUBLIC ${define})
  if(P_COMPILE_OPTIONS)
    target_compile_options(${target} PRIVATE ${P_COMPILE_OPTIONS})
  endif()
  target_link_libraries(${target} PUBLIC ${wrapper} ${P_LIBS})
endfunction()

# A loadable library that exports only the names in the target's ORVANTA_EXPORTS.
function(orvanta_plugin_module target output folder)
  add_library(${target} MODULE ${ARGN})
  set(exports ${CMAKE_CURRENT_BINARY_DIR}/${target}.exports)
  file(GENERATE OUTPUT ${exports} CONTENT
    "{\n  global:\n    $<JOIN:$<TARGET_PROPERTY:${target},ORVANTA_EXPORTS>,;\n    >;\n  local:\n    *;\n};\n")
  target_link_options(${target} PRIVATE -Wl,--version-script=${exports} -Wl,--no-undefined)
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${output}
    PREFIX ""
    SUFFIX ".so"
    LIBRARY_OUTPUT_DIRECTORY ${folder}
    LINK_DEPENDS ${exports})
endfunction()

function(orvanta_add_plugin)
  cmake_parse_arguments(P ""
    "NAME;TARGET;IDENTITY;IDENTITY_HEADER;IDENTITY_NAMESPACE;AU_ENTRY;LV2_RESOURCES;LV2_COMMENT;LV2_LICENSE;LV2_CLASS;RESOURCES"
    "SOURCES;LIBS;INCLUDE_DIRS;COMPILE_OPTIONS;FORMATS" ${ARGN})
  foreach(required NAME TARGET IDENTITY IDENTITY_HEADER IDENTITY_NAMESPACE SOURCES FORMATS)
    if(NOT P_${required})
      message(FATAL_ERROR "orvanta_add_plugin: ${required} is missing")
    endif()
  endforeach()
  foreach(format IN LISTS P_FORMATS)
    if(NOT format IN_LIST ORVANTA_PLUGIN_FORMATS)
      list(JOIN ORVANTA_PLUGIN_FORMATS ", " known)
      message(FATAL_ERROR "orvanta_add_plugin(${P_NAME}): unknown format '${format}' (${known})")
    endif()
  endforeach()
  list(TRANSFORM P_SOURCES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ REGEX "^[^/]")
  set(images "")
  if(P_RESOURCES)
    file(GLOB images ${P_RESOURCES}/*.png)
  endif()
  string(TOLOWER ${P_NAME} lower_name)
  string(TOUPPER ${P_TARGET} upper_target)

  foreach(format IN LISTS P_FORMATS)
    cmake_language(CALL orvanta_plugin_${format})
  endforeach()
endfunction()
