#pragma once
// Drawing tests: an engine whose images come from PNG files the test writes, and a control
// that runs a test's drawing code inside a drawing pass.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "GraphicsTestSupport.h"
#include "raster/Raster.h"

// Writes a w by h PNG whose pixel (x, y) is pixel(x, y); returns the file name.
inline std::string WriteImage(const std::string& folder, const std::string& name, int w, int h,
                              const std::function<RAS_pixel(int, int)>& pixel) {
  RAS_MemBitmap bm(w, h, 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bm.getBits()[y * bm.getRowSpan() + x] = pixel(x, y);
  std::string path = folder + "/" + name;
  EXPECT_TRUE(WritePng(&bm, path.c_str())) << path;
  return name;
}

// A folder of its own per test program run, removed at exit unless a golden comparison left
// a picture there to look at.
inline std::string ImageFolder() {
  struct Folder {
    std::string path = ::testing::TempDir() + "orvanta_graphics_" + std::to_string(getpid());
    Folder() { std::filesystem::create_directories(path); }
    ~Folder() {
      std::error_code ec;
      for (const auto& entry : std::filesystem::directory_iterator(path, ec))
        if (entry.path().filename().string().rfind("actual_", 0) == 0) return;
      std::filesystem::remove_all(path, ec);
    }
  };
  static Folder folder;
  return folder.path;
}

// Resource IDs are process-wide cache keys: every test takes fresh ones.
inline int FreshID() {
  static int next = 10000;
  return next++;
}

class LambdaControl : public IControl {
 public:
  LambdaControl(IPluginBase* pPlug, IRECT r, std::function<void(IGraphics*)> draw)
      : IControl(pPlug, r), mDraw(std::move(draw)) {}
  bool Draw(IGraphics* pGraphics) override {
    if (mDraw) mDraw(pGraphics);
    return true;
  }

  std::function<void(IGraphics*)> mDraw;
};

// An attached engine with a cleared surface; Run() draws the code in one pass over region.
class DrawingFixture : public ::testing::Test {
 protected:
  static constexpr RAS_pixel kMarker = RAS_RGBA(1, 2, 250, 3);

  void SetUp() override {
    g = new HeadlessGraphics(&plug, kW, kH, ImageFolder().c_str());
    canvas = new LambdaControl(&plug, IRECT(0, 0, kW, kH), {});
    g->AttachControl(canvas);
    plug.AttachGraphics(g);
  }

  // Clears the surface and runs the drawing code in one strict pass over the region.
  void Run(const std::function<void(IGraphics*)>& draw, IRECT region = IRECT(0, 0, kW, kH)) {
    RAS_Clear(g->GetDrawBitmap(), kMarker);
    canvas->mDraw = draw;
    g->Draw(&region);
  }

  RAS_pixel Px(int x, int y) { return RAS_GetPixel(g->GetDrawBitmap(), x, y); }
  bool Untouched(int x, int y) { return Px(x, y) == kMarker; }
  // True when no pixel of the surface was drawn; names the first one that was.
  bool SurfaceUntouched() {
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        if (!Untouched(x, y)) {
          ADD_FAILURE() << "pixel (" << x << ", " << y << ") drawn";
          return false;
        }
    return true;
  }

  static constexpr int kW = 120, kH = 100;
  EditorTestPlug plug;
  HeadlessGraphics* g = nullptr;
  LambdaControl* canvas = nullptr;
};
