#include <gtest/gtest.h>

#include "platform/gdi/GDI_Records.h"
#include "raster/Raster.h"
#include "raster/TextTestUtil.h"

using namespace text_test;

namespace {

constexpr int kOwned = RAS_FONT_FLAG_OWNS_HFONT;

struct Bitmap : RAS_MemBitmap {
  Bitmap(int w = 160, int h = 60) : RAS_MemBitmap(w, h) { RAS_Clear(this, kWhite); }
};

int Draw(RAS_CachedFont& font, RAS_IBitmap* bm, const char* text, RECT r = RECT{0, 0, 160, 60},
         unsigned flags = 0) {
  return font.DrawText(bm, text, -1, &r, flags);
}

}  // namespace

TEST(TextCachedFont, StartsEmptyWithItsDefaults) {
  RAS_CachedFont font;
  EXPECT_EQ(font.GetTextColor(), 0u);
  EXPECT_EQ(font.GetHFont(), nullptr);
  EXPECT_EQ(font.SetBkColor(1), 0xffffffffu);
  EXPECT_EQ(font.SetEffectColor(2), 0xffffffffu);
  EXPECT_EQ(font.SetBkMode(1), 0);
  EXPECT_EQ(font.SetTextColor(7), 0u);
  EXPECT_EQ(font.SetTextColor(8), 7u);
  EXPECT_EQ(font.GetCacheSize(), 0);
}

TEST(TextCachedFont, LineHeightComesFromTheFontMetrics) {
  HDC dc = GDI_CreateMemContext(nullptr, 4, 4);
  for (int size : {10, 12, 40}) {
    HFONT h = Face(-size);
    TEXTMETRIC tm;
    SelectObject(dc, h);
    GetTextMetrics(dc, &tm);
    SelectObject(dc, (HGDIOBJ)(uintptr_t)GDI_OBJ_FONT);
    RAS_CachedFont font;
    font.SetFromHFont(h, kOwned);
    EXPECT_EQ(font.GetLineHeight(), tm.tmHeight) << size;
    EXPECT_EQ(font.GetHFont(), h);
  }
  GDI_DeleteGfxContext(dc);
}

TEST(TextCachedFont, OwnedHandlesAreDeletedWhenReplacedOrDestroyed) {
  HFONT a = Face(-12), b = Face(-14), c = Face(-16);
  {
    RAS_CachedFont font;
    font.SetFromHFont(a, kOwned);
    font.SetFromHFont(a, kOwned);  // the same handle again stays
    EXPECT_TRUE(gdi::IsLiveObject(a));
    font.SetFromHFont(b, 0);
    EXPECT_FALSE(gdi::IsLiveObject(a));
    font.SetFromHFont(c, kOwned);  // b was not owned
    EXPECT_TRUE(gdi::IsLiveObject(b));
  }
  EXPECT_FALSE(gdi::IsLiveObject(c));
  EXPECT_TRUE(gdi::IsLiveObject(b));
  DeleteObject(b);
}

TEST(TextCachedFont, AGlyphIsRenderedOnceAndReused) {
  RAS_CachedFont font;
  font.SetFromHFont(Face(-12), kOwned);
  Bitmap bm;
  EXPECT_EQ(font.GetCharEnt('A')->base_offset, 0);
  Draw(font, &bm, "AA");
  const RAS_CachedFont::charEnt* a = font.GetCharEnt('A');
  ASSERT_GT(a->base_offset, 0);
  EXPECT_EQ(font.GetCacheSize(), a->width * a->height);
  const int offset = a->base_offset;
  Draw(font, &bm, "A");
  EXPECT_EQ(font.GetCacheSize(), a->width * a->height);
  EXPECT_EQ(font.GetCharEnt('A')->base_offset, offset);
  Draw(font, &bm, "B");
  EXPECT_GT(font.GetCacheSize(), a->width * a->height);

  // Codes above 127 get extra records, kept sorted for the look-up.
  Draw(font, &bm, "\xe2\x82\xac\xc3\xa9\xc3\xa4");  // euro, e acute, a umlaut
  for (unsigned short code : {0x20ac, 0xe9, 0xe4}) {
    ASSERT_NE(font.GetCharEnt(code), nullptr) << code;
    EXPECT_GT(font.GetCharEnt(code)->base_offset, 0) << code;
    EXPECT_EQ(font.GetCharEnt(code)->charid, code);
  }
  EXPECT_EQ(font.GetCharEnt(0x20ad), nullptr);

  // Rebinding empties the cache.
  font.SetFromHFont(Face(-13), kOwned);
  EXPECT_EQ(font.GetCacheSize(), 0);
  EXPECT_EQ(font.GetCharEnt(0xe9), nullptr);
  EXPECT_EQ(font.GetCharEnt('A')->base_offset, 0);
}

