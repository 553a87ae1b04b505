#include "ToolWindowPicture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <bit>
#include <memory>

#include "platform/x11/PixelDoubling.h"
#include "raster/Raster.h"
#include "tools/png/PngWriter.h"

namespace {

bool gXError = false;
// Xlib's own handler ends the process on the first error, such as a window that went away.
int NoteError(Display*, XErrorEvent*) {
  gXError = true;
  return 0;
}

// One colour channel of an X pixel, scaled to 0..255.
uint32_t Channel(unsigned long pixel, unsigned long mask) {
  if (!mask) return 0;
  const unsigned long top = mask >> std::countr_zero(mask);
  return static_cast<uint32_t>(((pixel & mask) >> std::countr_zero(mask)) * 255 / top);
}

}  // namespace

bool WindowIsShown(unsigned long window) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  auto* previous = XSetErrorHandler(NoteError);
  gXError = false;
  XWindowAttributes attributes = {};
  const bool shown = XGetWindowAttributes(display, window, &attributes) && !gXError &&
                     attributes.map_state == IsViewable;
  XSync(display, False);
  XSetErrorHandler(previous);
  XCloseDisplay(display);
  return shown;
}

bool WriteWindowPng(unsigned long window, const std::string& path, int scale, std::string* error) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    *error = "no X display to show the editor on (set DISPLAY)";
    return false;
  }
  auto* previous = XSetErrorHandler(NoteError);
  gXError = false;
  XWindowAttributes attributes = {};
  XImage* image = nullptr;
  if (XGetWindowAttributes(display, window, &attributes) && !gXError &&
      attributes.map_state == IsViewable)
    image = XGetImage(display, window, 0, 0, unsigned(attributes.width),
                      unsigned(attributes.height), AllPlanes, ZPixmap);
  XSync(display, False);
  XSetErrorHandler(previous);
  if (!image || gXError) {
    if (image) XDestroyImage(image);
    XCloseDisplay(display);
    *error = "the editor's window is not shown, so it cannot be pictured";
    return false;
  }
  // Raster pixels: alpha, red, green and blue from the low byte up.
  RAS_MemBitmap picture(image->width, image->height);
  if (!picture.getBits()) {
    XDestroyImage(image);
    XCloseDisplay(display);
    *error = "no memory for the editor's picture";
    return false;
  }
  for (int y = 0; y < image->height; ++y)
    for (int x = 0; x < image->width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      picture.getBits()[y * picture.getRowSpan() + x] =
          0xFFu | Channel(pixel, image->red_mask) << 8 | Channel(pixel, image->green_mask) << 16 |
          Channel(pixel, image->blue_mask) << 24;
    }
  XDestroyImage(image);
  XCloseDisplay(display);
  if (scale != 2) return WritePng(&picture, path.c_str(), {}, error);
  RAS_MemBitmap doubled(2 * picture.getWidth(), 2 * picture.getHeight());
  viewrules::DoublePixels(picture.getBits(), picture.getRowSpan(), picture.getWidth(),
                          picture.getHeight(), doubled.getBits(), doubled.getRowSpan());
  return WritePng(&doubled, path.c_str(), {}, error);
}
