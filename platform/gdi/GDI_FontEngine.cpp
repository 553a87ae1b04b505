// FreeType faces found with fontconfig: the platform fonts behind font objects.

#include "platform/gdi/GDI_FontEngine.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/UTL_Mutex.h"

#if defined(__SANITIZE_ADDRESS__)
// fontconfig keeps small allocations of its own until exit without a pointer the leak checker
// can see; they are not ours to free.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
#endif

namespace gdi {
namespace {

// Process-lifetime objects are never destroyed: fonts released by other static objects at
// exit still reach them.
std::mutex& LibraryLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}

// Faces are opened and closed under the library lock; drawing with distinct faces needs none.
FT_Library Library() {
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
    return lib;
  }();
  return library;
}

bool StripSuffix(std::string& text, const char* suffix) {
  const size_t n = std::strlen(suffix);
  if (text.size() < n || text.compare(text.size() - n, n, suffix) != 0) return false;
  text.resize(text.size() - n);
  return true;
}

FontFile Resolve(const std::string& faceText) {
  std::string family = faceText;
  const bool italic = StripSuffix(family, " Italic");
  const bool bold = StripSuffix(family, " Bold");

  FontFile file;
  if (!FcInit()) return file;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return file;
  // A family that matches nothing leaves fontconfig's best guess: its default sans face.
  FcPatternAddString(
      pattern, FC_FAMILY,
      reinterpret_cast<const FcChar8*>(family.empty() ? "sans-serif" : family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  if (match) {
    FcChar8* path = nullptr;
    int index = 0;
    if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path) {
      file.path = reinterpret_cast<const char*>(path);
      if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) file.index = index;
    }
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return file;
}

struct NameCacheEntry {
  std::string faceText;
  FontFile file;
};

UTL_Mutex& s_fontnamecache_mutex() {
  static UTL_Mutex* mutex = new UTL_Mutex;
  return *mutex;
}
std::vector<NameCacheEntry>& s_fontnamecache() {  // sorted by face text
  static auto* cache = new std::vector<NameCacheEntry>;
  return *cache;
}

void ComputeMetrics(GDI_PlatformFont* font) {
  FT_Face face = font->mFace;
  if (FT_IS_SCALABLE(face) && face->units_per_EM > 0) {
    const double scale = font->mSize / face->units_per_EM;
    font->mAscent = face->ascender * scale;
    font->mDescent = -face->descender * scale;
    font->mLeading = std::max(0.0, (face->height - face->ascender + face->descender) * scale);
  } else {
    const FT_Size_Metrics& m = face->size->metrics;
    font->mAscent = m.ascender / 64.0;
    font->mDescent = -m.descender / 64.0;
    font->mLeading = std::max(0.0, (m.height - m.ascender + m.descender) / 64.0);
  }
}

void Render(GDI_PlatformFont* font, uint32_t code, bool mono, Glyph& glyph) {
  glyph = Glyph();
  FT_Face face = font->mFace;
  const FT_UInt index = FT_Get_Char_Index(face, code);
  // Mono text is fully hinted to the pixel grid; anti-aliased text only vertically, which
  // keeps stems crisp without moving glyphs off their unhinted advances.
  const FT_Int32 load = mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_LIGHT;
  if (FT_Load_Glyph(face, index, load) != 0) return;
  glyph.advance = face->glyph->linearHoriAdvance / 65536.0;
  if (FT_Render_Glyph(face->glyph, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return;
  const FT_Bitmap& bm = face->glyph->bitmap;
  if (bm.width == 0 || bm.rows == 0) return;
  if (bm.pixel_mode != FT_PIXEL_MODE_MONO && bm.pixel_mode != FT_PIXEL_MODE_GRAY) return;
  glyph.left = face->glyph->bitmap_left;
  glyph.top = face->glyph->bitmap_top;
  glyph.width = (int)bm.width;
  glyph.height = (int)bm.rows;
  glyph.coverage.resize((size_t)glyph.width * glyph.height);
  for (int y = 0; y < glyph.height; ++y) {
    const unsigned char* row = bm.buffer + (ptrdiff_t)y * bm.pitch;
    uint8_t* out = glyph.coverage.data() + (size_t)y * glyph.width;
    for (int x = 0; x < glyph.width; ++x) {
      if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
        out[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
      else
        out[x] = bm.num_grays == 256 ? row[x] : (uint8_t)(row[x] * 255 / (bm.num_grays - 1));
    }
  }
}

// Glyphs larger than this are drawn from scratch each time rather than kept.
constexpr int kMaxCachedGlyphPixels = 256 * 256;
constexpr size_t kMaxCachedGlyphs = 4096;

}  // namespace

FontFile MatchFontFace(const std::string& faceText) {
  UTL_MutexLock lock(s_fontnamecache_mutex());
  std::vector<NameCacheEntry>& cache = s_fontnamecache();
  auto it = std::lower_bound(
      cache.begin(), cache.end(), faceText,
      [](const NameCacheEntry& e, const std::string& key) { return e.faceText < key; });
  if (it != cache.end() && it->faceText == faceText) return it->file;
  FontFile file = Resolve(faceText);
  cache.insert(it, NameCacheEntry{faceText, file});
  return file;
}

GDI_PlatformFont* CreatePlatformFont(const std::string& faceText, float size) {
  FontFile file = MatchFontFace(faceText);
  if (file.path.empty()) return nullptr;
  FT_Face face = nullptr;
  {
    std::lock_guard<std::mutex> lock(LibraryLock());
    FT_Library lib = Library();
    if (!lib || FT_New_Face(lib, file.path.c_str(), file.index, &face) != 0) return nullptr;
    if (FT_Set_Char_Size(face, 0, (FT_F26Dot6)std::lround(size * 64.0), 72, 72) != 0) {
      FT_Done_Face(face);
      return nullptr;
    }
  }
  auto* font = new GDI_PlatformFont;
  font->mFace = face;
  font->mSize = size;
  font->mFaceText = faceText;
  font->mFile = file;
  ComputeMetrics(font);
  return font;
}

void DestroyPlatformFont(GDI_PlatformFont* font) {
  if (!font) return;
  {
    std::lock_guard<std::mutex> lock(LibraryLock());
    FT_Done_Face(font->mFace);
  }
  delete font;
}

GDI_PlatformFont* DefaultFont() {
  static GDI_PlatformFont* deffr = CreatePlatformFont("", 10.0f);
  return deffr;
}

const Glyph& GetGlyph(GDI_PlatformFont* font, uint32_t code, bool mono, Glyph& scratch) {
  auto& cache = font->mGlyphs[mono ? 1 : 0];
  auto it = cache.find(code);
  if (it != cache.end()) return it->second;
  Render(font, code, mono, scratch);
  if (cache.size() >= kMaxCachedGlyphs || scratch.width * scratch.height > kMaxCachedGlyphPixels)
    return scratch;
  return cache.emplace(code, std::move(scratch)).first->second;
}

double GetAdvance(GDI_PlatformFont* font, uint32_t code) {
  auto it = font->mAdvances.find(code);
  if (it != font->mAdvances.end()) return it->second;
  double advance = 0;
  FT_Face face = font->mFace;
  if (FT_Load_Glyph(face, FT_Get_Char_Index(face, code), FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) ==
      0)
    advance = face->glyph->linearHoriAdvance / 65536.0;
  if (font->mAdvances.size() < kMaxCachedGlyphs) font->mAdvances.emplace(code, advance);
  return advance;
}

}  // namespace gdi