TEST(TextCachedFont, FixedCacheRendersAsciiAtOnceAndNothingElse) {
  RAS_CachedFont font;
  font.SetFromHFont(Face(-12), kOwned | RAS_FONT_FLAG_FIXEDCACHE);
  for (int c = 0; c < 128; ++c) EXPECT_NE(font.GetCharEnt((unsigned short)c)->base_offset, 0) << c;
  EXPECT_GT(font.GetCharEnt('x')->base_offset, 0);
  EXPECT_EQ(font.GetCharEnt(0)->base_offset, -1);  // nothing to draw
  const int size = font.GetCacheSize();

  Bitmap bm;
  RECT r{0, 0, 160, 60};
  font.DrawText(&bm, "\xc3\xa9", -1, &r, 0);
  EXPECT_EQ(font.GetCharEnt(0xe9), nullptr);
  EXPECT_TRUE(Empty(InkBox(&bm)));
  EXPECT_EQ(font.GetCacheSize(), size);
  // The skipped character takes no room: "a" + e acute + "b" measures as "ab".
  RECT m1{0, 0, 0, 0}, m2{0, 0, 0, 0};
  font.DrawText(nullptr,
                "a\xc3\xa9"
                "b",
                -1, &m1, DT_CALCRECT);
  font.DrawText(nullptr, "ab", -1, &m2, DT_CALCRECT);
  EXPECT_EQ(m1.right, m2.right);
}

TEST(TextCachedFont, LineHeightLimits) {
  // Above 1023 no glyph is ever rendered, fixed cache or not.
  RAS_CachedFont huge;
  huge.SetFromHFont(Face(-1000), kOwned | RAS_FONT_FLAG_FIXEDCACHE);
  ASSERT_GT(huge.GetLineHeight(), 1023);
  EXPECT_EQ(huge.GetCacheSize(), 0);
  EXPECT_EQ(huge.GetCharEnt('A')->base_offset, 0);
  EXPECT_EQ(huge.RenderGlyph('A'), nullptr);

  // From 256 on, text is drawn natively even with glyph-only flags: the cache stays empty.
  RAS_CachedFont big;
  big.SetFromHFont(Face(-300), kOwned | RAS_FONT_FLAG_MONO);
  ASSERT_GE(big.GetLineHeight(), 256);
  RAS_MemBitmap bm(400, 400);
  RAS_Clear(&bm, kWhite);
  RECT r{0, 0, 400, 400};
  EXPECT_GT(big.DrawText(&bm, "W", -1, &r, 0), 256);
  EXPECT_EQ(big.GetCacheSize(), 0);
  EXPECT_FALSE(Empty(InkBox(&bm)));
}

TEST(TextCachedFont, NormalRendererBlendsByCoverage) {
  // Background alpha 0 shows the alpha byte moving toward 255 by the same share.
  const RAS_pixel bg = RAS_RGBA(200, 100, 50, 0);
  const int fr = 10, fg = 220, fb = 90;
  for (float alpha : {1.0f, 0.5f, 0.3f}) {
    RAS_CachedFont font;
    font.SetFromHFont(Face(-16), kOwned);
    font.SetTextColor(RAS_RGBA(fr, fg, fb, 0x40));  // the colour's alpha byte is not used
    font.SetCombineMode(BLIT_COPY, alpha);
    RAS_MemBitmap bm(60, 40);
    RAS_Clear(&bm, bg);
    RECT r{3, 2, 60, 40};
    font.DrawText(&bm, "W", -1, &r, 0);
    const RAS_CachedFont::charEnt* e = font.GetCharEnt('W');
    const unsigned char* cov = font.GetGlyphCoverage(e);
    ASSERT_NE(cov, nullptr);
    const int weight = (int)(alpha * 256);
    int inked = 0;
    for (int y = 0; y < e->height; ++y)
      for (int x = 0; x < e->width; ++x) {
        const int c = cov[y * e->width + x];
        const RAS_pixel got = Pix(&bm, 3 + x, 2 + y);
        if (c == 0) {
          ASSERT_EQ(got, bg);
          continue;
        }
        ++inked;
        int w = weight == 256 ? c + 1 : weight * c / 256;
        if (w > 256) w = 256;
        if (w < 1) {
          ASSERT_EQ(got, bg);
          continue;
        }
        auto mix = [&](int d, int s) { return s + (d - s) * (256 - w) / 256; };
        ASSERT_EQ(got, RAS_RGBA(mix(200, fr), mix(100, fg), mix(50, fb), mix(0, 255)))
            << x << "," << y << " c=" << c << " alpha=" << alpha;
      }
    EXPECT_GT(inked, 20);
    EXPECT_TRUE(Empty(InkBox(&bm, bg)) == false);
  }
}

