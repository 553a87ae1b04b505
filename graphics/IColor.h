#pragma once
// Colour with alpha, each channel 0-255, and its packing into a raster pixel word
// (alpha in the low byte, then red, green, blue).

#include <cstdint>

struct IColor {
  int A = 255, R = 0, G = 0, B = 0;

  constexpr IColor() = default;
  constexpr IColor(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}

  constexpr bool operator==(const IColor& o) const {
    return A == o.A && R == o.R && G == o.G && B == o.B;
  }
  constexpr bool operator!=(const IColor& o) const { return !(*this == o); }

  constexpr uint32_t Pack() const {
    return (uint32_t)(A & 0xFF) | ((uint32_t)(R & 0xFF) << 8) | ((uint32_t)(G & 0xFF) << 16) |
           ((uint32_t)(B & 0xFF) << 24);
  }
  static constexpr IColor Unpack(uint32_t p) {
    return IColor((int)(p & 0xFF), (int)((p >> 8) & 0xFF), (int)((p >> 16) & 0xFF),
                  (int)((p >> 24) & 0xFF));
  }
};

inline constexpr IColor COLOR_TRANSPARENT(0, 0, 0, 0);
inline constexpr IColor COLOR_BLACK(255, 0, 0, 0);
inline constexpr IColor COLOR_GRAY(255, 127, 127, 127);
inline constexpr IColor COLOR_WHITE(255, 255, 255, 255);
inline constexpr IColor COLOR_RED(255, 255, 0, 0);
inline constexpr IColor COLOR_GREEN(255, 0, 255, 0);
inline constexpr IColor COLOR_BLUE(255, 0, 0, 255);
inline constexpr IColor COLOR_YELLOW(255, 255, 255, 0);
inline constexpr IColor COLOR_ORANGE(255, 255, 127, 0);

inline constexpr IColor DEFAULT_TEXT_COLOR = COLOR_BLACK;
inline constexpr IColor DEFAULT_TEXT_ENTRY_BGCOLOR = COLOR_WHITE;
inline constexpr IColor DEFAULT_TEXT_ENTRY_FGCOLOR = COLOR_BLACK;
