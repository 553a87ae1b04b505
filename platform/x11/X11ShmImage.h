#pragma once
// The image an editor window is copied from. Where the server offers MIT-SHM and runs on
// this machine, the image lies in shared-memory segments the server reads directly, so a
// copy costs one short request; otherwise it lies in client memory and XPutImage sends the
// pixels over the connection. Setting ORVANTA_X11_NO_SHM in the environment forces the
// second way. Either way only the region asked for is converted and copied.
//
// A segment must not be written while the server may still be reading it. Each shared copy
// asks for a completion event, and whatever the server sends after it (that event, or an
// error when the window has gone) shows the copy done, so a later copy usually finds it
// finished without a round trip. Copies alternate between two segments: writing the one
// the server has just read would first take its cache lines back from the core the server
// ran on, which makes the conversion three times slower when that is another core. Small
// regions (a fader moving) go through XPutImage even with shared memory: waiting for an
// unfinished copy costs more than sending a few thousand pixels.

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

  bool SharedMemory() const { return mSegmentCount > 0; }
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
  struct Segment {
    XImage* image = nullptr;
    XShmSegmentInfo info{};
    unsigned long request = 0;  // number of the last copy request that reads it
    bool pending = false;       // the server may still be reading it
  };

  X11ShmImage(X11Connection* connection, Visual* visual);
  bool Attach(Segment& s, int depth, int w, int h);
  void Detach(Segment& s);
  // Returns once the server has finished reading the segment.
  void Await(Segment& s);
  XImage* MakePlain(int depth, int w, int h);

  X11Connection* mConnection;
  Visual* mVisual;
  viewrules::VisualFormat mFormat;
  Segment mSegments[2];
  int mSegmentCount = 0;       // attached segments; none without shared memory
  int mNextSegment = 0;        // the one the next shared copy writes
  int mCompletionEvent = -1;   // type of the server's completion event
  XImage* mPlain = nullptr;    // in client memory, for XPutImage
  bool mPlainPending = false;  // XPutImage copies were sent since the last wait
};