TEST(TextCachedFont, AddModeAndZeroWeight) {
  RAS_CachedFont font;
  font.SetFromHFont(Face(-16), kOwned);
  font.SetTextColor(RAS_RGBA(100, 0, 0, 255));
  font.SetCombineMode(BLIT_ADD, 1.0f);
  RAS_MemBitmap bm(40, 30);
  const RAS_pixel bg = RAS_RGBA(200, 10, 10, 255);
  RAS_Clear(&bm, bg);
  RECT r{0, 0, 40, 30};
  font.DrawText(&bm, "H", -1, &r, 0);
  const RAS_CachedFont::charEnt* e = font.GetCharEnt('H');
  const unsigned char* cov = font.GetGlyphCoverage(e);
  for (int y = 0; y < e->height; ++y)
    for (int x = 0; x < e->width; ++x) {
      const int c = cov[y * e->width + x];
      if (!c) continue;
      const int w = c + 1;
      ASSERT_EQ(Pix(&bm, x, y), RAS_RGBA(std::min(255, 200 + 100 * w / 256), 10, 10, 255));
    }

  // Copy mode below weight 1 draws nothing; unknown modes draw nothing.
  RAS_Clear(&bm, bg);
  font.SetCombineMode(BLIT_COPY, 0.001f);
  font.DrawText(&bm, "H", -1, &r, 0);
  font.SetCombineMode(7, 1.0f);
  font.DrawText(&bm, "H", -1, &r, 0);
  EXPECT_TRUE(Empty(InkBox(&bm, bg)));
}

TEST(TextCachedFont, MonoAndEffectRenderers) {
  const RAS_pixel fg = RAS_RGBA(0, 0, 0, 255), fx = RAS_RGBA(255, 0, 0, 255);
  {
    RAS_CachedFont mono;
    mono.SetFromHFont(Face(-14), kOwned | RAS_FONT_FLAG_MONO);
    mono.SetTextColor(fg);
    Bitmap bm;
    Draw(mono, &bm, "Mono 42");
    EXPECT_EQ(Distinct(&bm), (std::set<RAS_pixel>{kWhite, fg}));
    const RAS_CachedFont::charEnt* e = mono.GetCharEnt('M');
    const unsigned char* cov = mono.GetGlyphCoverage(e);
    for (int i = 0; i < e->width * e->height; ++i) ASSERT_TRUE(cov[i] == 0 || cov[i] == 255);
  }
  for (int effect : {RAS_FONT_FLAG_FX_SHADOW, RAS_FONT_FLAG_FX_OUTLINE}) {
    RAS_CachedFont font;
    font.SetFromHFont(Face(-14), kOwned | effect);
    font.SetTextColor(fg);
    font.SetEffectColor(fx);
    Bitmap bm;
    Draw(font, &bm, "Fx");
    EXPECT_EQ(Distinct(&bm), (std::set<RAS_pixel>{kWhite, fg, fx})) << effect;
    const RAS_CachedFont::charEnt* e = font.GetCharEnt('F');
    const unsigned char* cov = font.GetGlyphCoverage(e);
    auto set = [&](int x, int y) {
      return x >= 0 && y >= 0 && x < e->width && y < e->height && cov[y * e->width + x] == 255;
    };
    int outline = 0;
    for (int y = 0; y < e->height; ++y)
      for (int x = 0; x < e->width; ++x) {
        const int c = cov[y * e->width + x];
        ASSERT_TRUE(c == 0 || c == 128 || c == 255);
        const bool toUpperLeft = set(x - 1, y) || set(x, y - 1) || set(x - 1, y - 1);
        const bool anySide = set(x - 1, y) || set(x + 1, y) || set(x, y - 1) || set(x, y + 1);
        const bool expected = effect == RAS_FONT_FLAG_FX_SHADOW ? toUpperLeft : anySide;
        if (c != 255) {
          ASSERT_EQ(c == 128, expected) << x << "," << y;
          outline += c == 128;
        }
      }
    EXPECT_GT(outline, 10);
  }
}

