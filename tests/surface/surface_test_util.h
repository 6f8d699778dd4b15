// Small helpers for the surface tests: owning handles and pixel set-up.
#pragma once

#include <memory>

#include "platform/video/ddraw.h"

struct SurfaceReleaser {
  void operator()(Surface* s) const {
    if (s) s->Release();
  }
};
using SurfacePtr = std::unique_ptr<Surface, SurfaceReleaser>;

inline SurfacePtr MakeSurface(int w, int h, int bpp = 16) {
  return SurfacePtr(Surface::Create(w, h, bpp));
}

inline uint16_t Px(const Surface& s, int x, int y) { return s.row16(y)[x]; }

inline void FillPattern(Surface& s) {
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) s.row16(y)[x] = static_cast<uint16_t>(y * 256 + x + 1);
}

inline void Clear(Surface& s, uint16_t value) {
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) s.row16(y)[x] = value;
}

inline void SetKey(Surface& s, uint32_t low, uint32_t high) {
  const ColorKey key{low, high};
  s.SetColorKey(DDCKEY_SRCBLT, &key);
}
