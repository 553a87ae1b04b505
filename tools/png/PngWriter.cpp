#include "tools/png/PngWriter.h"

#include <png.h>

#include <csetjmp>
#include <string>
#include <vector>

#include "host/SafeFileWriter.h"

namespace {

void Append(png_structp png, png_bytep data, png_size_t size) {
  auto* bytes = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
  bytes->insert(bytes->end(), data, data + size);
}

// Encodes the bitmap into bytes; false when libpng reports an error.
bool Encode(RAS_IBitmap* bitmap, std::vector<unsigned char>* bytes,
            const PngWriteOptions& options) {
  const int w = bitmap->getWidth(), h = bitmap->getHeight();
  const int channels = options.alpha ? 4 : 3;
  std::vector<png_byte> row(size_t(w) * channels);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, bytes, Append, nullptr);
  png_set_IHDR(png, info, w, h, 8, options.alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // Left alone unless asked, so that files written at the default stay byte-identical.
  if (options.compressionLevel != kPngDefaultCompression)
    png_set_compression_level(png, options.compressionLevel);
  png_write_info(png, info);
  const RAS_pixel* bits = bitmap->getBits();
  const size_t span = size_t(bitmap->getRowSpan());
  for (int y = 0; y < h; ++y) {
    const RAS_pixel* src = bits + span * size_t(bitmap->isFlipped() ? h - 1 - y : y);
    png_byte* out = row.data();
    for (int x = 0; x < w; ++x, out += channels) {
      out[0] = png_byte(RAS_GETR(src[x]));
      out[1] = png_byte(RAS_GETG(src[x]));
      out[2] = png_byte(RAS_GETB(src[x]));
      if (options.alpha) out[3] = png_byte(RAS_GETA(src[x]));
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WritePng(RAS_IBitmap* bitmap, const char* path, const PngWriteOptions& options,
              std::string* error) {
  std::string ignored;
  std::string& failure = error ? *error : ignored;
  if (!bitmap || !path || !bitmap->getBits() || bitmap->getWidth() <= 0 ||
      bitmap->getHeight() <= 0) {
    failure = std::string(path ? path : "") + ": no picture to write";
    return false;
  }
  std::vector<unsigned char> bytes;
  if (!Encode(bitmap, &bytes, options)) {
    failure = std::string(path) + ": the picture cannot be encoded";
    return false;
  }
  return WriteFileSafely(path, bytes.data(), bytes.size(), &failure);
}
