# The LV2 part of orvanta_add_plugin (cmake/OrvantaPlugin.cmake): <prefix>_effect_lv2
# (SOURCES again, on the LV2 wrapper, ORVANTA_LV2 defined) and <prefix>_lv2_bundle, the bundle
# build/lv2/<name>.lv2/{manifest.ttl, <name>.ttl, presets.ttl} (written by <prefix>_lv2_ttl
# from an instance), <name>.so (the audio library: exports only lv2_descriptor, carries no
# editor), <name>_ui.so (the editor: only lv2ui_descriptor) and the images. The bundle's
# folder is in the cache as <PREFIX>_LV2_BUNDLE_DIR.
list(APPEND ORVANTA_PLUGIN_FORMATS lv2)

function(orvanta_plugin_lv2)
  if(NOT TARGET orvanta_lv2)
    message(FATAL_ERROR "orvanta_add_plugin(${P_NAME}): FORMATS lv2 needs ORVANTA_LV2 on")
  endif()
  if(NOT P_LV2_URI)
    orvanta_plugin_error("FORMATS lv2 needs LV2_URI")
  endif()
  set(bundle ${PROJECT_BINARY_DIR}/lv2/${lower_name}.lv2)
  set(${upper_target}_LV2_BUNDLE_DIR ${bundle} CACHE INTERNAL "")
  # The wrapper's names for this plug-in (lv2/LV2Identity.h includes them).
  set(identity_dir ${CMAKE_CURRENT_BINARY_DIR}/${P_TARGET}_lv2_identity)
  set(PLUG_IDENTITY_HEADER ${P_IDENTITY_HEADER})
  set(PLUG_NAMESPACE ${P_IDENTITY_NAMESPACE})
  set(PLUG_LV2_COMMENT "${P_LV2_COMMENT}")
  set(PLUG_LV2_LICENSE "${P_LV2_LICENSE}")
  set(PLUG_LV2_CLASS "${P_LV2_CLASS}")
  if(PLUG_LV2_CLASS AND NOT PLUG_LV2_CLASS MATCHES "^[A-Za-z]+Plugin$")
    orvanta_plugin_error("LV2_CLASS '${P_LV2_CLASS}' is no class of the LV2 core "
      "(SpatialPlugin, EQPlugin, DelayPlugin, ...)")
  endif()
  set(PLUG_LV2_NAME ${lower_name})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/LV2PluginIdentity.h.in
    ${identity_dir}/LV2PluginIdentity.h @ONLY)
  add_library(${P_TARGET}_lv2_identity INTERFACE)
  target_include_directories(${P_TARGET}_lv2_identity INTERFACE ${identity_dir} ${generated_dir})

  # The effect twice: with its editor for the editor library (and the description, which
  # asks whether there is one), and without for the audio library.
  orvanta_plugin_effect(${P_TARGET}_effect_lv2 orvanta_lv2 ORVANTA_LV2)
  target_link_libraries(${P_TARGET}_effect_lv2 PUBLIC ${P_TARGET}_lv2_identity orvanta_editor_x11)
  orvanta_plugin_effect(${P_TARGET}_effect_lv2_dsp orvanta_lv2 "ORVANTA_LV2;ORVANTA_EDITOR=0")
  target_link_libraries(${P_TARGET}_effect_lv2_dsp PUBLIC ${P_TARGET}_lv2_identity)

  set(lv2_dir ${PROJECT_SOURCE_DIR}/lv2)
  # Shared libraries the plug-in needs travel in the bundle.
  orvanta_plugin_module(${P_TARGET}_lv2_dsp ${lower_name} ${bundle} ${lv2_dir}/LV2Entry.cpp)
  set_property(TARGET ${P_TARGET}_lv2_dsp PROPERTY ORVANTA_EXPORTS lv2_descriptor)
  # No editor: of the libraries the effect's targets name, only those its audio code calls
  # are loaded with it.
  target_link_libraries(${P_TARGET}_lv2_dsp PRIVATE ${P_TARGET}_effect_lv2_dsp)
  target_link_options(${P_TARGET}_lv2_dsp PRIVATE -Wl,--as-needed)
  orvanta_plugin_module(${P_TARGET}_lv2_ui ${lower_name}_ui ${bundle} ${lv2_dir}/LV2UIEntry.cpp)
  set_property(TARGET ${P_TARGET}_lv2_ui PROPERTY ORVANTA_EXPORTS lv2ui_descriptor)
  target_link_libraries(${P_TARGET}_lv2_ui PRIVATE ${P_TARGET}_effect_lv2)
  set_target_properties(${P_TARGET}_lv2_dsp ${P_TARGET}_lv2_ui PROPERTIES
    BUILD_RPATH "$ORIGIN" INSTALL_RPATH "$ORIGIN")

  # The description is generated from an instance, so ports, ranges and presets follow the code.
  add_library(${P_TARGET}_lv2_description STATIC ${lv2_dir}/LV2Description.cpp)
  target_link_libraries(${P_TARGET}_lv2_description PUBLIC orvanta_lv2 ${P_TARGET}_lv2_identity)
  add_executable(${P_TARGET}_lv2_ttl ${lv2_dir}/LV2DescriptionTool.cpp)
  target_link_libraries(${P_TARGET}_lv2_ttl PRIVATE ${P_TARGET}_lv2_description
    ${P_TARGET}_effect_lv2)
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
endfunction()
