// Building a pixel value from 8-bit red, green and blue for an RGB format given by the
// widths of its fields, red highest and blue lowest.
#pragma once

#include <cstdint>

namespace surface_detail {

struct FieldWidths {
  int red = 0, green = 0, blue = 0;
};

// Keeps the top `bits` bits of an 8-bit channel (widths above 8 scale up instead).
inline uint32_t Channel(int value, int bits) {
  const uint32_t v = value < 0 ? 0u : value > 255 ? 255u : static_cast<uint32_t>(value);
  if (bits <= 0) return 0;
  return bits <= 8 ? v >> (8 - bits) : v << (bits - 8);
}

inline uint16_t ColorValue(const FieldWidths& w, int red, int green, int blue) {
  // Widths come from a format's masks; anything past 16 bits would not fit a pixel anyway.
  const int r = w.red > 16 ? 16 : w.red, g = w.green > 16 ? 16 : w.green,
            b = w.blue > 16 ? 16 : w.blue;
  const uint64_t value = (uint64_t{Channel(red, r)} << (g + b)) +
                         (uint64_t{Channel(green, g)} << b) + Channel(blue, b);
  return static_cast<uint16_t>(value);
}

}  // namespace surface_detail
