# The Audio Unit part of orvanta_add_plugin (cmake/OrvantaPlugin.cmake): <prefix>_effect
# (static: SOURCES on the Audio Unit wrapper, ORVANTA_AU defined) and <prefix>_component, the
# bundle build/au/<Name>.component/Contents/{Info.plist, Linux/<Name>.so, Resources/*.png};
# the .so exports only <Name>_Entry and <Name>_ViewEntry (append more to the target's
# ORVANTA_EXPORTS property), defined by AU_ENTRY or else by <Name>Entry.cpp, generated from
# cmake/AUEntry.cpp.in. The bundle's folder is in the cache as <PREFIX>_AU_BUNDLE_DIR.
list(APPEND ORVANTA_PLUGIN_FORMATS au)

function(orvanta_plugin_au)
  set(bundle ${PROJECT_BINARY_DIR}/au/${P_NAME}.component)
  set(${upper_target}_AU_BUNDLE_DIR ${bundle} CACHE INTERNAL "")
  # The component carries its editor: the view is made inside the unit the host opened.
  orvanta_plugin_effect(${P_TARGET}_effect orvanta_au ORVANTA_AU)
  target_link_libraries(${P_TARGET}_effect PUBLIC orvanta_editor_x11)
  if(P_AU_ENTRY)
    set(entry ${CMAKE_CURRENT_SOURCE_DIR}/${P_AU_ENTRY})
  else()
    set(entry ${generated_dir}/${P_NAME}Entry.cpp)
    set(PLUG_NAME ${P_NAME})
    set(PLUG_IDENTITY_HEADER ${P_IDENTITY_HEADER})
    set(PLUG_NAMESPACE ${P_IDENTITY_NAMESPACE})
    configure_file(${PROJECT_SOURCE_DIR}/cmake/AUEntry.cpp.in ${entry} @ONLY)
  endif()
  orvanta_plugin_module(${P_TARGET}_component ${P_NAME} ${bundle}/Contents/Linux ${entry})
  # The wrapper calls the factory of the effect, which derives from the wrapper.
  target_link_libraries(${P_TARGET}_component PRIVATE orvanta_au ${P_TARGET}_effect)
  set_property(TARGET ${P_TARGET}_component PROPERTY ORVANTA_EXPORTS
    ${P_NAME}_Entry ${P_NAME}_ViewEntry)
  # Info.plist names the entry <Name>_Entry: an entry file that defines another name fails the
  # link, not the first load in a host.
  target_link_options(${P_TARGET}_component PRIVATE
    -Wl,--require-defined=${P_NAME}_Entry -Wl,--require-defined=${P_NAME}_ViewEntry)

  # Info.plist: the bundle identity and the AudioComponents entry hosts register the unit
  # under; the version is the packed one, in decimal.
  foreach(key NAME MAKER TYPE UNIQUE_ID MAKER_ID VERSION BUNDLE_ID)
    set(PLUG_${key} "${P_${key}}")
  endforeach()
  math(EXPR plug_version "${packed_version}")
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
endfunction()
