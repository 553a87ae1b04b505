#pragma once
// The editor drawn without a window: at default values and at each factory preset, as the
// pictures the snapshot command writes and the effect tests compare.

#include <string>
#include <vector>

class Orvanta;

namespace editor_snapshot {

struct View {
  std::string name;  // file name without ".png"
  int preset;        // factory preset to show; -1 for the default values
};

// "default" and one view per factory preset of the effect.
std::vector<View> Views(const Orvanta& plug);

// Makes the bundle at the path known, so that the editor finds its images there. False when
// the folder is no bundle.
bool UseBundle(const char* bundlePath);

// Shows the view's values as a host does (the parameter hooks run, as at initialisation, or
// the preset is restored) and redraws the whole editor into its bitmap. False for a preset
// that cannot be restored or an effect without an editor.
bool DrawView(Orvanta& plug, const View& view);

// Writes the editor's bitmap as an RGBA PNG, at scale 2 pixel-doubled as a high-density screen
// shows it. False, with *error (when given) naming the cause.
bool WriteEditorPng(Orvanta& plug, const char* path, std::string* error = nullptr, int scale = 1);

}  // namespace editor_snapshot
