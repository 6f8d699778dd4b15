// Sizes, pixel values, colour keys, fills, off-screen surfaces and pixel access.
#include "surface/surface_helpers.h"

#include "platform/win32/display/dalk.h"
#include "surface/color_value.h"

namespace {

constexpr uint32_t kWaitFill = DDBLT_WAIT | DDBLT_COLORFILL;

SurfaceDesc EmptyDesc() {
  SurfaceDesc desc{};
  desc.size = 108;
  return desc;
}

// Fills the whole surface with a pixel value; the blit's result is not looked at.
void FillWith(Surface* surface, uint32_t value) {
  if (!surface) return;
  BltFx fx{};
  fx.size = 100;
  fx.fillColor = value;
  surface->Blt(nullptr, nullptr, nullptr, kWaitFill, &fx);
}

// The pixel's byte offset when (x, y) lies on the surface, -1 otherwise.
long PixelOffset(const SurfaceDesc& desc, int x, int y) {
  if (x < 0 || y < 0 || x >= desc.width || y >= desc.height) return -1;
  if (desc.pixelFormat.bitsPerPixel == 8) return static_cast<long>(desc.pitch) * y + x;
  return 2 * (static_cast<long>(desc.pitch / 2) * y + x);
}

}  // namespace

void GetSurfaceSize(Surface* surface, int* width, int* height) {
  SurfaceDesc desc = EmptyDesc();
  desc.flags = DDSD_WIDTH | DDSD_HEIGHT;
  if (surface) surface->GetSurfaceDesc(&desc);
  if (width) *width = desc.width;
  if (height) *height = desc.height;
}

uint16_t MakeSurfaceColor(Surface* surface, int red, int green, int blue) {
  SurfaceDesc desc = EmptyDesc();
  desc.flags = DDSD_PIXELFORMAT | DDSD_WIDTH | DDSD_HEIGHT;
  if (surface) surface->GetSurfaceDesc(&desc);  // no surface: the display's own format
  surface_detail::FieldWidths w;
  DalkGetRGBABits(&desc.pixelFormat, &w.red, &w.green, &w.blue, nullptr);
  return surface_detail::ColorValue(w, red, green, blue);
}

void SetSurfaceColorKey(Surface* surface, int red, int green, int blue) {
  if (!surface) return;
  const uint16_t value = MakeSurfaceColor(surface, red, green, blue);
  const ColorKey key{value, value};
  surface->SetColorKey(DDCKEY_SRCBLT, &key);
}

Surface* CreateOffscreenSurface(int width, int height) {
  SurfaceDesc desc = EmptyDesc();
  desc.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.caps = DDSCAPS_OFFSCREENPLAIN;
  desc.width = width;
  desc.height = height;
  Surface* surface = nullptr;
  if (DalkGetLPDD()->CreateSurface(&desc, &surface, nullptr) != DD_OK) return nullptr;
  // Black is transparent until a caller chooses another key.
  const ColorKey key{0, 0};
  surface->SetColorKey(DDCKEY_SRCBLT, &key);
  return surface;
}

void FillSurfaceRGB(Surface* surface, int red, int green, int blue) {
  if (!surface) return;
  FillWith(surface, MakeSurfaceColor(surface, red, green, blue));
}

void FillSurface(Surface* surface, int value) { FillWith(surface, value & 0xFFFF); }

Surface* CopySurface(Surface* surface) {
  if (!surface) return nullptr;
  int width = 0, height = 0;
  GetSurfaceSize(surface, &width, &height);
  Surface* copy = CreateOffscreenSurface(width, height);
  if (copy) copy->Blt(nullptr, surface, nullptr, DDBLT_WAIT, nullptr);
  return copy;
}

void* LockSurface(Surface* surface, SurfaceDesc* desc) {
  SurfaceDesc lock = EmptyDesc();
  if (!surface || surface->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr) != DD_OK) {
    if (desc) *desc = lock;
    return nullptr;
  }
  if (desc) *desc = lock;
  return lock.memory;
}

void UnlockSurface(Surface* surface) {
  if (surface) surface->Unlock(nullptr);
}

uint32_t GetSurfacePixel(Surface* surface, int x, int y) {
  SurfaceDesc desc = EmptyDesc();
  auto* memory = static_cast<uint8_t*>(LockSurface(surface, &desc));
  if (!memory) return 0;  // no lock, no memory to read
  const long offset = PixelOffset(desc, x, y);
  uint32_t value = 0;
  if (offset >= 0) {
    if (desc.pixelFormat.bitsPerPixel == 8)
      value = memory[offset];
    else
      value = *reinterpret_cast<uint16_t*>(memory + offset);
  }
  UnlockSurface(surface);
  return value;
}

// An 8-bit surface gets a byte: a 16-bit write there would land on the wrong pixel,
// and at the end of a row past it.
uint32_t SetSurfacePixel(Surface* surface, int x, int y, int value) {
  SurfaceDesc desc = EmptyDesc();
  auto* memory = static_cast<uint8_t*>(LockSurface(surface, &desc));
  if (!memory) return 0;
  const long offset = PixelOffset(desc, x, y);
  uint32_t old = 0;
  if (offset >= 0) {
    if (desc.pixelFormat.bitsPerPixel == 8) {
      old = memory[offset];
      memory[offset] = static_cast<uint8_t>(value);
    } else {
      auto* pixel = reinterpret_cast<uint16_t*>(memory + offset);
      old = *pixel;
      *pixel = static_cast<uint16_t>(value);
    }
  }
  UnlockSurface(surface);
  return old;
}

void CentreSurfaceRect(Surface* surface, int x, int y, int w, int h, Rect* out) {
  if (!out) return;
  int sw = 0, sh = 0;
  GetSurfaceSize(surface, &sw, &sh);
  out->left = x + (w / 2 - sw / 2);
  out->right = out->left + sw;
  out->top = y + (h / 2 - sh / 2);
  out->bottom = out->top + sh;
}
