#pragma once
// Handle types, records and constants of the drawing-context emulation.

struct GDI_Context;
struct GDI_Object;

typedef GDI_Context* HDC;
typedef GDI_Object* HGDIOBJ;
typedef GDI_Object* HFONT;

// Object types, also the pseudo-handle values that empty the matching slot of a context.
constexpr int GDI_OBJ_PEN = 1;
constexpr int GDI_OBJ_BRUSH = 2;
constexpr int GDI_OBJ_FONT = 3;
constexpr int GDI_OBJ_BITMAP = 4;

// The rectangle shared with the raster library: right and bottom are exclusive.
#ifndef RAS_RECT_DEFINED
#define RAS_RECT_DEFINED
struct RECT {
  int left;
  int top;
  int right;
  int bottom;
};
#endif

// Colour values of contexts: red in bits 16-23, green in 8-15, blue in 0-7.
constexpr int GDI_RGB(int r, int g, int b) {
  return ((r & 0xff) << 16) | ((g & 0xff) << 8) | (b & 0xff);
}

// Background modes: only 1 fills the text background.
constexpr int GDI_BKMODE_TRANSPARENT = 0;
constexpr int GDI_BKMODE_OPAQUE = 1;

// Font quality codes.
constexpr int GDI_QUALITY_DEFAULT = 0;
constexpr int GDI_QUALITY_NONANTIALIASED = 3;
constexpr int GDI_QUALITY_ANTIALIASED = 4;

// Format flags of GDI_DrawText. No other bit has an effect.
enum : unsigned {
  DT_CALCRECT = 0x1,  // measure only: set the rectangle's right and bottom
  DT_VCENTER = 0x2,
  DT_CENTER = 0x4,
  DT_BOTTOM = 0x10,
  DT_RIGHT = 0x20,
  DT_SINGLELINE = 0x40,  // line feeds become spaces
  DT_NOPREFIX = 0x80,    // '&' is an ordinary character
  DT_NOCLIP = 0x100,
};

// The text drawing copies at most this many bytes of a text, terminator included.
constexpr int GDI_TEXT_BUFFER_SIZE = 4096;

struct TEXTMETRIC {
  int tmHeight;
  int tmAscent;
  int tmDescent;
  int tmInternalLeading;
  int tmAveCharWidth;
};

struct LOGFONT {
  int lfHeight;
  int lfWidth;
  int lfEscapement;
  int lfOrientation;
  int lfWeight;
  char lfItalic;
  char lfUnderline;
  char lfStrikeOut;
  char lfCharSet;
  char lfOutPrecision;
  char lfClipPrecision;
  char lfQuality;
  char lfPitchAndFamily;
  char lfFaceName[32];
};
