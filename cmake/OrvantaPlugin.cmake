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
#                                 (lv2/LV2Resources.h); without it the editor loads no images
#     LV2_COMMENT <text>          what LV2 host browsers show about the plug-in
#     LV2_LICENSE <uri>
#     [RESOURCES <folder>]        the editor's images (*.png), copied into both bundles
#     [LIBS <target>...]          what the effect links besides its wrapper
#     [INCLUDE_DIRS <dir>...]     public include folders of the effect (the identity's folder)
#     [COMPILE_OPTIONS <opt>...]  private options of the effect's sources
#     [VST3_SUBCATEGORIES <a|b>]  the VST3 class's subcategories (default Fx)
#     [VST3_URL <url>]            the maker's web address in the VST3 factory
#     FORMATS au [lv2] [vst3])
#
# What it creates (in the build folder, <name> = lower-case <Name>):
#   au:  <prefix>_effect (static: SOURCES on the Audio Unit wrapper) and <prefix>_component,
#        the bundle <Name>.component/Contents/{Info.plist, Linux/<Name>.so, Resources/*.png};
#        the .so exports only <Name>_Entry and <Name>_ViewEntry (append more to the target's
#        ORVANTA_EXPORTS property).
#   lv2: <prefix>_effect_lv2 (SOURCES again, on the LV2 wrapper, with ORVANTA_LV2 defined) and
#        <prefix>_lv2_bundle, the bundle <name>.lv2/{manifest.ttl, <name>.ttl, presets.ttl}
#        (written by <prefix>_lv2_ttl from an instance), <name>.so (exports only
#        lv2_descriptor), <name>_ui.so (only lv2ui_descriptor) and the images. The bundle's
#        folder is in the cache as <PREFIX>_LV2_BUNDLE_DIR.
#   vst3: see cmake/OrvantaVST3.cmake.
#
# Example (examples/balance/CMakeLists.txt, where BALANCE_PLUG_* are set):
#   orvanta_add_plugin(NAME Balance TARGET balance FORMATS au lv2
#     IDENTITY BALANCE_PLUG
#     IDENTITY_HEADER BalanceIdentity.h IDENTITY_NAMESPACE balance_identity
#     SOURCES Balance.cpp AU_ENTRY BalanceEntry.cpp
#     LV2_COMMENT "Left/right balance of a stereo signal."
#     LV2_LICENSE "https://orvanta.example/license"
#     INCLUDE_DIRS ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/identity
#     LIBS orvanta_framework orvanta_graphics orvanta_x11)

# The effect library of one format: the same sources on that format's wrapper. Reads the
# arguments of the orvanta_add_plugin call it is made from (P_...).
function(_orvanta_plugin_effect target wrapper)
  add_library(${target} STATIC ${P_SOURCES})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR} ${P_INCLUDE_DIRS})
  if(P_COMPILE_OPTIONS)
    target_compile_options(${target} PRIVATE ${P_COMPILE_OPTIONS})
  endif()
  target_link_libraries(${target} PUBLIC ${wrapper} ${P_LIBS})
endfunction()

