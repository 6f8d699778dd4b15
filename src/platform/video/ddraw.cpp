// Surfaces in memory: RGB565 and 8-bit palettised pictures, their colour keys, locks and
// reference counts. The blits live in ddraw_blit.cpp, held-back drawing in ddraw_repeat.cpp.
#include "platform/video/ddraw.h"

#include <algorithm>
#include <cstring>


namespace {

// Large enough for any picture the game has, small enough that a corrupt size in a
// file cannot ask for gigabytes.
constexpr int kMaxSide = 16384;
constexpr int64_t kMaxBytes = int64_t{128} << 20;

int PitchFor(int width, int bitsPerPixel) {
  const int bytes = width * (bitsPerPixel / 8);
  return (bytes + 3) & ~3;  // rows start on 4-byte boundaries, as display memory does
}

bool ValidRect(const Rect& r, int width, int height) {
  return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom &&
         r.right <= width && r.bottom <= height;
}

PixelFormat FormatFor(int bitsPerPixel) {
  PixelFormat format;
  if (bitsPerPixel == 8) {
    format.bitsPerPixel = 8;
    format.redMask = format.greenMask = format.blueMask = 0;
    format.palettised = true;
  }
  return format;
}

}  // namespace

// --- Palette

Palette::Palette() = default;

HRESULT Palette::GetEntries(uint32_t, uint32_t base, uint32_t count, PaletteEntry* out) const {
  if (!out || base > 256 || count > 256 - base) return DDERR_INVALIDPARAMS;
  std::memcpy(out, entries + base, count * sizeof(PaletteEntry));
  return DD_OK;
}

uint32_t Palette::AddRef() { return ++refs_; }

uint32_t Palette::Release() {
  const uint32_t left = --refs_;
  if (left == 0) delete this;
  return left;
}

// --- Surface

Surface* Surface::Create(int width, int height, int bitsPerPixel) {
  if (bitsPerPixel != 8 && bitsPerPixel != 16) return nullptr;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return nullptr;
  if (int64_t{PitchFor(width, bitsPerPixel)} * height > kMaxBytes) return nullptr;
  return new Surface(width, height, bitsPerPixel);
}

Surface::Surface(int width, int height, int bitsPerPixel)
    : width_(width),
      height_(height),
      pitch_(PitchFor(width, bitsPerPixel)),
      bpp_(bitsPerPixel),
      pixels_(static_cast<size_t>(pitch_) * height) {
  if (bpp_ == 8) palette_ = new Palette();
  Changed();
}

Surface::~Surface() {
  Forget();
  if (palette_) palette_->Release();
}

HRESULT Surface::GetSurfaceDesc(SurfaceDesc* desc) const {
  if (!desc) return DDERR_INVALIDPARAMS;
  desc->flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
  desc->width = width_;
  desc->height = height_;
  desc->pitch = pitch_;
  desc->memory = nullptr;
  desc->pixelFormat = FormatFor(bpp_);
  desc->caps = DDSCAPS_OFFSCREENPLAIN;
  return DD_OK;
}

HRESULT Surface::SetColorKey(uint32_t flags, const ColorKey* key) {
  if (!(flags & DDCKEY_SRCBLT)) return DDERR_INVALIDPARAMS;
  // Drawing held back elsewhere reads with the key it was asked with.
  ResolveReaders(Rect{0, 0, width_, height_});
  Changed();
  hasKey_ = key != nullptr;  // a null key removes it
  if (key) key_ = *key;
  return DD_OK;
}

HRESULT Surface::GetColorKey(uint32_t flags, ColorKey* key) const {
  if (!(flags & DDCKEY_SRCBLT) || !key) return DDERR_INVALIDPARAMS;
  if (!hasKey_) return DDERR_NOCOLORKEY;
  *key = key_;
  return DD_OK;
}

HRESULT Surface::Lock(const Rect* rect, SurfaceDesc* desc, uint32_t, void*) {
  if (!desc) return DDERR_INVALIDPARAMS;
  const Rect area = rect ? *rect : Rect{0, 0, width_, height_};
  if (!ValidRect(area, width_, height_)) return DDERR_INVALIDRECT;
  GetSurfaceDesc(desc);
  desc->flags |= DDSD_LPSURFACE;
  WrittenDirectly(area);
  NoteDamage(area);  // whoever holds the pointer may write anywhere in the area
  desc->memory = pixels_.data() + static_cast<size_t>(area.top) * pitch_ +
                 static_cast<size_t>(area.left) * (bpp_ / 8);
  ++locks_;
  return DD_OK;
}

