#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <set>
#include <string>

#include "raster/Raster.h"
#include "tools/png/PngWriter.h"

namespace fs = std::filesystem;

namespace {

class PngWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "png-writer-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string Path(const char* name) const { return (dir / name).string(); }

  std::set<std::string> Entries() const {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
  }

  fs::path dir;
};

// Every channel varies independently, and colour survives under zero alpha, so a swapped
// channel, a premultiplied pixel or a misread row shows.
void FillPattern(RAS_IBitmap* bm) {
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
      bm->getBits()[y * bm->getRowSpan() + x] =
          RAS_RGBA(x * 17 + y, y * 29 + 3, (x * y * 7) & 255, (x + y) % 3 == 0 ? 0 : 40 * x + y);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Byte 25 of a PNG file is the colour type of its header chunk: 2 for RGB, 6 for RGBA.
constexpr int kColourRgb = 2, kColourRgba = 6;
int ColourType(const std::string& path) { return (unsigned char)ReadFile(path).at(25); }

// A bitmap whose row 0 lies last in memory.
class FlippedBitmap : public RAS_MemBitmap {
 public:
  using RAS_MemBitmap::RAS_MemBitmap;
  bool isFlipped() override { return true; }
};

TEST_F(PngWriterTest, RoundTripsEveryPixelAtAnyLevel) {
  // 13 wide: rows are padded in memory, so the row span differs from the width.
  RAS_MemBitmap bm(13, 7, 4);
  ASSERT_GT(bm.getRowSpan(), bm.getWidth());
  FillPattern(&bm);
  for (int level : {kPngDefaultCompression, 0, kPngBestCompression}) {
    SCOPED_TRACE(level);
    const std::string path = Path("rgba.png");
    ASSERT_TRUE(WritePng(&bm, path.c_str(), {.compressionLevel = level}));
    EXPECT_EQ(ColourType(path), kColourRgba);
    std::unique_ptr<RAS_IBitmap> back(RAS_LoadPNG(path.c_str()));
    ASSERT_TRUE(back);
    ASSERT_EQ(back->getWidth(), 13);
    ASSERT_EQ(back->getHeight(), 7);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 13; ++x)
        ASSERT_EQ(back->getBits()[y * back->getRowSpan() + x],
                  bm.getBits()[y * bm.getRowSpan() + x])
            << x << "," << y;
  }
  EXPECT_EQ(Entries(), std::set<std::string>{"rgba.png"});
}

// Opening reads only the header: the size is there at once, the pixels when first asked for,
// and a file that changed size in between gives no pixels rather than pixels of another size.
TEST_F(PngWriterTest, DeferredImageDecodesOnFirstUse) {
  RAS_MemBitmap bm(13, 7, 4);
  FillPattern(&bm);
  const std::string path = Path("deferred.png");
  ASSERT_TRUE(WritePng(&bm, path.c_str()));
  std::unique_ptr<RAS_DeferredPNG> image(RAS_DeferredPNG::Open(path.c_str()));
  std::unique_ptr<RAS_DeferredPNG> changed(RAS_DeferredPNG::Open(path.c_str()));
  ASSERT_TRUE(image && changed);
  EXPECT_EQ(image->getWidth(), 13);
  EXPECT_EQ(image->getHeight(), 7);
  EXPECT_FALSE(image->IsDecoded());
  ASSERT_NE(image->getBits(), nullptr);
  EXPECT_TRUE(image->IsDecoded());
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 13; ++x)
      ASSERT_EQ(image->getBits()[y * image->getRowSpan() + x],
                bm.getBits()[y * bm.getRowSpan() + x]);

  RAS_MemBitmap narrower(5, 7, 4);
  ASSERT_TRUE(WritePng(&narrower, path.c_str()));
  EXPECT_EQ(changed->getBits(), nullptr);
  EXPECT_EQ(RAS_DeferredPNG::Open(Path("missing.png").c_str()), nullptr);
}

