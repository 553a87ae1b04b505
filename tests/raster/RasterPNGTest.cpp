#include <gtest/gtest.h>
#include <malloc.h>
#include <png.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "raster/Raster.h"
#include "raster/RasterTestUtil.h"
#include "support/RandomRun.h"

namespace {

using raster_test::At;
using raster_test::FlippedBitmap;
using raster_test::Rng;
using Bytes = std::vector<unsigned char>;

// ---- Writing test images with libpng ----

struct Image {
  int w = 0, h = 0;
  int colorType = PNG_COLOR_TYPE_RGB;
  int bitDepth = 8;
  bool interlace = false;
  std::vector<png_color> palette;
  std::vector<unsigned char> trnsAlpha;  // palette transparency
  bool hasTrnsColor = false;
  png_color_16 trnsColor = {};
  std::vector<Bytes> rows;  // packed as the colour type and depth say
};

void WriteToVector(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

Bytes Encode(const Image& im) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    ADD_FAILURE() << "encoding failed";
    return {};
  }
  png_set_write_fn(png, &out, WriteToVector, nullptr);
  png_set_IHDR(png, info, im.w, im.h, im.bitDepth, im.colorType,
               im.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!im.palette.empty()) png_set_PLTE(png, info, im.palette.data(), int(im.palette.size()));
  if (!im.trnsAlpha.empty())
    png_set_tRNS(png, info, im.trnsAlpha.data(), int(im.trnsAlpha.size()), nullptr);
  if (im.hasTrnsColor) png_set_tRNS(png, info, nullptr, 0, &im.trnsColor);
  png_write_info(png, info);
  if (im.bitDepth == 16) png_set_swap(png);  // rows below are little-endian 16-bit samples
  std::vector<png_bytep> ptrs;
  for (const Bytes& r : im.rows) ptrs.push_back(const_cast<png_bytep>(r.data()));
  png_write_image(png, ptrs.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

// An 8-bit RGBA picture with varied pixels, optionally interlaced.
Image Rgba8(int w, int h, bool interlace = false) {
  Image im;
  im.w = w, im.h = h, im.colorType = PNG_COLOR_TYPE_RGB_ALPHA, im.interlace = interlace;
  for (int y = 0; y < h; ++y) {
    Bytes row;
    for (int x = 0; x < w; ++x) {
      row.push_back((unsigned char)(x * 20 + y));
      row.push_back((unsigned char)(y * 30 + 7));
      row.push_back((unsigned char)(x * y + 100));
      row.push_back((unsigned char)(255 - x * 9 - y));
    }
    im.rows.push_back(row);
  }
  return im;
}
RAS_pixel Rgba8Pixel(int x, int y) {
  return RAS_RGBA(x * 20 + y, y * 30 + 7, x * y + 100, 255 - x * 9 - y);
}

std::string TempPath(const std::string& name) {
  char dir[] = "/tmp/raster_png_XXXXXX";
  static std::string base = mkdtemp(dir);
  return base + "/" + name;
}

void WriteFile(const std::string& path, const Bytes& data) {
  FILE* f = fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  fwrite(data.data(), 1, data.size(), f);
  fclose(f);
}

RAS_IBitmap* LoadMem(const Bytes& data, RAS_IBitmap* bmp = nullptr) {
  return RAS_LoadPNGFromMemory(data.data(), int(data.size()), bmp);
}

// ---- Decoding every colour type ----

TEST(RasterPNG, RgbAndRgbaEightBit) {
  Image rgb;
  rgb.w = 2, rgb.h = 2;
  rgb.rows = {{1, 2, 3, 4, 5, 6}, {250, 251, 252, 0, 0, 0}};
  RAS_IBitmap* bm = LoadMem(Encode(rgb));
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(bm->getWidth(), 2);
  EXPECT_EQ(bm->getHeight(), 2);
  EXPECT_EQ(bm->getRowSpan(), 4);  // a new bitmap pads rows to 4 pixels
  EXPECT_EQ(At(*bm, 0, 0), RAS_RGBA(1, 2, 3, 255));
  EXPECT_EQ(At(*bm, 1, 0), RAS_RGBA(4, 5, 6, 255));
  EXPECT_EQ(At(*bm, 0, 1), RAS_RGBA(250, 251, 252, 255));
  EXPECT_EQ(At(*bm, 1, 1), RAS_RGBA(0, 0, 0, 255));
  delete bm;

  bm = LoadMem(Encode(Rgba8(5, 3)));
  ASSERT_NE(bm, nullptr);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(At(*bm, x, y), Rgba8Pixel(x, y));
  delete bm;
}

TEST(RasterPNG, SixteenBitRgbaKeepsHighBytes) {
  Image im;
  im.w = 2, im.h = 1, im.colorType = PNG_COLOR_TYPE_RGB_ALPHA, im.bitDepth = 16;
  // Little-endian samples: red 0x12ab, green 0xff00, blue 0x00ff, alpha 0x8001; then 0xffff x4.
  im.rows = {
      {0xab, 0x12, 0x00, 0xff, 0xff, 0x00, 0x01, 0x80, 255, 255, 255, 255, 255, 255, 255, 255}};
  RAS_IBitmap* bm = LoadMem(Encode(im));
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(At(*bm, 0, 0), RAS_RGBA(0x12, 0xff, 0x00, 0x80));
  EXPECT_EQ(At(*bm, 1, 0), 0xffffffffu);
  delete bm;
}

TEST(RasterPNG, PaletteWithAndWithoutTransparency) {
  Image im;
  im.w = 4, im.h = 1, im.colorType = PNG_COLOR_TYPE_PALETTE, im.bitDepth = 8;
  im.palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
  im.rows = {{0, 1, 2, 1}};
  RAS_IBitmap* bm = LoadMem(Encode(im));
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(At(*bm, 0, 0), RAS_RGBA(10, 20, 30, 255));
  EXPECT_EQ(At(*bm, 2, 0), RAS_RGBA(70, 80, 90, 255));
  delete bm;

  // Entries beyond the tRNS list are opaque.
  im.trnsAlpha = {0, 128};
  bm = LoadMem(Encode(im));
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(At(*bm, 0, 0), RAS_RGBA(10, 20, 30, 0));
  EXPECT_EQ(At(*bm, 1, 0), RAS_RGBA(40, 50, 60, 128));
  EXPECT_EQ(At(*bm, 2, 0), RAS_RGBA(70, 80, 90, 255));
  delete bm;

  // Packed 2-bit indices.
  im.bitDepth = 2;
  im.rows = {{0b00011001}};  // 0, 1, 2, 1
  bm = LoadMem(Encode(im));
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(At(*bm, 1, 0), RAS_RGBA(40, 50, 60, 128));
  EXPECT_EQ(At(*bm, 2, 0), RAS_RGBA(70, 80, 90, 255));
  delete bm;
}

TEST(RasterPNG, GreyscaleDepthsAndTransparentLevel) {
  Image im;
  im.w = 10, im.h = 1, im.colorType = PNG_COLOR_TYPE_GRAY, im.bitDepth = 1;
  im.rows = {{0b10110000, 0b01000000}};
  RAS_IBitmap* bm = LoadMem(Encode(im));
  ASSERT_NE(bm, nullptr);
  const int bits[10] = {1, 0, 1, 1, 0, 0, 0, 0, 0, 1};
  for (int x = 0; x < 10; ++x)
    EXPECT_EQ(At(*bm, x, 0), bits[x] ? 0xffffffffu : RAS_RGBA(0, 0, 0, 255)) << x;
  delete bm;

  // 4-bit levels expand by repetition: 0x5 -> 0x55.
  im.bitDepth = 4;
  im.w = 2;
  im.rows = {{0x5f}};
  bm = LoadMem(Encode(im));
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(At(*bm, 0, 0), RAS_RGBA(0x55, 0x55, 0x55, 255));
  EXPECT_EQ(At(*bm, 1, 0), 0xffffffffu);
  delete bm;

  im.bitDepth = 8;
  im.w = 3;
  im.rows = {{7, 99, 200}};
  im.hasTrnsColor = true;
  im.trnsColor.gray = 99;
  bm = LoadMem(Encode(im));
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(At(*bm, 0, 0), RAS_RGBA(7, 7, 7, 255));
  EXPECT_EQ(At(*bm, 1, 0), RAS_RGBA(99, 99, 99, 0));
  EXPECT_EQ(At(*bm, 2, 0), RAS_RGBA(200, 200, 200, 255));
  delete bm;

  Image ga;
  ga.w = 2, ga.h = 1, ga.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
  ga.rows = {{30, 40, 250, 0}};
  bm = LoadMem(Encode(ga));
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(At(*bm, 0, 0), RAS_RGBA(30, 30, 30, 40));
  EXPECT_EQ(At(*bm, 1, 0), RAS_RGBA(250, 250, 250, 0));
  delete bm;
}

TEST(RasterPNG, InterlacedImagesAreAssembled) {
  const Bytes data = Encode(Rgba8(11, 9, true));
  RAS_IBitmap* bm = LoadMem(data);
  ASSERT_NE(bm, nullptr);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 11; ++x) ASSERT_EQ(At(*bm, x, y), Rgba8Pixel(x, y)) << x << "," << y;
  delete bm;
}

// ---- Targets, files and names ----

TEST(RasterPNG, FilesResizeGivenBitmapsAndHonourFlippedRows) {
  const std::string path = TempPath("img.png");
  WriteFile(path, Encode(Rgba8(20, 30)));
  RAS_MemBitmap bm(10, 10, 4);
  EXPECT_EQ(RAS_LoadPNG(path.c_str(), &bm), &bm);
  EXPECT_EQ(bm.getWidth(), 20);
  EXPECT_EQ(bm.getHeight(), 30);
  EXPECT_EQ(At(bm, 19, 29), Rgba8Pixel(19, 29));

  const Bytes small = Encode(Rgba8(3, 4));
  WriteFile(path, small);
  FlippedBitmap fromFile(1, 1), fromMemory(1, 1);
  ASSERT_EQ(RAS_LoadPNG(path.c_str(), &fromFile), &fromFile);
  ASSERT_EQ(LoadMem(small, &fromMemory), &fromMemory);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(fromFile.mem(x, 3 - y), Rgba8Pixel(x, y));
      EXPECT_EQ(fromMemory.mem(x, 3 - y), Rgba8Pixel(x, y));
    }
  }

  EXPECT_EQ(RAS_LoadPNG(TempPath("missing.png").c_str(), nullptr), nullptr);
  EXPECT_EQ(RAS_LoadPNG(nullptr, nullptr), nullptr);
  EXPECT_EQ(RAS_LoadPNGFromResource(nullptr, 101, nullptr), nullptr);
}

