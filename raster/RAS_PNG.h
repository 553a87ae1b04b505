#pragma once
// PNG decoding into bitmaps. Pixels arrive as decoded, not premultiplied: alpha (255 where
// the image has no transparency), red, green, blue, 8 bits each.
//
// Each loader returns the bitmap passed in (resized and filled) or, when bmp is null, a new
// RAS_MemBitmap owned by the caller; null on any failure.

#include "raster/RAS_Bitmap.h"

RAS_IBitmap* RAS_LoadPNG(const char* filename, RAS_IBitmap* bmp = nullptr);
RAS_IBitmap* RAS_LoadPNGFromMemory(const void* data, int length, RAS_IBitmap* bmp = nullptr);
// Loads a file from the Resources folder of the application's main bundle.
RAS_IBitmap* RAS_LoadPNGFromNamedResource(const char* name, RAS_IBitmap* bmp = nullptr);
// Resource IDs are not supported on this platform: always null.
RAS_IBitmap* RAS_LoadPNGFromResource(void* instance, int resourceId, RAS_IBitmap* bmp = nullptr);

// Where the application's main bundle lies: the platform layer installs a function that
// writes the bundle's file-system path into buf (at most size bytes including the NUL) and
// returns false when there is no bundle. Without one, named resources are not found.
typedef bool (*RAS_MainBundlePathFunc)(char* buf, int size);
void RAS_SetMainBundlePathFunc(RAS_MainBundlePathFunc func);

// Image loaders, registered at program start in a list keyed by file extension.
class RAS_ImageLoader {
 public:
  virtual ~RAS_ImageLoader() {}
  // Loads filename into bmp (or a new bitmap); with checkFileName, only files whose
  // extension the loader handles.
  virtual RAS_IBitmap* loadfunc(const char* filename, bool checkFileName, RAS_IBitmap* bmp) = 0;
  // Double-zero-terminated list of description and pattern pairs.
  virtual const char* get_extlist() = 0;

  RAS_ImageLoader* _next = nullptr;
};

// Head of the registered loaders, most recently registered first.
extern RAS_ImageLoader* RAS_ImageLoader_list;

class RAS_PNGLoader : public RAS_ImageLoader {
 public:
  RAS_PNGLoader();  // pushes itself onto the front of RAS_ImageLoader_list
  RAS_IBitmap* loadfunc(const char* filename, bool checkFileName, RAS_IBitmap* bmp) override;
  const char* get_extlist() override;
};

extern RAS_PNGLoader RAS_pngldr;
