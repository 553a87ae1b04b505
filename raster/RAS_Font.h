#pragma once
// Text drawn into raster bitmaps with a platform font: either drawn by the platform straight
// into the bitmap's drawing context ("native"), or rendered once per character into a
// coverage map that is kept and composited with the library's combine rules.

#include "framework/UTL_TypedBuf.h"
#include "platform/gdi/GDI.h"
#include "raster/RAS_Bitmap.h"
#include "raster/RAS_Rect.h"

// Font flags of SetFromHFont.
enum : int {
  RAS_FONT_FLAG_VERTICAL = 0x1,     // glyphs turned by 90 degrees, advances run down
  RAS_FONT_FLAG_VERTICAL_UP = 0x2,  // with VERTICAL: text runs upward
  RAS_FONT_FLAG_FIXEDCACHE = 0x4,   // codes 0-127 rendered at once, nothing else ever added
  RAS_FONT_FLAG_BLUR = 0x10,
  RAS_FONT_FLAG_INVERT = 0x20,
  RAS_FONT_FLAG_MONO = 0x40,
  RAS_FONT_FLAG_FX_SHADOW = 0x80,    // outline toward the lower right
  RAS_FONT_FLAG_FX_OUTLINE = 0x100,  // outline on all four sides
  RAS_FONT_FLAG_OWNS_HFONT = 0x200,
  RAS_FONT_FLAG_NATIVE = 0x400,
};

// DrawText flag beyond those of the drawing-context layer (DT_...).
// Scales the font's alpha by the text colour's alpha byte for one call.
constexpr unsigned RAS_DT_USEFGALPHA = 0x40000000u;

// Extended() request id by which a bitmap refuses native text drawing.
constexpr int RAS_EXT_NO_NATIVE_TEXT = 0x59555678;

// Decodes one character of UTF-8 text into code and returns the bytes used. Invalid
// sequences are taken one byte at a time (the byte's value as the code); a four-byte
// sequence stands for a space. maxBytes, when not negative, bounds what may be read.
int utf8char(const char* ptr, unsigned short* code, int maxBytes = -1);

class RAS_IFont {
 public:
  virtual ~RAS_IFont() {}

  virtual void SetFromHFont(HFONT font, int flags = 0) = 0;
  // Setters return the previous value.
  virtual RAS_pixel SetTextColor(RAS_pixel color) = 0;
  virtual RAS_pixel SetBkColor(RAS_pixel color) = 0;
  virtual RAS_pixel SetEffectColor(RAS_pixel color) = 0;
  virtual int SetBkMode(int mode) = 0;  // 1 paints the background colour behind the text
  virtual void SetCombineMode(int mode, float alpha = 1.0f) = 0;
  // length in bytes, negative for a zero-terminated text. Returns the text's height (its
  // width for vertical fonts), 0 when nothing is drawn.
  virtual int DrawText(RAS_IBitmap* bm, const char* text, int length, RECT* rect,
                       unsigned flags) = 0;
  virtual RAS_pixel GetTextColor() = 0;
  virtual HFONT GetHFont() = 0;
  virtual int GetLineHeight() = 0;
};

class RAS_CachedFont : public RAS_IFont {
 public:
  RAS_CachedFont();
  ~RAS_CachedFont() override;
  RAS_CachedFont(const RAS_CachedFont&) = delete;
  RAS_CachedFont& operator=(const RAS_CachedFont&) = delete;

  void SetFromHFont(HFONT font, int flags = 0) override;
  RAS_pixel SetTextColor(RAS_pixel color) override;
  RAS_pixel SetBkColor(RAS_pixel color) override;
  RAS_pixel SetEffectColor(RAS_pixel color) override;
  int SetBkMode(int mode) override;
  void SetCombineMode(int mode, float alpha = 1.0f) override;
  int DrawText(RAS_IBitmap* bm, const char* text, int length, RECT* rect, unsigned flags) override;
  RAS_pixel GetTextColor() override { return m_fg; }
  HFONT GetHFont() override { return m_font; }
  int GetLineHeight() override { return m_line_height; }

  // Draws one cached glyph with its top-left at (x, y), cut to clip and the bitmap.
  virtual void DrawGlyph(RAS_IBitmap* bm, unsigned short code, int x, int y, const RECT* clip);

  // Pixels added between lines at each line feed.
  void SetLineSpacingAdjust(int pixels) { m_lsadj = pixels; }
  int GetLineSpacingAdjust() const { return m_lsadj; }

  struct charEnt {
    int base_offset;  // 1 + byte offset of the map in the store; 0 not rendered; -1 nothing
    int width, height;
    int advance;
    unsigned short charid;
  };
  // The record of a code, rendered or not; null when it has none.
  const charEnt* GetCharEnt(unsigned short code) const;
  // Renders a code's glyph into the cache; null when refused.
  const charEnt* RenderGlyph(unsigned short code);
  // The coverage map of a rendered record (width by height bytes), or null.
  const unsigned char* GetGlyphCoverage(const charEnt* ent) const {
    return ent && ent->base_offset > 0 ? m_cachestore.Get() + ent->base_offset - 1 : nullptr;
  }
  // Bytes of coverage held by the cache.
  int GetCacheSize() const { return m_cachestore.GetSize(); }

  static int _charSortFunc(const void* a, const void* b);

 private:
  charEnt* findChar(unsigned short code);
  bool useNative(RAS_IBitmap* bm, unsigned flags) const;
  int drawNativeToContext(RAS_IBitmap* bm, const char* text, int length, RECT* rect,
                          unsigned flags);
  int drawNativeViaScratch(RAS_IBitmap* bm, const char* text, int length, RECT* rect,
                           unsigned flags);
  int drawGlyphs(RAS_IBitmap* bm, const char* text, int length, RECT* rect, unsigned flags);
  // Walks the text from (x, y); draws when bm is set. Returns the extent across the text
  // direction; *along gets the extent along it.
  int walkText(RAS_IBitmap* bm, const char* text, int length, int x, int y, const RECT* clip,
               unsigned flags, int* along);

  RAS_pixel m_fg = 0;
  RAS_pixel m_bg = 0xffffffff;
  RAS_pixel m_effectcol = 0xffffffff;
  int m_bgmode = 0;
  int m_comb = 0;
  float m_alpha = 1.0f;
  int m_flags = 0;
  int m_line_height = 0;
  int m_lsadj = 0;
  charEnt m_lowchars[128];
  UTL_TypedBuf<charEnt> m_extracharlist;
  UTL_TypedBuf<unsigned char> m_cachestore;
  HFONT m_font = nullptr;
};
