// Owned surfaces, and setting and reading their 16-bit pixels.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/video/ddraw.h"

struct SurfaceReleaser {
  void operator()(Surface* s) const {
    if (s) s->Release();
  }
};
using SurfacePtr = std::unique_ptr<Surface, SurfaceReleaser>;

inline void Clear(Surface& s, uint16_t value) {
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) s.row16(y)[x] = value;
}

// A 16-bit surface with every pixel set to fill.
inline SurfacePtr MakeSurface(int w, int h, uint16_t fill = 0) {
  SurfacePtr s(Surface::Create(w, h, 16));
  Clear(*s, fill);
  return s;
}
inline SurfacePtr MakeIndexed(int w, int h) { return SurfacePtr(Surface::Create(w, h, 8)); }

inline uint16_t Px(const Surface& s, int x, int y) { return s.row16(y)[x]; }
inline uint16_t Px(const Surface* s, int x, int y) { return s->row16(y)[x]; }

inline void FillPattern(Surface& s) {
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) s.row16(y)[x] = static_cast<uint16_t>(y * 256 + x + 1);
}

inline void SetKey(Surface& s, uint32_t low, uint32_t high) {
  const ColorKey key{low, high};
  s.SetColorKey(DDCKEY_SRCBLT, &key);
}