TEST(RasterPNG, LoaderRegistrationChecksTheExtension) {
  bool found = false;
  for (RAS_ImageLoader* l = RAS_ImageLoader_list; l; l = l->_next) found |= l == &RAS_pngldr;
  EXPECT_TRUE(found);
  const char* ext = RAS_pngldr.get_extlist();
  EXPECT_STREQ(ext, "PNG files (*.PNG)");
  EXPECT_STREQ(ext + strlen(ext) + 1, "*.PNG");
  EXPECT_EQ(ext[strlen(ext) + 1 + strlen("*.PNG") + 1], '\0');

  const Bytes data = Encode(Rgba8(2, 2));
  const std::string upper = TempPath("pic.PNG"), jpg = TempPath("pic.jpg"),
                    noext = TempPath("png.dir/pic"), dotdir = TempPath("x.png/pic");
  WriteFile(upper, data);
  WriteFile(jpg, data);
  mkdir(TempPath("x.png").c_str(), 0700);
  WriteFile(dotdir, data);
  RAS_IBitmap* bm = RAS_pngldr.loadfunc(upper.c_str(), true, nullptr);
  EXPECT_NE(bm, nullptr);
  delete bm;
  EXPECT_EQ(RAS_pngldr.loadfunc(jpg.c_str(), true, nullptr), nullptr);
  EXPECT_EQ(RAS_pngldr.loadfunc(dotdir.c_str(), true, nullptr), nullptr);  // tail is "/pic"
  bm = RAS_pngldr.loadfunc(jpg.c_str(), false, nullptr);
  EXPECT_NE(bm, nullptr);
  delete bm;
  EXPECT_EQ(RAS_pngldr.loadfunc(nullptr, true, nullptr), nullptr);
}

