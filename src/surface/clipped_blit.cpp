// Blits placed at a position and clipped to the destination. Neither checks for an empty
// result: a position wholly outside gives an inverted rectangle, which Blt refuses.
#include <cstdint>

#include "platform/win32/display/dalk.h"
#include "surface/surface_helpers.h"

namespace {

constexpr uint32_t kWaitKeyed = DDBLT_WAIT | DDBLT_KEYSRC;

// One axis of a clipped blit: the source span [from, from + size) placed at `at`
// on a destination `limit` long.
struct Span {
  int dstLow, dstHigh, srcLow, srcHigh;
};

Span ClipAxis(int from, int size, int at, int limit) {
  Span s{};
  if (at < 0) {
    s.dstLow = 0;
    s.srcLow = from - at;
  } else {
    s.dstLow = at;
    s.srcLow = from;
  }
  if (int64_t{at} + size > limit) {
    s.dstHigh = limit;
    s.srcHigh = from + size - (at + size - limit);
  } else {
    s.dstHigh = at + size;
    s.srcHigh = from + size;
  }
  return s;
}

void BlitClipped(Surface* source, int sx, int sy, int w, int h, Surface* destination, int x,
                 int y, int flags) {
  if (!source || !destination) return;
  int dw = 0, dh = 0;
  GetSurfaceSize(destination, &dw, &dh);
  const Span across = ClipAxis(sx, w, x, dw), down = ClipAxis(sy, h, y, dh);
  const Rect to{across.dstLow, down.dstLow, across.dstHigh, down.dstHigh};
  const Rect from{across.srcLow, down.srcLow, across.srcHigh, down.srcHigh};
  const uint32_t bltFlags = flags == -1 ? kWaitKeyed : static_cast<uint32_t>(flags);
  destination->Blt(&to, source, &from, bltFlags, nullptr);
}

}  // namespace

void ClippedBlt(Surface* source, Surface* destination, int x, int y, int flags) {
  int sw = 0, sh = 0;
  GetSurfaceSize(source, &sw, &sh);
  BlitClipped(source, 0, 0, sw, sh, destination, x, y, flags);
}

void ClippedBltRect(Surface* source, int sx, int sy, int w, int h, Surface* destination, int x,
                    int y, int flags) {
  BlitClipped(source, sx, sy, w, h, destination, x, y, flags);
}

void BlitToBothBuffers(Surface* destination, Surface* source) {
  if (!destination || !source) return;
  int sw = 0, sh = 0;
  GetSurfaceSize(source, &sw, &sh);
  const Rect whole{0, 0, sw, sh};
  destination->Blt(nullptr, source, &whole, DDBLT_WAIT, nullptr);
  DalkFlip();
  destination->Blt(nullptr, source, &whole, DDBLT_WAIT, nullptr);
}
