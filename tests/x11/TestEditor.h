#pragma once
// The editor the X11 tests drive: 200 x 150 on a gray panel, a red recording control on
// the left and a blue one on the right. Header-only, for the headless and the window tests.

#include <cstdint>

#include "X11TestSupport.h"
#include "platform/x11/IGraphicsLinux.h"
#include "raster/RAS_SysBitmap.h"

namespace x11test {

inline constexpr IColor kGray(255, 60, 60, 60);
inline constexpr IColor kRed(255, 200, 30, 20);
inline constexpr IColor kBlue(255, 20, 40, 210);

struct Editor {
  IGraphicsLinux g;
  RecordingControl* left;
  RecordingControl* right;
  // With a plug-in, input and drawing hold its lock.
  explicit Editor(IPluginBase* plug = nullptr) : g(plug, 200, 150) {
    g.AttachPanelBackground(&kGray);
    left = new RecordingControl(IRECT(10, 10, 90, 140), kRed);
    right = new RecordingControl(IRECT(110, 10, 190, 140), kBlue);
    g.AttachControl(left);
    g.AttachControl(right);
    g.PrepDraw();
  }
  uint32_t BitmapPixel(int x, int y) {
    RAS_SysBitmap* b = g.GetDrawBitmap();
    return b->getBits()[y * b->getRowSpan() + x];
  }
};

}  // namespace x11test