std::string gBundle;
bool TestBundle(char* buf, int size) {
  if (gBundle.size() + 1 > size_t(size)) return false;
  strcpy(buf, gBundle.c_str());
  return true;
}

TEST(RasterPNG, NamedResourcesComeFromTheBundle) {
  EXPECT_EQ(RAS_LoadPNGFromNamedResource("knob.png", nullptr), nullptr);  // no bundle yet
  gBundle = TempPath("App.app");
  mkdir(gBundle.c_str(), 0700);
  mkdir((gBundle + "/Contents").c_str(), 0700);
  mkdir((gBundle + "/Contents/Resources").c_str(), 0700);
  WriteFile(gBundle + "/Contents/Resources/knob.png", Encode(Rgba8(3, 3)));
  RAS_SetMainBundlePathFunc(TestBundle);
  RAS_IBitmap* bm = RAS_LoadPNGFromNamedResource("knob.png", nullptr);
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(At(*bm, 2, 2), Rgba8Pixel(2, 2));
  delete bm;
  EXPECT_EQ(RAS_LoadPNGFromNamedResource(std::string(401, 'a').c_str(), nullptr), nullptr);
  EXPECT_EQ(RAS_LoadPNGFromNamedResource("other.png", nullptr), nullptr);
  gBundle = "";
  EXPECT_EQ(RAS_LoadPNGFromNamedResource("knob.png", nullptr), nullptr);
  gBundle = std::string(2000, '/');
  EXPECT_EQ(RAS_LoadPNGFromNamedResource("knob.png", nullptr), nullptr);
  RAS_SetMainBundlePathFunc(nullptr);
}

