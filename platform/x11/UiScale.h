#pragma once
// How large the editor appears on screen: at its own size, or twice that (every pixel a 2 by 2
// block) on high-density screens; and the mapping between window and engine pixels.

#include <string>

namespace viewrules {

// What the choice is made from; absent inputs stay null or 0.
struct ScaleInputs {
  const char* override = nullptr;  // the ORVANTA_UI_SCALE environment variable
  double hostFactor = 0;           // a host's request (LV2 ui:scaleFactor)
  const char* gdkScale = nullptr;  // the GDK_SCALE environment variable
  double xftDpi = 0;               // the display's Xft.dpi resource
};

// 1 or 2. ORVANTA_UI_SCALE of "1" or "2" decides; otherwise a host's request (2 from 1.5 up),
// then GDK_SCALE (2 from 2 up), then Xft.dpi (2 from 144 up).
int ChooseUiScale(const ScaleInputs& in);

// What to tell someone whose ORVANTA_UI_SCALE names no scale the editor has, opening at
// `chosen` instead; empty when it is unset, empty, "1" or "2".
std::string UiScaleOverrideProblem(const char* override, int chosen);

// The Xft.dpi value in an X resource database string ("Xft.dpi:\t144\n..."); 0 when absent or
// not a number.
double XftDpiFromResources(const char* resources);

// The engine pixel under a window pixel (rounding down, also left of or above the window).
inline int ToEngineCoordinate(int window, int scale) {
  return window >= 0 ? window / scale : -((-window + scale - 1) / scale);
}

}  // namespace viewrules
