#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gdi/GdiTestSupport.h"
#include "platform/gdi/GDI.h"
#include "platform/gdi/GDI_Records.h"

using namespace gdi_test;

namespace {
// DejaVu Sans, in font units: ascender 1901, descender 483, no line gap, 2048 per em.
constexpr double kDejaVuAscent = 1901.0 / 2048, kDejaVuDescent = 483.0 / 2048;

bool EndsWith(const char* s, const char* suffix) {
  std::string t = s ? s : "";
  return t.size() >= strlen(suffix) &&
         t.compare(t.size() - strlen(suffix), strlen(suffix), suffix) == 0;
}
}  // namespace

TEST(GdiCreateFont, SizeRules) {
  EXPECT_EQ(gdi::FontSizeFromArgs(-12, 0), 12.0f);
  EXPECT_EQ(gdi::FontSizeFromArgs(12, 30), 12.0f);
  EXPECT_EQ(gdi::FontSizeFromArgs(0, -20), 20.0f);
  EXPECT_EQ(gdi::FontSizeFromArgs(0, 0), 10.0f);
  EXPECT_EQ(gdi::FontSizeFromArgs(1, 0), 10.0f);
  EXPECT_EQ(gdi::FontSizeFromArgs(2, 0), 2.0f);
  EXPECT_EQ(gdi::FontSizeFromArgs(8192, 0), 8192.0f);
  EXPECT_EQ(gdi::FontSizeFromArgs(9000, 0), 10.0f);
  EXPECT_EQ(gdi::FontSizeFromArgs(INT32_MIN, 0), 10.0f);

  HFONT f = MakeFont(-12);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(gdi::FontSizeOf(f), 12.0f);
  DeleteObject(f);
}

TEST(GdiCreateFont, StyleSuffixesSelectTheFace) {
  char text[1024];
  gdi::FontFaceText("Arial", 700, true, text, sizeof text);
  EXPECT_STREQ(text, "Arial Bold Italic");
  gdi::FontFaceText("Arial", 699, false, text, sizeof text);
  EXPECT_STREQ(text, "Arial");
  gdi::FontFaceText(nullptr, 400, true, text, sizeof text);
  EXPECT_STREQ(text, " Italic");
  const std::string longName(2000, 'x');
  gdi::FontFaceText(longName.c_str(), 900, false, text, sizeof text);
  EXPECT_EQ(std::string(text), std::string(899, 'x') + " Bold");

  struct Case {
    const char* face;
    int weight;
    bool italic;
    const char* file;
  } cases[] = {
      {"DejaVu Sans", 400, false, "/DejaVuSans.ttf"},
      {"DejaVu Sans", 700, false, "/DejaVuSans-Bold.ttf"},
      {"DejaVu Sans", 400, true, "/DejaVuSans-Oblique.ttf"},
      {"DejaVu Sans", 700, true, "/DejaVuSans-BoldOblique.ttf"},
      {"DejaVu Serif", 700, false, "/DejaVuSerif-Bold.ttf"},
      {"DejaVu Sans Mono", 400, false, "/DejaVuSansMono.ttf"},
  };
  for (const Case& c : cases) {
    HFONT f = MakeFont(-12, c.face, 4, c.weight, c.italic);
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(EndsWith(gdi::FontFileOf(f), c.file)) << c.face << " -> " << gdi::FontFileOf(f);
    DeleteObject(f);
  }
}

TEST(GdiCreateFont, UnknownFaceFallsBackToAWorkingFont) {
  HDC ctx = GDI_CreateMemContext(nullptr, 8, 8);
  HFONT f = MakeFont(-12, "No Such Face Anywhere 123");
  ASSERT_NE(f, nullptr);
  EXPECT_NE(std::string(gdi::FontFileOf(f)), "");
  SelectObject(ctx, f);
  TEXTMETRIC tm;
  ASSERT_EQ(GetTextMetrics(ctx, &tm), 1);
  EXPECT_GT(tm.tmAscent, 0);
  RECT r{0, 0, 0, 0};
  EXPECT_GT(GDI_DrawText(ctx, "abc", -1, &r, DT_CALCRECT), 0);
  EXPECT_GT(r.right, 0);
  DeleteObject(f);
  GDI_DeleteGfxContext(ctx);
}

TEST(GdiCreateFont, QualityAndIndirectForm) {
  for (int q : {0, 1, 2, 3, 4, 5, -1}) {
    HFONT f = MakeFont(-10, "DejaVu Sans", q);
    EXPECT_EQ(f->mQuality, (q == 3 || q == 4) ? q : 0) << q;
    DeleteObject(f);
  }
  LOGFONT lf{};
  lf.lfHeight = -15;
  lf.lfWeight = 700;
  lf.lfOrientation = 450;
  lf.lfQuality = 3;
  memset(lf.lfFaceName, 'z', sizeof lf.lfFaceName);  // unterminated: cut at the field's end
  HFONT f = CreateFontIndirect(&lf);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(std::string(gdi::FontFaceTextOf(f)), std::string(32, 'z') + " Bold");
  EXPECT_EQ(gdi::FontSizeOf(f), 15.0f);
  EXPECT_EQ(f->mAngle, 45.0f);
  EXPECT_EQ(f->mQuality, 3);
  DeleteObject(f);
  EXPECT_EQ(CreateFontIndirect(nullptr), nullptr);
}