// ---- Bad input ----

TEST(RasterPNG, ShortOrForeignDataLeavesTheBitmapAlone) {
  RAS_MemBitmap bm(5, 5, 4);
  const Bytes data = Encode(Rgba8(2, 2));
  EXPECT_EQ(RAS_LoadPNGFromMemory(data.data(), 7, &bm), nullptr);
  const unsigned char notPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, 0};
  EXPECT_EQ(RAS_LoadPNGFromMemory(notPng, 8, &bm), nullptr);
  EXPECT_EQ(RAS_LoadPNGFromMemory(nullptr, 100, &bm), nullptr);
  EXPECT_EQ(RAS_LoadPNGFromMemory(data.data(), -5, &bm), nullptr);
  EXPECT_EQ(bm.getWidth(), 5);
  EXPECT_EQ(bm.getHeight(), 5);
  const std::string path = TempPath("text.png");
  WriteFile(path, Bytes{'h', 'e', 'l', 'l', 'o'});
  EXPECT_EQ(RAS_LoadPNG(path.c_str(), &bm), nullptr);
  EXPECT_EQ(bm.getWidth(), 5);
}

// Rewrites every chunk's checksum so that mutations reach the decoder instead of stopping
// at the first checksum test.
void FixChunkCrcs(Bytes& d) {
  size_t pos = 8;
  while (pos + 12 <= d.size()) {
    const uint32_t len = uint32_t(d[pos]) << 24 | d[pos + 1] << 16 | d[pos + 2] << 8 | d[pos + 3];
    if (len > d.size() - pos - 12) break;
    const uint32_t crc = uint32_t(crc32(0, d.data() + pos + 4, len + 4));
    for (int i = 0; i < 4; ++i) d[pos + 8 + len + i] = (unsigned char)(crc >> (24 - 8 * i));
    pos += 12 + len;
  }
}

void SetBe32(Bytes& d, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) d[at + i] = (unsigned char)(v >> (24 - 8 * i));
}

size_t HeapInUse() { return mallinfo2().uordblks; }

TEST(RasterPNG, TruncatedFilesFailWithoutLeaks) {
  const Bytes data = Encode(Rgba8(13, 11, true));
  const std::string path = TempPath("cut.png");
  // The last 12 bytes are the end chunk, which is never read: only cuts before it fail.
  const size_t imageEnd = data.size() - 12;
  auto round = [&] {
    for (size_t n = 0; n < imageEnd; ++n) {
      EXPECT_EQ(RAS_LoadPNGFromMemory(data.data(), int(n), nullptr), nullptr) << n;
      RAS_MemBitmap given(1, 1, 4);
      EXPECT_EQ(RAS_LoadPNGFromMemory(data.data(), int(n), &given), nullptr) << n;
    }
    for (size_t n : {size_t(8), size_t(33), data.size() / 2, data.size() - 13}) {
      WriteFile(path, Bytes(data.begin(), data.begin() + long(n)));
      EXPECT_EQ(RAS_LoadPNG(path.c_str(), nullptr), nullptr) << n;
    }
  };
  // The allocator's caches make single measurements noisy; a leak shows as growth that
  // scales with the number of failed loads (each one allocates a bitmap and a row table).
  round();
  const size_t before = HeapInUse();
  for (int i = 0; i < 5; ++i) round();
  EXPECT_LT(HeapInUse(), before + 2048);

  RAS_IBitmap* bm = RAS_LoadPNGFromMemory(data.data(), int(imageEnd), nullptr);
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(At(*bm, 12, 10), Rgba8Pixel(12, 10));
  delete bm;
}

