# The CLAP part of orvanta_add_plugin (cmake/OrvantaPlugin.cmake), reading its arguments (P_...):
#   <prefix>_effect_clap (SOURCES on the CLAP wrapper, with ORVANTA_CLAP defined) and
#   <prefix>_clap_bundle, the bundle clap/<Name>.clap (exports only clap_entry) with the editor's
#   images and the libraries it needs in clap/<Name>/ beside it. It needs CLAP_ID (a reverse-DNS
#   id hosts store in projects; never change it) and reads URL. The bundle's path is in the
#   cache as <PREFIX>_CLAP_BUNDLE.
list(APPEND ORVANTA_PLUGIN_FORMATS clap)

function(orvanta_plugin_clap)
  if(NOT TARGET orvanta_clap)
    message(FATAL_ERROR "orvanta_add_plugin(${P_NAME}): FORMATS clap needs ORVANTA_CLAP on")
  endif()
  set(id "${P_CLAP_ID}")
  if(NOT id)
    orvanta_plugin_error("FORMATS clap needs CLAP_ID")
  endif()
  # Hosts write the name into '|'-separated lines.
  if(P_NAME MATCHES "[|\n]")
    message(FATAL_ERROR "orvanta_add_plugin(${P_NAME}): a CLAP name holds no '|' or line break")
  endif()
  set(folder ${PROJECT_BINARY_DIR}/clap)
  set(resources ${folder}/${P_NAME})
  set(${upper_target}_CLAP_BUNDLE ${folder}/${P_NAME}.clap CACHE INTERNAL "")

  set(identity_dir ${CMAKE_CURRENT_BINARY_DIR}/${P_TARGET}_clap_identity)
  set(PLUG_CLAP_ID "${id}")
  set(PLUG_CLAP_NAME "${P_NAME}")
  set(PLUG_CLAP_VENDOR "${P_MAKER}")
  set(PLUG_CLAP_URL "${P_URL}")
  set(PLUG_CLAP_VERSION "${P_VERSION}")
  set(PLUG_CLAP_DESCRIPTION "${P_LV2_COMMENT}")
  set(PLUG_CLAP_RESOURCES "${P_NAME}")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/CLAPPluginIdentity.h.in
    ${identity_dir}/CLAPPluginIdentity.h @ONLY)

  # The bundle carries its editor: the view is made inside the instance the host created.
  orvanta_plugin_effect(${P_TARGET}_effect_clap orvanta_clap ORVANTA_CLAP)
  target_link_libraries(${P_TARGET}_effect_clap PUBLIC orvanta_editor_x11)
  orvanta_plugin_module(${P_TARGET}_clap_bundle ${P_NAME} ${folder}
    ${PROJECT_SOURCE_DIR}/clap/CLAPEntry.cpp)
  set_property(TARGET ${P_TARGET}_clap_bundle PROPERTY ORVANTA_EXPORTS clap_entry)
  target_include_directories(${P_TARGET}_clap_bundle PRIVATE ${identity_dir})
  target_link_libraries(${P_TARGET}_clap_bundle PRIVATE ${P_TARGET}_effect_clap orvanta_clap)
  set_target_properties(${P_TARGET}_clap_bundle PROPERTIES SUFFIX ".clap"
    BUILD_RPATH "$ORIGIN/${P_NAME}" INSTALL_RPATH "$ORIGIN/${P_NAME}")

  add_custom_command(TARGET ${P_TARGET}_clap_bundle POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${resources} VERBATIM)
  if(images)
    add_custom_command(TARGET ${P_TARGET}_clap_bundle POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${images} ${resources}/ VERBATIM)
  endif()
  get_target_property(apple_type orvanta_apple TYPE)
  if(apple_type STREQUAL "SHARED_LIBRARY")
    add_custom_command(TARGET ${P_TARGET}_clap_bundle POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:orvanta_apple> ${resources}/
      VERBATIM)
  endif()
endfunction()
