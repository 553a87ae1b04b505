#pragma once
// Where the editors of one binary find their images by file name when they are given no folder
// of their own. A plug-in builds its editor in its constructor or when a host first asks for a
// view, with nothing but its bundle identifier at hand, and laying the editor out reads each
// image's size; only the format's entry knows the folder, from where the host loaded the
// bundle (the LV2 bundle folder, the VST3 bundle's Contents/Resources, the folder beside the
// CLAP file), and sets it before it makes an instance. Each bundle's library
// links its own copy of the engine, so this is one bundle's folder even when a host loads
// several plug-ins. Without one, an editor looks in the Resources folder of the bundle with
// its identifier (a component's).

class UTL_String;

// Sets the folder; null or "" clears it. Entries call it before they make an instance.
void SetEditorResourceFolder(const char* folder);
// The folder set last, or "".
void GetEditorResourceFolder(UTL_String* folder);
