# orvanta_add_plugin: one plug-in, built from one list of sources for every format it names.
#
#   orvanta_add_plugin(
#     NAME <Name>                 the bundle name, e.g. Balance: letters, digits, '_'
#     [TARGET <prefix>]           prefix of every target made; the name in lower case
#     # Who the plug-in is. Hosts tell plug-ins apart by the codes, URIs and ids: a copy of a
#     # plug-in gets new ones, and a released plug-in never changes them.
#     MAKER <text>                the maker's name, e.g. "Orvanta Examples"
#     VERSION <major.minor.rev>   e.g. 1.0.0; hosts read it packed, computed from this
#     UNIQUE_ID <code>            four characters: the Audio Unit's subtype
#     MAKER_ID <code>             four characters: the maker's code
#     BUNDLE_ID <id>              reverse-DNS identifier of the component bundle
#     [TYPE <code>]               the Audio Unit type; aufx (an effect)
#     [VIEW_CLASS <class>]        the editor's view factory class; <Name>_View
#     [URL <address>]             the maker's web site, in the VST3 and CLAP descriptions
#     [LV2_URI <uri>]             with lv2: the plug-in's URI
#     [CLAP_ID <id>]              with clap: its reverse-DNS id
#     [VST3_CID <hex>]            with vst3: its class id, 32 upper-case hex digits made at random
#     [VST3_SUBCATEGORIES <a|b>]  how VST3 hosts file it; Fx
#     # What it is made of.
#     SOURCES <file>...           the effect: plug-in class, editor, processing
#     [RESOURCES <folder>]        the editor's images (*.png), copied into every bundle, where
#                                 the editor finds them by file name
#     [LV2_COMMENT <text>]        what LV2 host browsers (and CLAP hosts) show about it
#     [LV2_LICENSE <uri>]
#     [LV2_CLASS <class>]         its class in the LV2 core below lv2:Plugin, e.g. SpatialPlugin,
#                                 EQPlugin, DelayPlugin (host browsers file it there)
#     [IDENTITY_HEADER <path>]    the generated identity header, as the sources include it;
#                                 <Name>Identity.h
#     [IDENTITY_NAMESPACE <ns>]   its namespace; <name>_identity
#     [AU_ENTRY <file>]           an entry file of one's own, defining <Name>_Entry and
#                                 <Name>_ViewEntry; generated when not given
#     [LIBS <target>...]          what the effect links besides its wrapper and the framework
#     [INCLUDE_DIRS <dir>...]     public include folders of the effect
#     [COMPILE_OPTIONS <opt>...]  private options of the effect's sources
#     [FORMATS <format>...])      any of au, lv2, clap, vst3; every one this build makes
#
# Generated in the build tree, beside what each format makes:
#   <IDENTITY_HEADER>  the identity as constants in <IDENTITY_NAMESPACE> (kName, kMaker,
#                      kUniqueID, kMakerID, kVersion, kBundleID, kViewClass, kViewDescription,
#                      kLV2URI, ...), on the include path of the sources
#   <Name>Entry.cpp    the Audio Unit entries and view factory (unless AU_ENTRY is given)
#
# The sources are compiled once per format, with ORVANTA_<FORMAT> defined (ORVANTA_AU,
# ORVANTA_LV2, ...): plugin/Plugin.h turns that into the wrapper class IPluginWrapper and the
# editor maker MakeEditorGraphics. Each format's bundles go in a folder of their own in the
# build tree, build/<format>/, so that a host pointed at one finds nothing else there.
#
# Each format's part of the recipe is a function orvanta_plugin_<format>() in
# cmake/Orvanta<FORMAT>.cmake, included below; it reads the arguments of the call (P_...) and
# the values worked out here (lower_name, upper_target, images, generated_dir). What each makes:
#   au:  cmake/OrvantaAU.cmake, build/au/<Name>.component
#   lv2: cmake/OrvantaLV2.cmake, build/lv2/<name>.lv2
#   clap: cmake/OrvantaCLAP.cmake, build/clap/<Name>.clap
#   vst3: cmake/OrvantaVST3.cmake, build/vst3/<Name>.vst3
#
# Example (examples/balance/CMakeLists.txt):
#   orvanta_add_plugin(NAME Balance
#     MAKER "Orvanta Examples" VERSION 1.0.0 UNIQUE_ID Xbal MAKER_ID Xorv
#     BUNDLE_ID org.orvanta.examples.Balance LV2_URI urn:orvanta:examples:balance
#     CLAP_ID org.orvanta.examples.balance VST3_CID 5E7DD634B49D1AFFD7F7AE2DC325C88C
#     SOURCES Balance.cpp
#     LV2_COMMENT "Left/right balance of a stereo signal.")

set(ORVANTA_PLUGIN_FORMATS "")
# One line per format.
include(${CMAKE_CURRENT_LIST_DIR}/OrvantaAU.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/OrvantaLV2.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/OrvantaCLAP.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/OrvantaVST3.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/OrvantaVersion.cmake)

