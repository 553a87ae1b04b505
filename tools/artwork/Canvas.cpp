#include "tools/artwork/Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "tools/artwork/Glyphs.h"

namespace artwork {

namespace {

RAS_pixel Pack(const Rgba& c) {
  auto channel = [](float v) { return (RAS_pixel)std::lround(std::clamp(v, 0.0f, 1.0f) * 255); };
  return channel(c.a) | channel(c.r) << 8 | channel(c.g) << 16 | channel(c.b) << 24;
}

Rgba Unpack(RAS_pixel p) {
  return {((p >> 8) & 255) / 255.0f, ((p >> 16) & 255) / 255.0f, ((p >> 24) & 255) / 255.0f,
          (p & 255) / 255.0f};
}

}  // namespace

Rgba Hex(unsigned rgb, float alpha) {
  return {((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f, (rgb & 255) / 255.0f, alpha};
}

Rgba Mix(const Rgba& a, const Rgba& b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
          a.a + (b.a - a.a) * t};
}

Canvas::Canvas(int w, int h) : mBitmap(w, h, 4) { RAS_Clear(&mBitmap, 0); }

void Canvas::Blend(int x, int y, const Rgba& color, float coverage) {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  float sa = std::clamp(color.a * coverage, 0.0f, 1.0f);
  if (sa <= 0) return;
  RAS_pixel* p = mBitmap.getBits() + (size_t)y * mBitmap.getRowSpan() + x;
  Rgba d = Unpack(*p);
  float oa = sa + d.a * (1 - sa);
  Rgba o;
  o.a = oa;
  o.r = (color.r * sa + d.r * d.a * (1 - sa)) / oa;
  o.g = (color.g * sa + d.g * d.a * (1 - sa)) / oa;
  o.b = (color.b * sa + d.b * d.a * (1 - sa)) / oa;
  *p = Pack(o);
}

void Canvas::Paint(int x0, int y0, int x1, int y1,
                   const std::function<float(float, float)>& distance,
                   const std::function<Rgba(float, float)>& shade) {
  for (int y = std::max(y0, 0); y < std::min(y1, Height()); ++y) {
    for (int x = std::max(x0, 0); x < std::min(x1, Width()); ++x) {
      float px = x + 0.5f, py = y + 0.5f;
      float coverage = std::clamp(0.5f - distance(px, py), 0.0f, 1.0f);
      if (coverage > 0) Blend(x, y, shade(px, py), coverage);
    }
  }
}

void Canvas::Paint(int x0, int y0, int x1, int y1,
                   const std::function<float(float, float)>& distance, const Rgba& color) {
  Paint(x0, y0, x1, y1, distance, [&](float, float) { return color; });
}

void Canvas::FillRect(int x, int y, int w, int h, const Rgba& color) {
  // Solid colours overwrite; translucent ones are weighted by their alpha.
  int mode = color.a >= 1.0f ? BLIT_COPY : BLIT_COPY | BLIT_FLAG_SOURCE_ALPHA;
  RAS_FillRect(&mBitmap, x, y, w, h, Pack(color), 1.0f, mode);
}

void Canvas::FillGradient(int x, int y, int w, int h, const Rgba& top, const Rgba& bottom) {
  float steps = h > 1 ? (float)(h - 1) : 1.0f;
  RAS_GradRect(&mBitmap, x, y, w, h, top.r, top.g, top.b, top.a, 0, 0, 0, 0,
               (bottom.r - top.r) / steps, (bottom.g - top.g) / steps, (bottom.b - top.b) / steps,
               (bottom.a - top.a) / steps, BLIT_COPY);
}

void Canvas::Text(int x, int y, const char* text, const Rgba& color, int scale) {
  for (const char* c = text; *c; ++c, x += kGlyphWidth * scale) {
    for (int gy = 0; gy < kGlyphHeight; ++gy) {
      for (int gx = 0; gx < kGlyphWidth; ++gx) {
        if (!GlyphPixel((unsigned char)*c, gx, gy)) continue;
        for (int s = 0; s < scale * scale; ++s) {
          Blend(x + gx * scale + s % scale, y + gy * scale + s / scale, color, 1.0f);
        }
      }
    }
  }
}

int Canvas::TextWidth(const char* text, int scale) {
  return (int)std::strlen(text) * kGlyphWidth * scale;
}

float CircleDistance(float px, float py, float cx, float cy, float r) {
  return std::hypot(px - cx, py - cy) - r;
}

float RingDistance(float px, float py, float cx, float cy, float r, float halfWidth) {
  return std::fabs(std::hypot(px - cx, py - cy) - r) - halfWidth;
}

float SegmentDistance(float px, float py, float ax, float ay, float bx, float by, float halfWidth) {
  float dx = bx - ax, dy = by - ay;
  float len2 = dx * dx + dy * dy;
  float t = len2 > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / len2, 0.0f, 1.0f) : 0.0f;
  return std::hypot(px - (ax + t * dx), py - (ay + t * dy)) - halfWidth;
}

float RoundRectDistance(float px, float py, float x0, float y0, float x1, float y1, float radius) {
  float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  float hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
  float qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
  float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
  return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float ArcDistance(float px, float py, float cx, float cy, float r, float halfWidth, float from,
                  float to) {
  float angle = std::atan2(px - cx, cy - py);  // 0 up, clockwise positive
  if (angle >= from && angle <= to) return RingDistance(px, py, cx, cy, r, halfWidth);
  auto end = [&](float a) {
    float ex = cx + r * std::sin(a), ey = cy - r * std::cos(a);
    return std::hypot(px - ex, py - ey) - halfWidth;
  };
  return std::min(end(from), end(to));
}

}  // namespace artwork
