// The Orvanta editor's images, as the effect's layout names them.

#include <mutex>
#include <string>

#include "effect/Orvanta.h"
#include "effect/OrvantaGraphics.h"
#include "graphics/Graphics.h"
#include "lv2/LV2Resources.h"
#include "raster/Raster.h"

namespace {

struct EditorImage {
  int mID;
  const char* mName;
};

using namespace orvanta_editor;
constexpr EditorImage kImages[] = {{kBackgroundID, kBackgroundFile},
                                   {kKnobID, kKnobFile},
                                   {kFaderCapID, kFaderCapFile},
                                   {kFontID, kFontFile}};

// The bundle holds the images flat, under the last component of their resource names.
std::string ImagePath(const char* bundlePath, const char* name) {
  std::string path = bundlePath;
  if (path.empty() || path.back() != '/') path += '/';
  const std::string file = name;
  const size_t slash = file.rfind('/');
  return path + (slash == std::string::npos ? file : file.substr(slash + 1));
}

}  // namespace

int LV2CacheEditorImages(const char* bundlePath) {
  // The audio instance and the editor may be made on two threads of one process.
  static std::mutex sLock;
  std::lock_guard<std::mutex> lock(sLock);
  BitmapStorage& storage = GetBitmapStorage();
  int cached = 0;
  for (const EditorImage& image : kImages) {
    if (!image.mName) continue;
    if (!storage.Find(image.mID) && bundlePath) {
      RAS_IBitmap* bitmap = RAS_DeferredPNG::Open(ImagePath(bundlePath, image.mName).c_str());
      if (bitmap) storage.Add(bitmap, image.mID);
    }
    if (storage.Find(image.mID)) ++cached;
  }
  return cached;
}

int LV2EditorImageCount() {
  int n = 0;
  for (const EditorImage& image : kImages) n += image.mName ? 1 : 0;
  return n;
}