TEST(GdiObjects, SelectObjectSlotsAndPseudoHandles) {
  HDC ctx = GDI_CreateMemContext(nullptr, 4, 4);
  HFONT a = MakeFont(-12), b = MakeFont(-14);
  const HGDIOBJ fontPseudo = (HGDIOBJ)(uintptr_t)GDI_OBJ_FONT;

  EXPECT_EQ(SelectObject(ctx, a), fontPseudo);  // empty slot: the type number
  EXPECT_EQ(SelectObject(ctx, a), a);           // already selected
  EXPECT_EQ(SelectObject(ctx, b), a);
  EXPECT_EQ(SelectObject(ctx, fontPseudo), b);  // empties the slot
  EXPECT_EQ(SelectObject(ctx, fontPseudo), fontPseudo);
  EXPECT_EQ(SelectObject(ctx, (HGDIOBJ)(uintptr_t)GDI_OBJ_BITMAP), nullptr);
  EXPECT_EQ(SelectObject(ctx, nullptr), nullptr);
  EXPECT_EQ(SelectObject(nullptr, a), nullptr);

  // A deleted font leaves its slot; what follows sees an empty slot, not a stale record.
  SelectObject(ctx, a);
  DeleteObject(a);
  DeleteObject(a);                           // twice: ignored
  EXPECT_EQ(SelectObject(ctx, a), nullptr);  // dead objects cannot be selected
  HFONT c = MakeFont(-16);                   // may reuse a's record
  EXPECT_EQ(SelectObject(ctx, c), fontPseudo);

  GDI_DeleteGfxContext(ctx);
  EXPECT_EQ(SelectObject(ctx, b), nullptr);  // dead context
  DeleteObject(b);
  DeleteObject(c);
  DeleteObject((HGDIOBJ)(uintptr_t)3);  // pseudo-handles are never released
}

TEST(GdiObjects, PoolKeepsAtMostTwoHundredDeadObjects) {
  std::vector<HFONT> fonts;
  for (int i = 0; i < 201; ++i) fonts.push_back(MakeFont(-10));
  EXPECT_EQ(GDI_GetPooledObjectCount(), 0);
  for (HFONT f : fonts) DeleteObject(f);
  EXPECT_EQ(GDI_GetPooledObjectCount(), 200);
}

TEST(GdiObjects, ColoursAndModesOnLiveAndDeadContexts) {
  HDC ctx = GDI_CreateMemContext(nullptr, 4, 4);
  EXPECT_EQ(GetTextColor(ctx), 0);
  EXPECT_EQ(SetTextColor(ctx, GDI_RGB(1, 2, 3)), 0);
  EXPECT_EQ(GetTextColor(ctx), 0x010203);
  EXPECT_EQ(SetBkColor(ctx, 0xabcdef), 0);
  EXPECT_EQ(GetBkColor(ctx), 0xabcdef);
  EXPECT_EQ(SetBkMode(ctx, 1), 0);
  EXPECT_EQ(GetBkMode(ctx), 1);
  GDI_DeleteGfxContext(ctx);
  EXPECT_EQ(GetTextColor(ctx), -1);
  EXPECT_EQ(SetTextColor(ctx, 5), -1);
  EXPECT_EQ(GetTextColor(nullptr), -1);
  EXPECT_EQ(SetBkMode(ctx, 1), 0);
}

TEST(GdiTextMetrics, DefaultsDerivedHeightAndDeadContexts) {
  TEXTMETRIC tm{};
  HDC ctx = GDI_CreateMemContext(nullptr, 4, 4);
  GDI_DeleteGfxContext(ctx);
  EXPECT_EQ(GetTextMetrics(ctx, &tm), 0);
  EXPECT_EQ(tm.tmHeight, 16);
  EXPECT_EQ(tm.tmAscent, 12);
  EXPECT_EQ(tm.tmDescent, 4);
  EXPECT_EQ(tm.tmInternalLeading, 3);
  EXPECT_EQ(tm.tmAveCharWidth, 10);
  EXPECT_EQ(GetTextMetrics(nullptr, &tm), 0);

  ctx = GDI_CreateMemContext(nullptr, 4, 4);
  EXPECT_EQ(GetTextMetrics(ctx, nullptr), 0);
  for (int size : {12, 24, 100}) {
    HFONT f = MakeFont(-size);
    SelectObject(ctx, f);
    ASSERT_EQ(GetTextMetrics(ctx, &tm), 1);
    const int ascent = (int)(kDejaVuAscent * size), descent = (int)(kDejaVuDescent * size);
    EXPECT_EQ(tm.tmAscent, ascent) << size;
    EXPECT_EQ(tm.tmDescent, descent) << size;
    EXPECT_EQ(tm.tmInternalLeading, 0) << size;
    EXPECT_EQ(tm.tmHeight, ascent + descent + 1) << size;
    EXPECT_EQ(tm.tmAveCharWidth, (ascent + descent) * 2 / 3) << size;
    SelectObject(ctx, (HGDIOBJ)(uintptr_t)GDI_OBJ_FONT);
    DeleteObject(f);
  }
  // No font selected: the default font answers.
  EXPECT_EQ(GetTextMetrics(ctx, &tm), 1);
  EXPECT_GT(tm.tmHeight, 1);
  GDI_DeleteGfxContext(ctx);
}
