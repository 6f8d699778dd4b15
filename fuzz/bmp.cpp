// Arbitrary bytes as a BMP file: loading must give a surface or null, never a crash, and a
// result must blit and convert cleanly. Half the inputs are taken as they are; the other
// half get a well-formed header built from their first bytes, so that short runs reach the
// pixel readers instead of stopping at the header checks.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/video/bitmap.h"
#include "surface/surface_helpers.h"

namespace {

void Put32(std::vector<uint8_t>& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}

// A file header and info header from 6 parameter bytes, followed by the remaining bytes.
std::vector<uint8_t> WithHeader(const uint8_t* data, size_t size) {
  static const uint16_t kDepths[] = {1, 4, 8, 16, 24, 32};
  const int32_t width = 1 + data[1] % 64;
  const int32_t height = (1 + data[2] % 64) * (data[2] & 0x80 ? -1 : 1);
  const uint16_t depth = kDepths[data[3] % 6];
  const uint32_t compression = data[4] % 4;
  const uint32_t colours = data[5];
  const uint32_t offset = 54 + (depth <= 8 ? 4 * (colours ? colours : 1u << depth) : 0);
  std::vector<uint8_t> v = {'B', 'M'};
  Put32(v, static_cast<uint32_t>(54 + size));
  Put32(v, 0);
  Put32(v, offset);
  Put32(v, 40);
  Put32(v, static_cast<uint32_t>(width));
  Put32(v, static_cast<uint32_t>(height));
  Put16(v, 1);
  Put16(v, depth);
  Put32(v, compression);
  Put32(v, 0);
  Put32(v, 2835);
  Put32(v, 2835);
  Put32(v, colours);
  Put32(v, 0);
  v.insert(v.end(), data + 6, data + size);
  return v;
}

void Exercise(const uint8_t* data, size_t size) {
  if (Surface* rgb = LoadBitmapFromMemory(data, size, 16)) {
    if (Surface* screen = CreateOffscreenSurface(64, 48)) {
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
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= 6 && (data[0] & 1)) {
    const std::vector<uint8_t> file = WithHeader(data, size);
    Exercise(file.data(), file.size());
  } else {
    Exercise(data, size);
  }
  return 0;
}
