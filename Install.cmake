# What `make install` puts where (PREFIX and DESTDIR honoured):
#   bin/orvanta                                the command-line host
#   lib/orvanta/Orvanta.component/             the component bundle, where the tool looks first
#   lib/orvanta/liborvanta_apple.so            the Apple-service stand-ins the two share
#   lib/lv2/orvanta.lv2/                       the LV2 bundle (carries its own stand-ins)
#   lib/vst3/Orvanta.vst3/                     the VST3 bundle (carries its own stand-ins)
# Three install components: "tool" (the first three), "lv2" and "vst3", so that a per-user
# install can put them in different places.
set(orvanta_component_dir lib/orvanta/Orvanta.component)

install(TARGETS orvanta_apple LIBRARY DESTINATION lib/orvanta COMPONENT tool)

# The plug-in finds the stand-ins three folders up: lib/orvanta.
set_target_properties(orvanta_component PROPERTIES INSTALL_RPATH "$ORIGIN/../../..")
install(TARGETS orvanta_component LIBRARY DESTINATION ${orvanta_component_dir}/Contents/Linux
  COMPONENT tool)
install(FILES ${ORVANTA_AU_BUNDLE_DIR}/Contents/Info.plist
  DESTINATION ${orvanta_component_dir}/Contents COMPONENT tool)
install(DIRECTORY ${ORVANTA_AU_BUNDLE_DIR}/Contents/Resources
  DESTINATION ${orvanta_component_dir}/Contents COMPONENT tool)

set_target_properties(orvanta PROPERTIES INSTALL_RPATH "$ORIGIN/../lib/orvanta")
install(TARGETS orvanta RUNTIME DESTINATION bin COMPONENT tool)

if(ORVANTA_LV2)
  install(TARGETS orvanta_lv2_dsp orvanta_lv2_ui LIBRARY DESTINATION lib/lv2/orvanta.lv2
    COMPONENT lv2)
  install(TARGETS orvanta_apple LIBRARY DESTINATION lib/lv2/orvanta.lv2 COMPONENT lv2)
  install(DIRECTORY ${ORVANTA_LV2_BUNDLE_DIR}/ DESTINATION lib/lv2/orvanta.lv2
    COMPONENT lv2 FILES_MATCHING PATTERN "*.ttl" PATTERN "*.png")
endif()

set(orvanta_vst3_dir lib/vst3/Orvanta.vst3/Contents)
install(TARGETS orvanta_vst3_module orvanta_apple
  LIBRARY DESTINATION ${orvanta_vst3_dir}/x86_64-linux COMPONENT vst3)
install(DIRECTORY ${ORVANTA_VST3_BUNDLE_DIR}/Contents/Resources DESTINATION ${orvanta_vst3_dir}
  COMPONENT vst3)
