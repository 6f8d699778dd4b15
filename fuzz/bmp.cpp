// Arbitrary bytes as a BMP file: loading must give a surface or null, never a crash, and a
// palettised result must convert and blit cleanly.
#include <cstddef>
#include <cstdint>

#include "platform/bitmap.h"
#include "surface/surface_helpers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (Surface* rgb = LoadBitmapFromMemory(data, size, 16)) {
    Surface* screen = CreateOffscreenSurface(64, 48);
    if (screen) {
      ClippedBlt(rgb, screen, -3, -5, -1);
      screen->Release();
    }
    GetSurfacePixel(rgb, rgb->width() - 1, rgb->height() - 1);
    rgb->Release();
  }
  if (Surface* indexed = LoadBitmapFromMemory(data, size, 8)) {
    if (Surface* converted = ConvertPaletteSurface(indexed)) converted->Release();
    indexed->Release();
  }
  return 0;
}
