#pragma once
// Where the editors of one binary find their images by file name when they are given no folder
// of their own. A plug-in's constructor builds its editor, and the editor reads each image's
// size as it is laid out, so the folder must be known before an instance is made; only the
// format's entry knows it, from where the host loaded the bundle (the LV2 bundle folder, the
// VST3 bundle's Contents/Resources, the folder beside the CLAP file). Each bundle's library
// links its own copy of the engine, so this is one bundle's folder even when a host loads
// several plug-ins. Without one, an editor looks in the Resources folder of the bundle with
// its identifier (a component's).

class UTL_String;

// Sets the folder; null or "" clears it. Entries call it before they make an instance.
void SetEditorResourceFolder(const char* folder);
// The folder set last, or "".
void GetEditorResourceFolder(UTL_String* folder);