TEST(TextCachedFont, InvertAndBlurChangeTheMaps) {
  RAS_CachedFont plain, inverted, blurred;
  plain.SetFromHFont(Face(-14), kOwned);
  inverted.SetFromHFont(Face(-14), kOwned | RAS_FONT_FLAG_INVERT);
  blurred.SetFromHFont(Face(-14), kOwned | RAS_FONT_FLAG_BLUR);
  const auto* p = plain.RenderGlyph('o');
  const auto* i = inverted.RenderGlyph('o');
  const auto* b = blurred.RenderGlyph('o');
  ASSERT_TRUE(p && i && b);
  ASSERT_EQ(p->height, i->height);
  EXPECT_EQ(p->advance, i->advance);
  const unsigned char* pc = plain.GetGlyphCoverage(p);
  const unsigned char* ic = inverted.GetGlyphCoverage(i);
  // Inverted coverage spills over the whole area, so its map is at least as wide.
  ASSERT_GE(i->width, p->width);
  for (int y = 0; y < p->height; ++y)
    for (int x = 0; x < p->width; ++x) ASSERT_EQ(ic[y * i->width + x], 255 - pc[y * p->width + x]);
  // Blurring spreads ink: more non-zero pixels than the plain map.
  auto inked = [](const RAS_CachedFont& f, const RAS_CachedFont::charEnt* e) {
    int n = 0;
    for (int k = 0; k < e->width * e->height; ++k) n += f.GetGlyphCoverage(e)[k] != 0;
    return n;
  };
  EXPECT_GT(inked(blurred, b), inked(plain, p));
}

TEST(TextCachedFont, VerticalGlyphsAreTurned) {
  RAS_CachedFont across, down, up;
  across.SetFromHFont(Face(-14), kOwned);
  down.SetFromHFont(Face(-14), kOwned | RAS_FONT_FLAG_VERTICAL);
  up.SetFromHFont(Face(-14), kOwned | RAS_FONT_FLAG_VERTICAL | RAS_FONT_FLAG_VERTICAL_UP);
  const auto* h = across.RenderGlyph('L');
  const auto* d = down.RenderGlyph('L');
  const auto* u = up.RenderGlyph('L');
  ASSERT_TRUE(h && d && u);
  EXPECT_EQ(d->width, h->height);
  EXPECT_EQ(d->height, h->width);
  const unsigned char* hc = across.GetGlyphCoverage(h);
  const unsigned char* dc = down.GetGlyphCoverage(d);
  const unsigned char* uc = up.GetGlyphCoverage(u);
  for (int y = 0; y < h->height; ++y)
    for (int x = 0; x < h->width; ++x) {
      const int v = hc[y * h->width + x];
      ASSERT_EQ(dc[x * d->width + (h->height - 1 - y)], v);  // clockwise
      ASSERT_EQ(uc[(h->width - 1 - x) * u->width + y], v);   // counter-clockwise
    }

  // Measuring vertical text: the return is its width, the advances run down.
  RECT mh{0, 0, 0, 0}, mv{0, 0, 0, 0};
  const int hh = across.DrawText(nullptr, "LLL", -1, &mh, DT_CALCRECT);
  const int vw = down.DrawText(nullptr, "LLL", -1, &mv, DT_CALCRECT);
  EXPECT_EQ(vw, hh);
  EXPECT_EQ(mv.right, mh.bottom);
  EXPECT_EQ(mv.bottom, 3 * h->advance);

  // Downward text's ink starts at the top, upward text's ink ends at the rectangle's top
  // plus its length.
  Bitmap bm(60, 160);
  RECT r{10, 10, 60, 160};
  down.DrawText(&bm, "LLL", -1, &r, 0);
  const RECT inkDown = InkBox(&bm);
  RAS_Clear(&bm, kWhite);
  up.DrawText(&bm, "LLL", -1, &r, 0);
  const RECT inkUp = InkBox(&bm);
  EXPECT_GE(inkDown.top, 10);
  EXPECT_LE(inkDown.bottom, 10 + 3 * h->advance);
  EXPECT_GE(inkUp.top, 10);
  EXPECT_LE(inkUp.bottom, 10 + 3 * h->advance);
  EXPECT_GT(inkUp.bottom - inkUp.top, 2 * h->advance);
}
