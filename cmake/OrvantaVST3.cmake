# The VST3 part of orvanta_add_plugin (cmake/OrvantaPlugin.cmake): <prefix>_effect_vst3
# (SOURCES again, on the VST3 wrapper, ORVANTA_VST3 defined) and <prefix>_vst3_module, the
# bundle build/vst3/<Name>.vst3 with Contents/x86_64-linux/<Name>.so (exports only
# GetPluginFactory, ModuleEntry and ModuleExit; component, controller and editor in one) beside
# the Apple-service stand-ins it links, and Contents/Resources/{moduleinfo.json, images}. The
# bundle's folder is in the cache as <PREFIX>_VST3_BUNDLE_DIR.
# Reads besides the common identity VST3_CID (32 hex digits, made once and never changed),
# VST3_SUBCATEGORIES (default "Fx") and URL.
list(APPEND ORVANTA_PLUGIN_FORMATS vst3)

function(orvanta_plugin_vst3)
  set(cid "${P_VST3_CID}")
  string(LENGTH "${cid}" cid_length)
  if(NOT cid MATCHES "^[0-9A-F]+$" OR NOT cid_length EQUAL 32)
    orvanta_plugin_error("FORMATS vst3 needs VST3_CID, 32 upper-case hex digits made at random "
      "(e.g. with: od -An -N16 -tx1 /dev/urandom | tr -d ' \\n' | tr a-f A-F)")
  endif()
  set(bundle ${PROJECT_BINARY_DIR}/vst3/${P_NAME}.vst3)
  set(${upper_target}_VST3_BUNDLE_DIR ${bundle} CACHE INTERNAL "")

  # The module's names (VST3PluginIdentity.h) and the class list hosts may read unloaded.
  set(PLUG_CID ${cid})
  foreach(i RANGE 1 4)
    math(EXPR at "(${i} - 1) * 8")
    string(SUBSTRING ${cid} ${at} 8 PLUG_CID_${i})
  endforeach()
  set(PLUG_NAME "${P_NAME}")
  set(PLUG_MAKER "${P_MAKER}")
  set(PLUG_VERSION "${P_VERSION}")
  set(PLUG_VST3_SUBCATEGORIES "${P_VST3_SUBCATEGORIES}")
  if(NOT PLUG_VST3_SUBCATEGORIES)
    set(PLUG_VST3_SUBCATEGORIES "Fx")
  endif()
  string(REPLACE "|" "\", \"" PLUG_VST3_SUBCATEGORY_LIST "\"${PLUG_VST3_SUBCATEGORIES}\"")
  set(PLUG_VST3_URL "${P_URL}")
  set(identity_dir ${CMAKE_CURRENT_BINARY_DIR}/${P_TARGET}_vst3_identity)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/VST3PluginIdentity.h.in
    ${identity_dir}/VST3PluginIdentity.h @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/moduleinfo.json.in ${identity_dir}/moduleinfo.json
    @ONLY)

  # One binary with the editor: the view is made inside the instance the host made.
  orvanta_plugin_effect(${P_TARGET}_effect_vst3 orvanta_vst3 ORVANTA_VST3)
  target_link_libraries(${P_TARGET}_effect_vst3 PUBLIC orvanta_editor_x11)
  set(binary_dir ${bundle}/Contents/x86_64-linux)
  orvanta_plugin_module(${P_TARGET}_vst3_module ${P_NAME} ${binary_dir}
    ${PROJECT_SOURCE_DIR}/vst3/VST3Module.cpp)
  target_include_directories(${P_TARGET}_vst3_module PRIVATE ${identity_dir})
  # The wrapper calls the factory of the effect, which derives from the wrapper.
  target_link_libraries(${P_TARGET}_vst3_module PRIVATE orvanta_vst3 ${P_TARGET}_effect_vst3)
  set_property(TARGET ${P_TARGET}_vst3_module PROPERTY ORVANTA_EXPORTS
    GetPluginFactory ModuleEntry ModuleExit)
  set_target_properties(${P_TARGET}_vst3_module PROPERTIES
    BUILD_RPATH "$ORIGIN" INSTALL_RPATH "$ORIGIN")
  set(copy_images "")
  if(images)
    set(copy_images COMMAND ${CMAKE_COMMAND} -E copy_if_different ${images}
      ${bundle}/Contents/Resources/)
  endif()
  add_custom_command(TARGET ${P_TARGET}_vst3_module POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${bundle}/Contents/Resources
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${identity_dir}/moduleinfo.json
      ${bundle}/Contents/Resources/
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:orvanta_apple> ${binary_dir}/
    ${copy_images}
    VERBATIM)
endfunction()
