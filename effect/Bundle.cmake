# The component bundle, laid out as on the Mac:
#   Orvanta.component/Contents/Info.plist
#   Orvanta.component/Contents/Linux/Orvanta.so   (exports only the entries)
#   Orvanta.component/Contents/Resources/*.png
set(ORVANTA_BUNDLE_DIR ${PROJECT_BINARY_DIR}/Orvanta.component)

add_library(orvanta_component MODULE ${CMAKE_CURRENT_SOURCE_DIR}/OrvantaEntry.cpp)
# The wrapper calls the factory of the effect, which derives from the wrapper.
target_link_libraries(orvanta_component PRIVATE orvanta_au orvanta_effect)

# Everything but the entries stays inside the plug-in, C++ symbols of the framework included.
# Whoever links more into the plug-in that a host must find by name (the view factory) appends
# it: set_property(TARGET orvanta_component APPEND PROPERTY ORVANTA_EXPORTS <name>).
set_property(TARGET orvanta_component PROPERTY ORVANTA_EXPORTS Orvanta_Entry Orvanta_ViewEntry)
set(orvanta_exports ${CMAKE_CURRENT_BINARY_DIR}/Orvanta.exports)
file(GENERATE OUTPUT ${orvanta_exports} CONTENT
  "{\n  global:\n    $<JOIN:$<TARGET_PROPERTY:orvanta_component,ORVANTA_EXPORTS>,;\n    >;\n  local:\n    *;\n};\n")
target_link_options(orvanta_component PRIVATE
  -Wl,--version-script=${orvanta_exports} -Wl,--no-undefined)
set_target_properties(orvanta_component PROPERTIES
  OUTPUT_NAME Orvanta
  PREFIX ""
  SUFFIX ".so"
  LIBRARY_OUTPUT_DIRECTORY ${ORVANTA_BUNDLE_DIR}/Contents/Linux
  LINK_DEPENDS ${orvanta_exports})

# Info.plist: the bundle identity and the AudioComponents entry hosts register the unit under.
# The identity comes from Identity.cmake; the version is the packed one, in decimal.
math(EXPR orvanta_version "${ORVANTA_PLUG_VERSION_PACKED}")
set(orvanta_info_plist ${CMAKE_CURRENT_BINARY_DIR}/Info.plist)
file(CONFIGURE OUTPUT ${orvanta_info_plist} @ONLY CONTENT [=[<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
	<key>CFBundleDevelopmentRegion</key>
	<string>English</string>
	<key>CFBundleExecutable</key>
	<string>@ORVANTA_PLUG_NAME@</string>
	<key>CFBundleIdentifier</key>
	<string>@ORVANTA_PLUG_BUNDLE_ID@</string>
	<key>CFBundleInfoDictionaryVersion</key>
	<string>6.0</string>
	<key>CFBundleName</key>
	<string>@ORVANTA_PLUG_NAME@</string>
	<key>CFBundlePackageType</key>
	<string>BNDL</string>
	<key>CFBundleShortVersionString</key>
	<string>@ORVANTA_PLUG_VERSION@</string>
	<key>CFBundleSignature</key>
	<string>@ORVANTA_PLUG_MAKER_ID@</string>
	<key>CFBundleVersion</key>
	<string>@ORVANTA_PLUG_VERSION@</string>
	<key>AudioComponents</key>
	<array>
		<dict>
			<key>description</key>
			<string>@ORVANTA_PLUG_NAME@</string>
			<key>factoryFunction</key>
			<string>@ORVANTA_PLUG_NAME@_Entry</string>
			<key>manufacturer</key>
			<string>@ORVANTA_PLUG_MAKER_ID@</string>
			<key>name</key>
			<string>@ORVANTA_PLUG_MAKER@: @ORVANTA_PLUG_NAME@</string>
			<key>subtype</key>
			<string>@ORVANTA_PLUG_UNIQUE_ID@</string>
			<key>type</key>
			<string>@ORVANTA_PLUG_TYPE@</string>
			<key>version</key>
			<integer>@orvanta_version@</integer>
		</dict>
	</array>
</dict>
</plist>
]=])

file(GLOB orvanta_images ${PROJECT_SOURCE_DIR}/resources/img/*.png)
add_custom_command(TARGET orvanta_component POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ORVANTA_BUNDLE_DIR}/Contents/Resources
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${orvanta_info_plist} ${ORVANTA_BUNDLE_DIR}/Contents/Info.plist
  VERBATIM)
if(orvanta_images)
  add_custom_command(TARGET orvanta_component POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${orvanta_images} ${ORVANTA_BUNDLE_DIR}/Contents/Resources/
    VERBATIM)
endif()
