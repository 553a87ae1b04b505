#include "raster/RAS_SysBitmap.h"

#include <climits>

RAS_SysBitmap::RAS_SysBitmap(int w, int h) { resize(w, h); }

RAS_SysBitmap::~RAS_SysBitmap() {
  if (m_dc) GDI_DeleteGfxContext(m_dc);
}

bool RAS_SysBitmap::resize(int w, int h) {
  if (w == m_width && h == m_height) return false;
  m_width = w;
  m_height = h;

  // A smaller size reuses the context; the span stays the allocated width.
  if (w > 0 && h > 0 && m_allocw >= w && m_alloch >= h && m_bits) {
    if (isFlipped())
      m_bits = static_cast<RAS_pixel*>(GDI_GetCtxFrameBuffer(m_dc)) +
               (long long)(m_alloch - h) * m_allocw;
    return true;
  }

  // Widths beyond the int range once rounded give no context rather than a wrapped size.
  m_allocw = w > 0 && w <= INT_MAX - 3 ? (w + 3) & ~3 : 0;
  m_alloch = h;
  if (m_dc) GDI_DeleteGfxContext(m_dc);
  m_dc = nullptr;
  m_bits = nullptr;
  // Without pixels the bitmap keeps the stored size and null bits, which every operation
  // treats as nothing to draw. The old buffer is gone, so callers must hear of the change.
  if (h <= 0 || m_allocw <= 0) return true;

  m_dc = GDI_CreateMemContext(nullptr, m_allocw, h);
  if (m_dc) m_bits = static_cast<RAS_pixel*>(GDI_GetCtxFrameBuffer(m_dc));
  if (!m_bits) {
    if (m_dc) GDI_DeleteGfxContext(m_dc);
    m_dc = nullptr;
    m_width = m_height = 0;
    m_allocw = m_alloch = 0;
  }
  return true;
}
