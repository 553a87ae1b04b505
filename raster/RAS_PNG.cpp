#include "raster/RAS_PNG.h"

#include <png.h>
#include <strings.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

RAS_ImageLoader* RAS_ImageLoader_list = nullptr;

namespace {

// Bytes still to be read from a memory block.
struct MemSource {
  const unsigned char* next;
  int left;
};

// A read past the end is an error, as it is for files: handing out zeros instead would let
// a chunk that claims gigabytes be read or skipped byte by byte before any check fails.
void staticPngReadFunc(png_structp png, png_bytep out, png_size_t n) {
  MemSource* src = static_cast<MemSource*>(png_get_io_ptr(png));
  if (n > size_t(src->left)) png_error(png, "Read past the end of the data");
  memcpy(out, src->next, n);
  src->next += n;
  src->left -= int(n);
}

// Requests the transformations that turn every colour type into one pixel word per pixel:
// alpha (or a 255 filler), then red, green, blue.
void requestPixelWords(png_structp png, png_infop info, int colorType, int bitDepth) {
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) {
    png_set_tRNS_to_alpha(png);
    colorType |= PNG_COLOR_MASK_ALPHA;
  }
  if (bitDepth == 16) png_set_strip_16(png);
  if (bitDepth < 8) png_set_packing(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(png);
  if (colorType & PNG_COLOR_MASK_ALPHA)
    png_set_swap_alpha(png);
  else
    png_set_filler(png, 0xff, PNG_FILLER_BEFORE);
}

// Decodes an image whose source is already attached to png. A libpng error long-jumps back
// here; nothing with a destructor may live in this frame, and the locals that change after
// setjmp are volatile so their values survive the jump.
RAS_IBitmap* decode(png_structp png, png_infop info, RAS_IBitmap* bmp) {
  RAS_IBitmap* volatile created = nullptr;
  png_bytep* volatile rows = nullptr;
  if (setjmp(*png_set_longjmp_fn(png, longjmp, sizeof(jmp_buf)))) {
    free(rows);
    delete created;
    return nullptr;
  }

  // Ancillary chunks that decoding into pixel words never uses are skipped unread: libpng
  // would otherwise allocate and clear whatever size a text or profile chunk claims.
  static const png_byte kIgnored[] =
      "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf\0pCAL\0sCAL\0hIST\0tIME\0bKGD\0cHRM\0gAMA\0sRGB\0"
      "sBIT\0oFFs\0pHYs";
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kIgnored, int(sizeof kIgnored / 5));
  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colorType = 0, interlace = 0, compression = 0, filter = 0;
  png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, &interlace, &compression,
               &filter);
  requestPixelWords(png, info, colorType, bitDepth);

  // libpng refuses dimensions beyond 2^31 - 1, so both fit an int.
  const int w = int(width), h = int(height);
  RAS_IBitmap* target = bmp;
  if (target) {
    target->resize(w, h);
  } else {
    target = new (std::nothrow) RAS_MemBitmap(w, h, 4);
    if (!target) return nullptr;
    created = target;
  }
  if (target->getWidth() != w || target->getHeight() != h || !target->getBits()) {
    delete created;
    return nullptr;
  }

  rows = static_cast<png_bytep*>(malloc(sizeof(png_bytep) * size_t(h)));
  if (!rows) {
    delete created;
    return nullptr;
  }
  const bool flipped = target->isFlipped();
  RAS_pixel* const bits = target->getBits();
  const long long span = target->getRowSpan();
  for (int i = 0; i < h; ++i) {
    const long long row = flipped ? h - 1 - i : i;
    rows[i] = reinterpret_cast<png_bytep>(bits + row * span);
  }
  png_read_image(png, rows);
  free(rows);
  return target;
}

png_structp createReader() {
  // No custom handlers: libpng reports through its defaults and recovers by long jump.
  return png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
}

RAS_MainBundlePathFunc gMainBundlePath = nullptr;

}  // namespace

RAS_IBitmap* RAS_LoadPNG(const char* filename, RAS_IBitmap* bmp) {
  if (!filename) return nullptr;
  FILE* fp = fopen(filename, "rb");
  if (!fp) return nullptr;
  png_structp png = createReader();
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  RAS_IBitmap* result = nullptr;
  if (info) {
    png_init_io(png, fp);
    result = decode(png, info, bmp);
  }
  png_destroy_read_struct(png ? &png : nullptr, info ? &info : nullptr, nullptr);
  fclose(fp);
  return result;
}

RAS_IBitmap* RAS_LoadPNGFromMemory(const void* data, int length, RAS_IBitmap* bmp) {
  if (!data || length < 8 || png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8)) return nullptr;
  png_structp png = createReader();
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  RAS_IBitmap* result = nullptr;
  if (info) {
    MemSource src = {static_cast<const unsigned char*>(data), length};
    png_set_read_fn(png, &src, staticPngReadFunc);
    result = decode(png, info, bmp);
  }
  png_destroy_read_struct(png ? &png : nullptr, info ? &info : nullptr, nullptr);
  return result;
}

void RAS_SetMainBundlePathFunc(RAS_MainBundlePathFunc func) { gMainBundlePath = func; }

RAS_IBitmap* RAS_LoadPNGFromNamedResource(const char* name, RAS_IBitmap* bmp) {
  constexpr size_t kMaxName = 400, kMaxBundlePath = 1536;
  if (!name || strlen(name) > kMaxName) return nullptr;
  char path[2048];
  if (!gMainBundlePath || !gMainBundlePath(path, int(kMaxBundlePath))) return nullptr;
  path[kMaxBundlePath - 1] = 0;
  if (!path[0]) return nullptr;
  strcat(path, "/Contents/Resources/");
  strcat(path, name);
  return RAS_LoadPNG(path, bmp);
}

RAS_IBitmap* RAS_LoadPNGFromResource(void*, int, RAS_IBitmap*) { return nullptr; }

RAS_PNGLoader::RAS_PNGLoader() {
  _next = RAS_ImageLoader_list;
  RAS_ImageLoader_list = this;
}

RAS_IBitmap* RAS_PNGLoader::loadfunc(const char* filename, bool checkFileName, RAS_IBitmap* bmp) {
  if (!filename) return nullptr;
  if (checkFileName) {
    const char* ext = filename + strlen(filename);
    while (ext > filename && *ext != '.' && *ext != '/' && *ext != '\\') --ext;
    if (strcasecmp(ext, ".png")) return nullptr;
  }
  return RAS_LoadPNG(filename, bmp);
}

const char* RAS_PNGLoader::get_extlist() { return "PNG files (*.PNG)\0*.PNG\0"; }

RAS_PNGLoader RAS_pngldr;