TEST(RasterPNG, HeadersThatLieAboutTheSize) {
  const Bytes good = Encode(Rgba8(4, 4));
  const uint32_t sizes[][2] = {{100000, 100000}, {0x7fffffff, 1}, {1, 0x7fffffff}, {0, 4},
                               {4, 0},           {1000, 1000},    {5, 4},          {4, 3}};
  for (auto& s : sizes) {
    Bytes d = good;
    SetBe32(d, 16, s[0]);  // IHDR width and height follow the signature and chunk header
    SetBe32(d, 20, s[1]);
    FixChunkCrcs(d);
    RAS_IBitmap* bm = LoadMem(d);
    // Only a smaller height can still decode (the extra rows are ignored by libpng).
    if (bm) {
      EXPECT_EQ(bm->getWidth(), int(s[0]));
      EXPECT_EQ(bm->getHeight(), int(s[1]));
      EXPECT_LT(s[1], 4u);
    }
    delete bm;
    // A caller's bitmap keeps whatever size it was given; it never ends up half allocated.
    RAS_MemBitmap given(2, 2, 4);
    LoadMem(d, &given);
    EXPECT_TRUE(given.getBits() != nullptr || (given.getWidth() == 0 && given.getHeight() == 0));
  }
}

// An ancillary chunk that claims nearly 2 GiB in a small memory block must fail at the end of
// the data, not be skipped over a long run of made-up bytes.
TEST(RasterPNG, ChunkLongerThanTheDataFails) {
  const Bytes good = Encode(Rgba8(4, 4));
  Bytes d(good.begin(), good.begin() + 33);  // signature and IHDR
  const unsigned char chunk[] = {0x7f, 0xff, 0xff, 0xf0, 't', 'E', 'X', 't', 'a', 'b', 'c'};
  d.insert(d.end(), chunk, chunk + sizeof chunk);
  d.insert(d.end(), good.begin() + 33, good.end());
  RAS_MemBitmap given(2, 2, 4);
  EXPECT_EQ(LoadMem(d), nullptr);
  EXPECT_EQ(LoadMem(d, &given), nullptr);
}

TEST(RasterPNG, MutatedFilesNeverCrash) {
  Image pal;
  pal.w = 7, pal.h = 5, pal.colorType = PNG_COLOR_TYPE_PALETTE, pal.bitDepth = 4;
  pal.palette = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
  pal.trnsAlpha = {10, 20};
  for (int y = 0; y < 5; ++y) pal.rows.push_back(Bytes{0x01, 0x20, 0x12, 0x00});
  Image grey;
  grey.w = 9, grey.h = 3, grey.colorType = PNG_COLOR_TYPE_GRAY, grey.bitDepth = 16;
  for (int y = 0; y < 3; ++y) grey.rows.push_back(Bytes(18, (unsigned char)(y * 50)));
  const Bytes bases[] = {Encode(Rgba8(6, 5)), Encode(Rgba8(9, 8, true)), Encode(pal), Encode(grey)};

  RandomRun run(77, 3000);
  Rng rng(run.Seed());
  int decoded = 0;
  for (int i = 0; i < run.Iterations(); ++i) {
    Bytes d = bases[i % 4];
    const int edits = rng.range(1, 4);
    for (int e = 0; e < edits; ++e) {
      const size_t at = rng.range(8, int(d.size()) - 1);
      switch (rng.range(0, 4)) {
        case 0:
          d[at] ^= (unsigned char)(1 << rng.range(0, 7));
          break;
        case 1:
          d[at] = (unsigned char)rng.next();
          break;
        case 2:
          d.resize(at);
          break;
        case 3:
          d.insert(d.begin() + long(at), rng.range(1, 16), (unsigned char)rng.next());
          break;
        case 4:
          if (at + 4 <= d.size()) SetBe32(d, at, rng.next() >> rng.range(0, 31));
          break;
      }
      if (d.size() <= 9) break;
    }
    if (rng.range(0, 1)) FixChunkCrcs(d);
    RAS_IBitmap* bm = LoadMem(d);
    if (bm) {
      ++decoded;
      // Every pixel of a decoded bitmap is addressable.
      uint32_t sum = 0;
      for (int y = 0; y < bm->getHeight(); ++y)
        for (int x = 0; x < bm->getWidth(); ++x) sum += At(*bm, x, y);
      (void)sum;
      EXPECT_GT(bm->getWidth(), 0);
      delete bm;
    }
    RAS_MemBitmap given(3, 3, 4);
    if (LoadMem(d, &given)) {
      EXPECT_NE(given.getBits(), nullptr);
    }
  }
  // Some mutations only touch ancillary data or pixel values and must still decode.
  EXPECT_GT(decoded, 0);
}

}  // namespace
