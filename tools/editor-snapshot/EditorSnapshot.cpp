#include "tools/editor-snapshot/EditorSnapshot.h"

#include <CoreFoundation/CoreFoundation.h>

#include <cstring>

#include "effect/Orvanta.h"
#include "platform/x11/PixelDoubling.h"
#include "raster/Raster.h"
#include "tools/png/PngWriter.h"

namespace editor_snapshot {

std::vector<View> Views(const Orvanta& plug) {
  std::vector<View> views = {{"default", -1}};
  for (int i = 0; i < plug.NPresets(); ++i) {
    // "Stereo Enhance" becomes "preset1-stereo-enhance".
    std::string name = "preset" + std::to_string(i) + "-";
    for (const char* c = plug.GetPresetName(i); c && *c; ++c)
      name += (*c >= 'A' && *c <= 'Z') ? char(*c - 'A' + 'a') : (*c == ' ' ? '-' : *c);
    views.push_back({name, i});
  }
  return views;
}

bool UseBundle(const char* bundlePath) {
  CFURLRef url = CFURLCreateFromFileSystemRepresentation(nullptr, (const UInt8*)bundlePath,
                                                         (CFIndex)std::strlen(bundlePath), true);
  if (!url) return false;
  CFBundleRef bundle = CFBundleCreate(nullptr, url);
  CFRelease(url);
  return bundle && CFBundleGetIdentifier(bundle);
}

bool DrawView(Orvanta& plug, const View& view) {
  IGraphics* graphics = plug.GetGUI();
  if (!graphics) return false;
  if (view.preset < 0) {
    for (int i = 0; i < plug.NParams(); ++i) {
      IParam* param = plug.GetParam(i);
      param->Set(param->GetDefault());
      graphics->SetParameterFromPlug(i, param->Value(), false);
    }
    plug.OnParamReset();
  } else if (!plug.RestorePreset(view.preset)) {
    return false;
  }
  graphics->SetAllControlsDirty();
  IRECT all(0, 0, graphics->Width(), graphics->Height());
  graphics->Draw(&all);  // no window: the screen copy is skipped
  return true;
}

bool WriteEditorPng(Orvanta& plug, const char* path, std::string* error, int scale) {
  IGraphics* graphics = plug.GetGUI();
  if (scale == 2 && graphics && graphics->GetDrawBitmap()) {
    RAS_IBitmap* bitmap = graphics->GetDrawBitmap();
    RAS_MemBitmap doubled(2 * bitmap->getWidth(), 2 * bitmap->getHeight());
    if (!doubled.getBits()) {
      if (error) *error = std::string(path) + ": no memory for the doubled picture";
      return false;
    }
    viewrules::DoublePixels(bitmap->getBits(), bitmap->getRowSpan(), bitmap->getWidth(),
                            bitmap->getHeight(), doubled.getBits(), doubled.getRowSpan());
    return WritePng(&doubled, path, {}, error);
  }
  // The smallest files, as the artwork: these pictures are committed.
  return graphics && graphics->GetDrawBitmap() &&
         WritePng(graphics->GetDrawBitmap(), path, {.compressionLevel = kPngBestCompression},
                  error);
}

}  // namespace editor_snapshot