TEST_F(PngWriterTest, WithoutAlphaKeepsColourAndReadsBackOpaque) {
  RAS_MemBitmap bm(9, 5, 4);
  FillPattern(&bm);
  const std::string path = Path("rgb.png");
  ASSERT_TRUE(WritePng(&bm, path.c_str(), {.alpha = false}));
  EXPECT_EQ(ColourType(path), kColourRgb);
  std::unique_ptr<RAS_IBitmap> back(RAS_LoadPNG(path.c_str()));
  ASSERT_TRUE(back);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 9; ++x) {
      RAS_pixel p = bm.getBits()[y * bm.getRowSpan() + x];
      ASSERT_EQ(back->getBits()[y * back->getRowSpan() + x],
                RAS_RGBA(RAS_GETR(p), RAS_GETG(p), RAS_GETB(p), 255))
          << x << "," << y;
    }
}

TEST_F(PngWriterTest, FlippedBitmapIsWrittenTopRowFirst) {
  FlippedBitmap bm(3, 4, 4);
  // Memory row m holds picture row 3 - m.
  for (int m = 0; m < 4; ++m)
    for (int x = 0; x < 3; ++x)
      bm.getBits()[m * bm.getRowSpan() + x] = RAS_RGBA(10 * (3 - m), x, 0, 255);
  const std::string path = Path("flipped.png");
  ASSERT_TRUE(WritePng(&bm, path.c_str()));
  std::unique_ptr<RAS_IBitmap> back(RAS_LoadPNG(path.c_str()));
  ASSERT_TRUE(back);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(back->getBits()[y * back->getRowSpan() + x], RAS_RGBA(10 * y, x, 0, 255));
}

TEST_F(PngWriterTest, RefusesWhatCannotBeWrittenAndLeavesNothingBehind) {
  RAS_MemBitmap empty;
  EXPECT_FALSE(WritePng(&empty, Path("empty.png").c_str()));
  RAS_MemBitmap flat(0, 5, 4);
  EXPECT_FALSE(WritePng(&flat, Path("flat.png").c_str()));

  RAS_MemBitmap bm(4, 4, 4);
  FillPattern(&bm);
  EXPECT_FALSE(WritePng(&bm, Path("missing/folder.png").c_str()));
  // The picture is written in full, then cannot take the place of a folder.
  fs::create_directory(dir / "taken");
  EXPECT_FALSE(WritePng(&bm, Path("taken").c_str()));
  EXPECT_TRUE(fs::is_directory(dir / "taken"));
  EXPECT_EQ(Entries(), std::set<std::string>{"taken"});
}

TEST_F(PngWriterTest, ReplacesAnOldFileWhole) {
  const std::string path = Path("picture.png");
  { std::ofstream(path) << "an older picture that is longer than the new one will be, by far"; }
  RAS_MemBitmap bm(2, 2, 4);
  FillPattern(&bm);
  ASSERT_TRUE(WritePng(&bm, path.c_str()));
  std::unique_ptr<RAS_IBitmap> back(RAS_LoadPNG(path.c_str()));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->getBits()[back->getRowSpan() + 1], bm.getBits()[bm.getRowSpan() + 1]);
  EXPECT_EQ(Entries(), std::set<std::string>{"picture.png"});
}

// A file-size limit makes the writes fail partway, as a full disk does.
TEST_F(PngWriterTest, FailedWriteKeepsTheOldFileAndLeavesNoPart) {
  const std::string path = Path("golden.png");
  const std::string old = "the previous picture";
  { std::ofstream(path) << old; }
  RAS_MemBitmap noise(256, 256, 4);
  std::mt19937 random(7);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) noise.getBits()[y * noise.getRowSpan() + x] = random();

  rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 4096;
  auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);  // report the error rather than end us
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = WritePng(&noise, path.c_str(), {.compressionLevel = 0});
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);

  EXPECT_FALSE(written);
  EXPECT_EQ(ReadFile(path), old);
  EXPECT_EQ(Entries(), std::set<std::string>{"golden.png"});
}

}  // namespace
