#include "platform/x11/X11ShmImage.h"

#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace viewrules;

namespace {

// A server reached through a local socket (":n" or "unix:n") shares this machine's memory;
// one reached over TCP may not, even when it offers the extension.
bool LocalDisplay(Display* d) {
  const char* name = DisplayString(d);
  return name && (name[0] == ':' || std::strncmp(name, "unix:", 5) == 0);
}

bool SharedMemoryWanted() {
  const char* off = std::getenv("ORVANTA_X11_NO_SHM");
  return !off || !*off;
}

VisualFormat FormatOf(Visual* v) { return VisualFormat(v->red_mask, v->green_mask, v->blue_mask); }

}  // namespace

X11ShmImage::X11ShmImage(X11Connection* connection, Visual* visual)
    : mConnection(connection), mVisual(visual), mFormat(FormatOf(visual)) {}

std::unique_ptr<X11ShmImage> X11ShmImage::Create(X11Connection* connection, Visual* visual,
                                                 int depth, int w, int h) {
  std::unique_ptr<X11ShmImage> image(new X11ShmImage(connection, visual));
  w = std::max(1, w), h = std::max(1, h);
  Display* d = connection->Get();
  image->mPlain = image->MakePlain(depth, w, h);
  if (!image->mPlain) return nullptr;
  if (SharedMemoryWanted() && LocalDisplay(d) && XShmQueryExtension(d)) {
    // One segment is enough to work; the second only saves time.
    for (Segment& s : image->mSegments) {
      if (!image->Attach(s, depth, w, h)) break;
      ++image->mSegmentCount;
    }
    image->mCompletionEvent = XShmGetEventBase(d) + ShmCompletion;
  }
  return image;
}

bool X11ShmImage::Attach(Segment& s, int depth, int w, int h) {
  Display* d = mConnection->Get();
  s.image = XShmCreateImage(d, mVisual, depth, ZPixmap, nullptr, &s.info, w, h);
  if (!s.image) return false;
  s.info.shmid = shmget(IPC_PRIVATE, (size_t)s.image->bytes_per_line * h, IPC_CREAT | 0600);
  void* at = s.info.shmid < 0 ? (void*)-1 : shmat(s.info.shmid, nullptr, 0);
  if (at != (void*)-1) {
    s.info.shmaddr = s.image->data = (char*)at;
    s.info.readOnly = True;
    // The server may refuse (another machine after all, or no access to the segment).
    mConnection->BeginTrap();
    XShmAttach(d, &s.info);
    const bool attached = mConnection->Succeeded();
    // Marked for removal now: the segment goes once both sides have detached, even if this
    // process dies.
    shmctl(s.info.shmid, IPC_RMID, nullptr);
    if (attached) return true;
    shmdt(s.info.shmaddr);
  } else if (s.info.shmid >= 0) {
    shmctl(s.info.shmid, IPC_RMID, nullptr);
  }
  s.image->data = nullptr;
  XDestroyImage(s.image);
  s.image = nullptr;
  return false;
}

void X11ShmImage::Detach(Segment& s) {
  // A lost connection has nothing left to detach on the server side.
  if (!mConnection->IsLost()) {
    mConnection->BeginTrap();
    XShmDetach(mConnection->Get(), &s.info);
    mConnection->Succeeded();
  }
  shmdt(s.info.shmaddr);
  s.image->data = nullptr;
  XDestroyImage(s.image);
}

XImage* X11ShmImage::MakePlain(int depth, int w, int h) {
  XImage* image =
      XCreateImage(mConnection->Get(), mVisual, depth, ZPixmap, 0, nullptr, w, h, 32, 0);
  if (!image) return nullptr;
  image->data = (char*)std::calloc((size_t)image->bytes_per_line * h, 1);
  if (!image->data) {
    XDestroyImage(image);
    return nullptr;
  }
  if (image->bits_per_pixel == 32) {
    // Written as native words; Xlib swaps for a server of the other byte order.
    image->byte_order = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? LSBFirst : MSBFirst;
  }
  return image;
}

X11ShmImage::~X11ShmImage() {
  for (int i = 0; i < mSegmentCount; ++i) Detach(mSegments[i]);
  if (mPlain) XDestroyImage(mPlain);  // frees its data
}

void X11ShmImage::WaitForServer() {
  if (mPlainPending && !mConnection->IsLost()) {
    XSync(mConnection->Get(), False);  // also covers the shared copies sent before
    for (Segment& s : mSegments) s.pending = false;
  }
  mPlainPending = false;
  for (int i = 0; i < mSegmentCount; ++i) Await(mSegments[i]);
}

void X11ShmImage::Await(Segment& s) {
  // The server handles a client's requests in order, and Xlib records the number of the last
  // request anything it read from the server answered.
  Display* d = mConnection->Get();
  while (s.pending && !mConnection->IsLost() && LastKnownRequestProcessed(d) < s.request) {
    // Takes the completion events out of the queue; the last call, finding none, reads
    // what has arrived without blocking and sends what is still buffered.
    XEvent e;
    while (XCheckTypedEvent(d, mCompletionEvent, &e)) {
    }
    if (LastKnownRequestProcessed(d) >= s.request) break;
    pollfd p{ConnectionNumber(d), POLLIN, 0};
    // A silent server that is still there is only slow; a round trip settles it.
    if (poll(&p, 1, 200) == 0) XSync(d, False);
  }
  s.pending = false;
}

void X11ShmImage::Copy(Drawable target, GC gc, const uint32_t* src, int srcSpan, int srcW, int srcH,
                       PixelRect r) {
  // Below this many pixels XPutImage is cheaper than waiting for the server.
  constexpr long kSharedMinimum = 16384;
  const PixelRect c =
      ClipToSurface(r, std::min(srcW, mPlain->width), std::min(srcH, mPlain->height));
  const int cw = c.R - c.L, ch = c.B - c.T;
  if (cw <= 0 || ch <= 0 || !src) return;
  Display* d = mConnection->Get();
  Segment* segment = nullptr;
  if (SharedMemory() && (long)cw * ch >= kSharedMinimum) {
    segment = &mSegments[mNextSegment];
    mNextSegment = (mNextSegment + 1) % mSegmentCount;
    Await(*segment);
  }
  XImage* image = segment ? segment->image : mPlain;
  src += (size_t)c.T * srcSpan + c.L;
  if (image->bits_per_pixel == 32) {
    const int span = image->bytes_per_line / 4;
    uint32_t* dst = (uint32_t*)image->data + (size_t)c.T * span + c.L;
    mFormat.ConvertRect(src, srcSpan, dst, span, cw, ch);
  } else {
    for (int y = 0; y < ch; ++y)
      for (int x = 0; x < cw; ++x)
        XPutPixel(image, c.L + x, c.T + y, mFormat.Convert(src[(size_t)y * srcSpan + x]));
  }
  if (segment) {
    segment->request = NextRequest(d);
    XShmPutImage(d, target, gc, image, c.L, c.T, c.L, c.T, cw, ch, True);
    segment->pending = true;
  } else {
    XPutImage(d, target, gc, image, c.L, c.T, c.L, c.T, cw, ch);
    mPlainPending = true;
  }
}
