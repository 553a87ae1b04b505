#pragma once
// The library's rectangle: right and bottom are exclusive. Other layers that speak the same
// Windows-style vocabulary can test RAS_RECT_DEFINED instead of declaring their own.

#ifndef RAS_RECT_DEFINED
#define RAS_RECT_DEFINED
struct RECT {
  int left;
  int top;
  int right;
  int bottom;
};
#endif
