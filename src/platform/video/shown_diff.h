// What a present must send to the window: the areas where the new picture differs from
// the one the window shows.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/video/ddraw.h"

// A picture as the window shows it.
struct ShownPicture {
  int width = 0, height = 0;
  std::vector<uint16_t> pixels;  // RGB565, row after row
};

// Compares `picture` with `shown` inside the areas that were drawn on, copies what differs
// into `shown`, and returns one tight box per area that differed. A `shown` of another
// size (the first present) is replaced whole.
std::vector<Rect> UpdateShownPicture(const Surface& picture, const std::vector<Rect>& drawn,
                                     ShownPicture* shown);