HRESULT Surface::Unlock(const Rect*) {
  if (locks_ == 0) return DDERR_NOTLOCKED;
  --locks_;
  Changed();  // written through the pointer since the lock
  return DD_OK;
}

// There is no GDI here; a device context is only a token handed back.
HRESULT Surface::GetDC(void** dc) {
  if (!dc) return DDERR_INVALIDPARAMS;
  *dc = this;
  return DD_OK;
}

HRESULT Surface::ReleaseDC(void*) { return DD_OK; }

HRESULT Surface::GetPalette(Palette** palette) {
  if (!palette) return DDERR_INVALIDPARAMS;
  *palette = nullptr;
  if (!palette_) return DDERR_NOPALETTEATTACHED;
  palette_->AddRef();
  *palette = palette_;
  return DD_OK;
}

uint32_t Surface::AddRef() { return ++refs_; }

uint32_t Surface::Release() {
  const uint32_t left = --refs_;
  if (left == 0) delete this;
  return left;
}

void Surface::TrackDamage(bool on) {
  tracked_ = on;
  damage_.clear();
}

namespace {

bool Contains(const Rect& outer, const Rect& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
         outer.bottom >= inner.bottom;
}

Rect Union(const Rect& a, const Rect& b) {
  return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

int64_t Area(const Rect& r) { return int64_t{r.right - r.left} * (r.bottom - r.top); }

}  // namespace

void Surface::NoteDamage(const Rect& area) {
  if (!tracked_) return;
  Rect r{std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, width_),
         std::min(area.bottom, height_)};
  if (r.left >= r.right || r.top >= r.bottom) return;
  // Most areas are drawn twice a frame (restored from the scene, then drawn over): each is
  // kept once, so a present compares it once.
  for (const Rect& d : damage_) {
    if (Contains(d, r)) return;
  }
  std::erase_if(damage_, [&r](const Rect& d) { return Contains(r, d); });
  // A frame draws a few dozen areas. Past a few hundred, the new one joins the area whose
  // box grows least by it: the list stays short without one box around everything, which
  // would make a present compare the whole picture.
  constexpr size_t kMaxAreas = 256;
  if (damage_.size() < kMaxAreas) {
    damage_.push_back(r);
    return;
  }
  Rect* best = &damage_.front();
  int64_t bestGrowth = Area(Union(*best, r)) - Area(*best);
  for (Rect& d : damage_) {
    const int64_t growth = Area(Union(d, r)) - Area(d);
    if (growth < bestGrowth) {
      best = &d;
      bestGrowth = growth;
    }
  }
  *best = Union(*best, r);
}

std::vector<Rect> Surface::TakeDamage() {
  Settle();  // drawing still held back may yet be carried out
  std::vector<Rect> taken;
  taken.swap(damage_);
  return taken;
}

// --- DirectDraw

HRESULT DirectDraw::CreateSurface(const SurfaceDesc* desc, Surface** out, void*) {
  if (!out) return DDERR_INVALIDPARAMS;
  *out = nullptr;
  if (!desc || (desc->flags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT))
    return DDERR_INVALIDPARAMS;
  int bitsPerPixel = 16;  // the display's format unless another is asked for
  if (desc->flags & DDSD_PIXELFORMAT) {
    bitsPerPixel = static_cast<int>(desc->pixelFormat.bitsPerPixel);
    if (bitsPerPixel != 8 && bitsPerPixel != 16) return DDERR_INVALIDPIXELFORMAT;
  }
  if (desc->width <= 0 || desc->height <= 0) return DDERR_INVALIDPARAMS;
  *out = Surface::Create(desc->width, desc->height, bitsPerPixel);
  return *out ? DD_OK : DDERR_OUTOFMEMORY;
}

// The display object lives for the whole process; references are counted but never
// free it.
uint32_t DirectDraw::AddRef() { return ++refs; }

uint32_t DirectDraw::Release() {
  if (refs > 1) --refs;
  return refs;
}

DirectDraw* TheDirectDraw() {
  static DirectDraw display;
  return &display;
}

HRESULT DirectDrawCreate(void*, DirectDraw** out, void*) {
  if (!out) return DDERR_INVALIDPARAMS;
  *out = TheDirectDraw();
  (*out)->AddRef();
  return DD_OK;
}
