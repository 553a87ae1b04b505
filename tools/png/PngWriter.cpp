#include "tools/png/PngWriter.h"

#include <fcntl.h>
#include <png.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Creates a new file beside path for the picture to be written to; null if none can be made.
FILE* CreateTemporary(const std::string& path, std::string* temporary) {
  static std::atomic<unsigned> serial{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    *temporary = path + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(serial++);
    // O_EXCL: never write through a file someone else made; 0666 lets the umask decide, as
    // for any file the tools create.
    int fd = open(temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return nullptr;
    }
    FILE* file = fdopen(fd, "wb");
    if (!file) {
      close(fd);
      unlink(temporary->c_str());
    }
    return file;
  }
  return nullptr;
}

// Encodes the bitmap into file; false when libpng reports an error (a failed write among them).
bool Encode(RAS_IBitmap* bitmap, FILE* file, const PngWriteOptions& options) {
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
  png_init_io(png, file);
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

bool WritePng(RAS_IBitmap* bitmap, const char* path, const PngWriteOptions& options) {
  if (!bitmap || !path || !bitmap->getBits() || bitmap->getWidth() <= 0 || bitmap->getHeight() <= 0)
    return false;
  std::string temporary;
  FILE* file = CreateTemporary(path, &temporary);
  if (!file) return false;
  bool ok = Encode(bitmap, file, options);
  // A full disk may show only when the last buffered bytes go out.
  ok = std::fclose(file) == 0 && ok;
  if (ok && std::rename(temporary.c_str(), path) == 0) return true;
  std::remove(temporary.c_str());
  return false;
}
