#include "raster/RAS_Bitmap.h"

#include <climits>
#include <cstdlib>

namespace {

constexpr int kBlockAlign = 64;
constexpr int kSlack = kBlockAlign - 1;  // spare bytes that let the first pixel be aligned
// Larger row alignments are capped; 16 pixels already gives 64-byte rows.
constexpr unsigned int kMaxLineAlign = 16;

int alignMask(unsigned int align) {
  if (align < 2) return 0;
  unsigned int bit = align & (~align + 1);  // lowest set bit: 12 counts as 4
  if (bit > kMaxLineAlign) bit = kMaxLineAlign;
  return int(bit - 1);
}

}  // namespace

RAS_MemBitmap::RAS_MemBitmap(int w, int h, unsigned int linealign)
    : m_linealign(alignMask(linealign)) {
  if (w > 0 && h > 0) resize(w, h);
}

RAS_MemBitmap::~RAS_MemBitmap() { release(); }

void RAS_MemBitmap::release() {
  free(m_fb);
  m_fb = nullptr;
  m_allocsize = 0;
}

RAS_pixel* RAS_MemBitmap::getBits() {
  if (!m_fb) return nullptr;
  const uintptr_t p = (reinterpret_cast<uintptr_t>(m_fb) + kSlack) & ~uintptr_t(kSlack);
  return reinterpret_cast<RAS_pixel*>(p);
}

bool RAS_MemBitmap::resize(int w, int h) {
  if (w == m_width && h == m_height) return false;
  m_width = w;
  m_height = h;

  // The need is computed wide so that huge sizes are refused instead of wrapping around.
  long long need = 0;
  if (w > 0 && h > 0) need = (long long)h * (((long long)w + m_linealign) & ~m_linealign) * 4;
  if (need <= 0 || need > INT_MAX - kSlack) {
    release();
    m_width = m_height = 0;
    return true;
  }
  const int needed = int(need);

  if (m_fb && m_allocsize >= needed) return true;

  if (m_fb) {
    const long long grown = (long long)needed + needed / 4;
    void* p = grown <= INT_MAX - kSlack ? realloc(m_fb, size_t(grown) + kSlack) : nullptr;
    if (p) {
      m_fb = p;
      m_allocsize = int(grown);
      return true;
    }
    release();
  }
  m_fb = malloc(size_t(needed) + kSlack);
  m_allocsize = m_fb ? needed : 0;
  if (!m_fb) m_width = m_height = 0;
  return true;
}
