#pragma once
// The image an editor window is copied from. Where the server offers MIT-SHM and runs on
// this machine, the image lies in a shared-memory segment the server reads directly, so a
// copy costs one short request; otherwise it lies in client memory and XPutImage sends the
// pixels over the connection. Setting ORVANTA_X11_NO_SHM in the environment forces the
// second way. Either way only the region asked for is converted and copied. Small regions
// (a fader moving) go through XPutImage even with shared memory: the server must have
// finished reading the segment before it is written again, and that wait costs more than
// sending a few thousand pixels.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <memory>

#include "platform/x11/PixelConversion.h"
#include "platform/x11/ViewCoordinates.h"
#include "platform/x11/X11Connection.h"

class X11ShmImage {
 public:
  // A w by h image for the visual; null when none can be made.
  static std::unique_ptr<X11ShmImage> Create(X11Connection* connection, Visual* visual, int depth,
                                             int w, int h);
  ~X11ShmImage();
  X11ShmImage(const X11ShmImage&) = delete;
  X11ShmImage& operator=(const X11ShmImage&) = delete;

  bool SharedMemory() const { return mImage != nullptr; }
  int Width() const { return mPlain->width; }
  int Height() const { return mPlain->height; }

  // Converts region r of a source bitmap (raster pixel words, srcSpan pixels per row, srcW by
  // srcH) into the image and copies it to the same place in the drawable. The region is
  // clipped to the source and the image.
  void Copy(Drawable target, GC gc, const uint32_t* src, int srcSpan, int srcW, int srcH,
            viewrules::PixelRect r);
  // Returns once the server has finished every copy sent so far.
  void WaitForServer();

 private:
  X11ShmImage(X11Connection* connection, Visual* visual);
  bool MakeShared(int depth, int w, int h);
  XImage* MakePlain(int depth, int w, int h);

  X11Connection* mConnection;
  Visual* mVisual;
  viewrules::VisualFormat mFormat;
  XImage* mImage = nullptr;  // in the segment with shared memory
  XImage* mPlain = nullptr;  // in client memory, for XPutImage
  XShmSegmentInfo mShm{};
  bool mPutPending = false;  // the server may still be reading the segment
};
