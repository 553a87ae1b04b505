# The VST3 part of orvanta_add_plugin (cmake/OrvantaPlugin.cmake): reads the arguments of the
# call it is made from (P_...) and its names (lower_name, upper_target, images).
#
#   <prefix>_effect_vst3  SOURCES again, on the VST3 wrapper, with ORVANTA_VST3 defined
#   <prefix>_vst3_module  the module: build/vst3/<Name>.vst3/Contents/x86_64-linux/<Name>.so,
#                         exporting only GetPluginFactory, ModuleEntry and ModuleExit, beside
#                         the Apple-service stand-ins it links; Contents/Resources holds
#                         moduleinfo.json and the images. The bundle's folder is in the cache
#                         as <PREFIX>_VST3_BUNDLE_DIR.
# The class id is <IDENTITY>_VST3_CID (32 hex digits); VST3_SUBCATEGORIES (default "Fx") and
# VST3_URL are optional arguments of orvanta_add_plugin.
function(_orvanta_plugin_vst3)
  set(cid "${${P_IDENTITY}_VST3_CID}")
  if(NOT cid MATCHES "^[0-9A-F]+$" OR NOT cid MATCHES "^................................$")
    message(FATAL_ERROR "orvanta_add_plugin(${P_NAME}): ${P_IDENTITY}_VST3_CID must be 32 "
                        "upper-case hex digits, made once and never changed")
  endif()
  set(bundle ${PROJECT_BINARY_DIR}/vst3/${P_NAME}.vst3)
  set(${upper_target}_VST3_BUNDLE_DIR ${bundle} CACHE INTERNAL "")

  set(PLUG_CID ${cid})
  foreach(i RANGE 1 4)
    math(EXPR at "(${i} - 1) * 8")
    string(SUBSTRING ${cid} ${at} 8 PLUG_CID_${i})
  endforeach()
  set(PLUG_NAME "${${P_IDENTITY}_NAME}")
  set(PLUG_MAKER "${${P_IDENTITY}_MAKER}")
  set(PLUG_VERSION "${${P_IDENTITY}_VERSION}")
  set(PLUG_VST3_SUBCATEGORIES "${P_VST3_SUBCATEGORIES}")
  if(NOT PLUG_VST3_SUBCATEGORIES)
    set(PLUG_VST3_SUBCATEGORIES "Fx")
  endif()
  string(REPLACE "|" "\", \"" PLUG_VST3_SUBCATEGORY_LIST "\"${PLUG_VST3_SUBCATEGORIES}\"")
  set(PLUG_VST3_URL "${P_VST3_URL}")
  set(identity_dir ${CMAKE_CURRENT_BINARY_DIR}/${P_TARGET}_vst3_identity)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/VST3PluginIdentity.h.in
    ${identity_dir}/VST3PluginIdentity.h @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/moduleinfo.json.in ${identity_dir}/moduleinfo.json
    @ONLY)

  _orvanta_plugin_effect(${P_TARGET}_effect_vst3 orvanta_vst3)
  target_compile_definitions(${P_TARGET}_effect_vst3 PUBLIC ORVANTA_VST3)
  set(binary_dir ${bundle}/Contents/x86_64-linux)
  _orvanta_plugin_module(${P_TARGET}_vst3_module ${P_NAME} ${binary_dir}
    ${PROJECT_SOURCE_DIR}/vst3/VST3Module.cpp)
  target_include_directories(${P_TARGET}_vst3_module PRIVATE ${identity_dir})
  # The wrapper calls the factory of the effect, which derives from the wrapper.
  target_link_libraries(${P_TARGET}_vst3_module PRIVATE orvanta_vst3 ${P_TARGET}_effect_vst3)
  set_property(TARGET ${P_TARGET}_vst3_module PROPERTY ORVANTA_EXPORTS
    GetPluginFactory ModuleEntry ModuleExit)
  set_target_properties(${P_TARGET}_vst3_module PROPERTIES BUILD_RPATH "$ORIGIN" INSTALL_RPATH "$ORIGIN")
  add_custom_command(TARGET ${P_TARGET}_vst3_module POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${bundle}/Contents/Resources
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${identity_dir}/moduleinfo.json
      ${bundle}/Contents/Resources/
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:orvanta_apple> ${binary_dir}/
    VERBATIM)
  if(images)
    add_custom_command(TARGET ${P_TARGET}_vst3_module POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${images} ${bundle}/Contents/Resources/
      VERBATIM)
  endif()
endfunction()