# A loadable library that exports only the names in the target's ORVANTA_EXPORTS.
function(_orvanta_plugin_module target output folder)
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
    "NAME;TARGET;IDENTITY;IDENTITY_HEADER;IDENTITY_NAMESPACE;AU_ENTRY;LV2_RESOURCES;LV2_COMMENT;LV2_LICENSE;RESOURCES;VST3_SUBCATEGORIES;VST3_URL"
    "SOURCES;LIBS;INCLUDE_DIRS;COMPILE_OPTIONS;FORMATS" ${ARGN})
  foreach(required NAME TARGET IDENTITY IDENTITY_HEADER IDENTITY_NAMESPACE SOURCES FORMATS)
    if(NOT P_${required})
      message(FATAL_ERROR "orvanta_add_plugin: ${required} is missing")
    endif()
  endforeach()
  foreach(format IN LISTS P_FORMATS)
    if(format STREQUAL "au" AND NOT P_AU_ENTRY)
      message(FATAL_ERROR "orvanta_add_plugin(${P_NAME}): FORMATS au needs AU_ENTRY")
    elseif(NOT format MATCHES "^(au|lv2|vst3)$")
      message(FATAL_ERROR "orvanta_add_plugin(${P_NAME}): unknown format '${format}' (au, lv2, vst3)")
    endif()
  endforeach()
  list(TRANSFORM P_SOURCES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ REGEX "^[^/]")
  set(images "")
  if(P_RESOURCES)
    file(GLOB images ${P_RESOURCES}/*.png)
  endif()
  string(TOLOWER ${P_NAME} lower_name)
  string(TOUPPER ${P_TARGET} upper_target)

  if(au IN_LIST P_FORMATS)
    set(bundle ${PROJECT_BINARY_DIR}/${P_NAME}.component)
    _orvanta_plugin_effect(${P_TARGET}_effect orvanta_au)
    _orvanta_plugin_module(${P_TARGET}_component ${P_NAME} ${bundle}/Contents/Linux
      ${CMAKE_CURRENT_SOURCE_DIR}/${P_AU_ENTRY})
    # The wrapper calls the factory of the effect, which derives from the wrapper.
    target_link_libraries(${P_TARGET}_component PRIVATE orvanta_au ${P_TARGET}_effect)
    set_property(TARGET ${P_TARGET}_component PROPERTY ORVANTA_EXPORTS
      ${P_NAME}_Entry ${P_NAME}_ViewEntry)

    # Info.plist: the bundle identity and the AudioComponents entry hosts register the unit
    # under; the version is the packed one, in decimal.
    foreach(key NAME MAKER TYPE UNIQUE_ID MAKER_ID VERSION BUNDLE_ID)
      set(PLUG_${key} "${${P_IDENTITY}_${key}}")
    endforeach()
    math(EXPR plug_version "${${P_IDENTITY}_VERSION_PACKED}")
    set(info_plist ${CMAKE_CURRENT_BINARY_DIR}/${P_NAME}.Info.plist)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/Info.plist.in ${info_plist} @ONLY)
    add_custom_command(TARGET ${P_TARGET}_component POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E make_directory ${bundle}/Contents/Resources
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${info_plist} ${bundle}/Contents/Info.plist
      VERBATIM)
    if(images)
      add_custom_command(TARGET ${P_TARGET}_component POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${images} ${bundle}/Contents/Resources/
        VERBATIM)
    endif()
  endif()

  if(lv2 IN_LIST P_FORMATS)
    set(bundle ${PROJECT_BINARY_DIR}/${lower_name}.lv2)
    set(${upper_target}_LV2_BUNDLE_DIR ${bundle} CACHE INTERNAL "")
    # The wrapper's names for this plug-in (lv2/LV2Identity.h includes them).
    set(identity_dir ${CMAKE_CURRENT_BINARY_DIR}/${P_TARGET}_lv2_identity)
    set(PLUG_IDENTITY_HEADER ${P_IDENTITY_HEADER})
    set(PLUG_IDENTITY_NAMESPACE ${P_IDENTITY_NAMESPACE})
    set(PLUG_LV2_COMMENT "${P_LV2_COMMENT}")
    set(PLUG_LV2_LICENSE "${P_LV2_LICENSE}")
    set(PLUG_LV2_NAME ${lower_name})
    configure_file(${PROJECT_SOURCE_DIR}/cmake/LV2PluginIdentity.h.in
      ${identity_dir}/LV2PluginIdentity.h @ONLY)
    add_library(${P_TARGET}_lv2_identity INTERFACE)
    target_include_directories(${P_TARGET}_lv2_identity INTERFACE ${identity_dir} ${P_INCLUDE_DIRS})

    _orvanta_plugin_effect(${P_TARGET}_effect_lv2 orvanta_lv2)
    target_compile_definitions(${P_TARGET}_effect_lv2 PUBLIC ORVANTA_LV2)
    target_link_libraries(${P_TARGET}_effect_lv2 PUBLIC ${P_TARGET}_lv2_identity)

    # The editor's images, cached from the bundle before an instance is made.
    set(lv2_dir ${PROJECT_SOURCE_DIR}/lv2)
    if(P_LV2_RESOURCES)
      set(resources ${CMAKE_CURRENT_SOURCE_DIR}/${P_LV2_RESOURCES})
    else()
      set(resources ${lv2_dir}/LV2NoEditorImages.cpp)
    endif()
    add_library(${P_TARGET}_lv2_resources STATIC ${resources})
    target_link_libraries(${P_TARGET}_lv2_resources PUBLIC ${P_TARGET}_effect_lv2)

    # Shared libraries the plug-in needs travel in the bundle.
    _orvanta_plugin_module(${P_TARGET}_lv2_dsp ${lower_name} ${bundle} ${lv2_dir}/LV2Entry.cpp)
    set_property(TARGET ${P_TARGET}_lv2_dsp PROPERTY ORVANTA_EXPORTS lv2_descriptor)
    target_link_libraries(${P_TARGET}_lv2_dsp PRIVATE ${P_TARGET}_lv2_resources
      ${P_TARGET}_effect_lv2)
    _orvanta_plugin_module(${P_TARGET}_lv2_ui ${lower_name}_ui ${bundle} ${lv2_dir}/LV2UIEntry.cpp)
    set_property(TARGET ${P_TARGET}_lv2_ui PROPERTY ORVANTA_EXPORTS lv2ui_descriptor)
    target_link_libraries(${P_TARGET}_lv2_ui PRIVATE ${P_TARGET}_lv2_resources
      ${P_TARGET}_effect_lv2 orvanta_x11)
    set_target_properties(${P_TARGET}_lv2_dsp ${P_TARGET}_lv2_ui PROPERTIES
      BUILD_RPATH "$ORIGIN" INSTALL_RPATH "$ORIGIN")

    # The description is generated from an instance, so ports, ranges and presets follow the code.
    add_library(${P_TARGET}_lv2_description STATIC ${lv2_dir}/LV2Description.cpp)
    target_link_libraries(${P_TARGET}_lv2_description PUBLIC orvanta_lv2 ${P_TARGET}_lv2_identity)
    add_executable(${P_TARGET}_lv2_ttl ${lv2_dir}/LV2DescriptionTool.cpp)
    target_link_libraries(${P_TARGET}_lv2_ttl PRIVATE ${P_TARGET}_lv2_description
      ${P_TARGET}_lv2_resources)
    set(image_folder ${P_RESOURCES})
    if(NOT image_folder)
      set(image_folder ${bundle})
    endif()
    set(ttl_files ${bundle}/manifest.ttl ${bundle}/${lower_name}.ttl ${bundle}/presets.ttl)
    add_custom_command(OUTPUT ${ttl_files}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${bundle}
      COMMAND ${P_TARGET}_lv2_ttl ${bundle} ${image_folder}
      DEPENDS ${P_TARGET}_lv2_ttl
      COMMENT "Writing the LV2 description of ${P_NAME}"
      VERBATIM)
    add_custom_target(${P_TARGET}_lv2_bundle ALL DEPENDS ${ttl_files} ${P_TARGET}_lv2_dsp
      ${P_TARGET}_lv2_ui)
    if(TARGET orvanta_apple)
      get_target_property(apple_type orvanta_apple TYPE)
      if(apple_type STREQUAL "SHARED_LIBRARY")
        add_custom_command(TARGET ${P_TARGET}_lv2_bundle POST_BUILD
          COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:orvanta_apple> ${bundle}/
          VERBATIM)
      endif()
    endif()
    if(images)
      add_custom_command(TARGET ${P_TARGET}_lv2_bundle POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${images} ${bundle}/
        VERBATIM)
    endif()
  endif()

  if(vst3 IN_LIST P_FORMATS)
    _orvanta_plugin_vst3()
  endif()
endfunction()