# The effect library of one format: the same sources on that format's wrapper, with the
# format's define. Reads the arguments of the orvanta_add_plugin call it is made from (P_...).
function(orvanta_plugin_effect target wrapper define)
  add_library(${target} STATIC ${P_SOURCES})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR} ${generated_dir}
    ${P_INCLUDE_DIRS})
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

# Stops the configuration with what is wrong in the call of plug-in P_NAME.
function(orvanta_plugin_error)
  string(CONCAT problem ${ARGN})
  message(FATAL_ERROR "orvanta_add_plugin(${P_NAME}) in ${CMAKE_CURRENT_LIST_FILE}: ${problem}")
endfunction()

function(orvanta_add_plugin)
  set(identity NAME TARGET MAKER VERSION UNIQUE_ID MAKER_ID BUNDLE_ID TYPE VIEW_CLASS URL LV2_URI
    CLAP_ID VST3_CID VST3_SUBCATEGORIES IDENTITY_HEADER IDENTITY_NAMESPACE)
  cmake_parse_arguments(P "" "${identity};AU_ENTRY;LV2_COMMENT;LV2_LICENSE;LV2_CLASS;RESOURCES"
    "SOURCES;LIBS;INCLUDE_DIRS;COMPILE_OPTIONS;FORMATS" ${ARGN})
  if(P_UNPARSED_ARGUMENTS)
    orvanta_plugin_error("unknown arguments: ${P_UNPARSED_ARGUMENTS}")
  endif()
  foreach(required NAME MAKER VERSION UNIQUE_ID MAKER_ID BUNDLE_ID SOURCES)
    if(NOT P_${required})
      orvanta_plugin_error("${required} is missing")
    endif()
  endforeach()
  # The name is the stem of the exported entries' names (<Name>_Entry).
  if(NOT P_NAME MATCHES "^[A-Za-z][A-Za-z0-9_]*$")
    orvanta_plugin_error("NAME holds only letters, digits and '_', from a letter")
  endif()
  if(NOT P_TYPE)
    set(P_TYPE aufx)
  endif()
  foreach(code TYPE UNIQUE_ID MAKER_ID)
    if(NOT P_${code} MATCHES "^[ -~][ -~][ -~][ -~]$")
      orvanta_plugin_error("${code} '${P_${code}}' is not four printable characters")
    endif()
  endforeach()
  orvanta_packed_version("${P_VERSION}" packed_version version_error)
  if(version_error)
    orvanta_plugin_error("VERSION ${version_error}")
  endif()
  string(TOLOWER ${P_NAME} lower_name)
  if(NOT P_TARGET)
    set(P_TARGET ${lower_name})
  endif()
  string(TOUPPER ${P_TARGET} upper_target)
  if(NOT P_VIEW_CLASS)
    set(P_VIEW_CLASS ${P_NAME}_View)
  endif()
  if(NOT P_IDENTITY_HEADER)
    set(P_IDENTITY_HEADER ${P_NAME}Identity.h)
  endif()
  if(NOT P_IDENTITY_NAMESPACE)
    set(P_IDENTITY_NAMESPACE ${lower_name}_identity)
  endif()
  if(NOT P_FORMATS)
    foreach(format IN LISTS ORVANTA_PLUGIN_FORMATS)
      if(TARGET orvanta_${format})
        list(APPEND P_FORMATS ${format})
      endif()
    endforeach()
  endif()
  foreach(format IN LISTS P_FORMATS)
    if(NOT format IN_LIST ORVANTA_PLUGIN_FORMATS)
      list(JOIN ORVANTA_PLUGIN_FORMATS ", " known)
      orvanta_plugin_error("unknown format '${format}' (${known})")
    endif()
  endforeach()
  list(TRANSFORM P_SOURCES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ REGEX "^[^/]")
  set(images "")
  if(P_RESOURCES)
    file(GLOB images ${P_RESOURCES}/*.png)
  endif()

  # The identity header, which every format's effect library has on its include path.
  set(generated_dir ${CMAKE_CURRENT_BINARY_DIR}/${P_TARGET}_generated)
  foreach(key NAME MAKER UNIQUE_ID MAKER_ID VERSION BUNDLE_ID VIEW_CLASS LV2_URI IDENTITY_HEADER)
    set(PLUG_${key} "${P_${key}}")
  endforeach()
  set(PLUG_NAMESPACE ${P_IDENTITY_NAMESPACE})
  set(PLUG_VERSION_PACKED ${packed_version})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/PluginIdentity.h.in
    ${generated_dir}/${P_IDENTITY_HEADER} @ONLY)

  foreach(format IN LISTS P_FORMATS)
    cmake_language(CALL orvanta_plugin_${format})
  endforeach()
endfunction()
