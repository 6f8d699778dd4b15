// Surface::Blt: rectangle copies, colour-keyed copies, nearest-neighbour stretching and
// colour fills. The colour-keyed 16-bit copy is drawn many times every frame, so its
// row loop stays simple enough for the compiler to vectorise.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/video/ddraw.h"

namespace {

bool ValidRect(const Rect& r, int width, int height) {
  return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom &&
         r.right <= width && r.bottom <= height;
}

bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Pixels of a source rectangle: the first pixel and the distance between rows.
struct SourceRows {
  const uint8_t* first;
  int pitch;
};

// Rows of the destination rectangle and its size.
struct Target {
  uint8_t* first;
  int pitch;
  int width, height;
};

struct Key {
  bool on;
  uint32_t low, high;
};

// Written as a bit blend of the old and new pixel, with no branch and no conditional
// store, so that it turns into plain vector loads, compares and stores. Kept out of line:
// inlined, the compiler loses the no-alias promise and falls back to a scalar loop.
template <typename T>
[[gnu::noinline]] void KeyedRow(T* __restrict dst, const T* __restrict src, int n, T key) {
  for (int i = 0; i < n; ++i) {
    const T v = src[i];
    const T keep = static_cast<T>(-static_cast<T>(v == key));
    dst[i] = static_cast<T>((dst[i] & keep) | (v & ~keep));
  }
}

template <typename T>
[[gnu::noinline]] void KeyedRangeRow(T* __restrict dst, const T* __restrict src, int n, T low,
                                     T high) {
  for (int i = 0; i < n; ++i) {
    const T v = src[i];
    const T keep = static_cast<T>(-static_cast<T>(v >= low && v <= high));
    dst[i] = static_cast<T>((dst[i] & keep) | (v & ~keep));
  }
}

template <typename T>
void CopySameSize(const Target& to, const SourceRows& from, const Key& key) {
  const T low = static_cast<T>(key.low), high = static_cast<T>(key.high);
  for (int y = 0; y < to.height; ++y) {
    T* d = reinterpret_cast<T*>(to.first + static_cast<size_t>(y) * to.pitch);
    const T* s = reinterpret_cast<const T*>(from.first + static_cast<size_t>(y) * from.pitch);
    if (!key.on)
      std::memcpy(d, s, sizeof(T) * to.width);
    else if (low == high)
      KeyedRow(d, s, to.width, low);
    else
      KeyedRangeRow(d, s, to.width, low, high);
  }
}

// Nearest neighbour: each destination pixel takes the source pixel under its centre.
int NearestIndex(int i, int sourceSize, int targetSize) {
  return static_cast<int>((int64_t{2} * i + 1) * sourceSize / (int64_t{2} * targetSize));
}

template <typename T>
void CopyStretched(const Target& to, const SourceRows& from, int sw, int sh, const Key& key) {
  std::vector<int> columns(to.width);
  for (int x = 0; x < to.width; ++x) columns[x] = NearestIndex(x, sw, to.width);
  const T low = static_cast<T>(key.low), high = static_cast<T>(key.high);
  for (int y = 0; y < to.height; ++y) {
    T* d = reinterpret_cast<T*>(to.first + static_cast<size_t>(y) * to.pitch);
    const T* s = reinterpret_cast<const T*>(
        from.first + static_cast<size_t>(NearestIndex(y, sh, to.height)) * from.pitch);
    for (int x = 0; x < to.width; ++x) {
      const T v = s[columns[x]];
      if (!key.on || v < low || v > high) d[x] = v;
    }
  }
}

template <typename T>
void Fill(const Target& to, T value) {
  for (int y = 0; y < to.height; ++y) {
    T* d = reinterpret_cast<T*>(to.first + static_cast<size_t>(y) * to.pitch);
    std::fill_n(d, to.width, value);
  }
}

template <typename T>
void Copy(const Target& to, const SourceRows& from, int sw, int sh, const Key& key) {
  if (sw == to.width && sh == to.height)
    CopySameSize<T>(to, from, key);
  else
    CopyStretched<T>(to, from, sw, sh, key);
}

}  // namespace

HRESULT Surface::Blt(const Rect* dst, Surface* src, const Rect* srcRect, uint32_t flags,
                     const BltFx* fx) {
  DrawOp op;
  op.to = dst ? *dst : Rect{0, 0, width_, height_};
  op.flags = flags;
  if (!ValidRect(op.to, width_, height_)) return DDERR_INVALIDRECT;
  if (flags & DDBLT_COLORFILL) {
    if (!fx) return DDERR_INVALIDPARAMS;
    op.kind = DrawOp::Kind::Fill;
    op.fill = bpp_ == 16 ? fx->fillColor & 0xFFFF : fx->fillColor & 0xFF;
  } else {
    if (!src) return DDERR_INVALIDPARAMS;
    op.from = srcRect ? *srcRect : Rect{0, 0, src->width_, src->height_};
    if (!ValidRect(op.from, src->width_, src->height_)) return DDERR_INVALIDRECT;
    // Palettised pictures are converted before they are drawn; a mixed blit is a mistake.
    if (src->bpp_ != bpp_) return DDERR_INVALIDPIXELFORMAT;
    op.source = src;
  }
  Record(op);
  return DD_OK;
}

void Surface::Draw(const DrawOp& op) {
  const Rect& d = op.to;
  const int bytes = bpp_ / 8;
  const Target to{pixels_.data() + static_cast<size_t>(d.top) * pitch_ +
                      static_cast<size_t>(d.left) * bytes,
                  pitch_, d.right - d.left, d.bottom - d.top};
  NoteDamage(d);
  if (op.kind == DrawOp::Kind::Fill) {
    if (bpp_ == 16)
      Fill<uint16_t>(to, static_cast<uint16_t>(op.fill));
    else
      Fill<uint8_t>(to, static_cast<uint8_t>(op.fill));
    return;
  }
  const Surface* src = op.source;
  const Rect& s = op.from;
  const int sw = s.right - s.left, sh = s.bottom - s.top;
  SourceRows from{src->pixels_.data() + static_cast<size_t>(s.top) * src->pitch_ +
                      static_cast<size_t>(s.left) * bytes,
                  src->pitch_};
  // A blit within one surface whose rectangles overlap reads from a copy of the source.
  std::vector<uint8_t> copy;
  if (src == this && Overlap(s, d)) {
    const size_t rowBytes = static_cast<size_t>(sw) * bytes;
    copy.resize(rowBytes * sh);
    for (int y = 0; y < sh; ++y)
      std::memcpy(copy.data() + y * rowBytes, from.first + static_cast<size_t>(y) * from.pitch,
                  rowBytes);
    from = SourceRows{copy.data(), static_cast<int>(rowBytes)};
  }

  // Without a key on the source, a keyed blit copies every pixel.
  const Key key{(op.flags & DDBLT_KEYSRC) != 0 && src->hasKey_, src->key_.low, src->key_.high};
  if (bpp_ == 16)
    Copy<uint16_t>(to, from, sw, sh, key);
  else
    Copy<uint8_t>(to, from, sw, sh, key);
}
