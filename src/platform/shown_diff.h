// What a present must send to the window: the areas where the new picture differs from
// the one the window shows.
#pragma once

#include <vector>

#include "platform/ddraw.h"
#include "platform/present_internal.h"

// Compares `picture` with `shown` inside the areas that were drawn on, copies what differs
// into `shown`, and returns one tight box per area that differed. A `shown` of another
// size (the first present) is replaced whole.
std::vector<Rect> UpdateShownPicture(const Surface& picture, const std::vector<Rect>& drawn,
                                     ShownPicture* shown);
