// A balloon on the board: a sprite with its colour, its cell and whether it is a star.
// Frame 0 is its colour picture, frame 1 the shared "pop" picture; both belong to the
// resource catalogue.
#pragma once

#include <cstdint>

#include "sprites/sprite.h"

constexpr int BalloonColours = 5;

class BalloonSprite : public Sprite {
 public:
  int32_t colour = 0;   // 0 red, 1 yellow, 2 purple, 3 green, 4 orange
  int32_t present = 0;  // 1 once the fill has placed it; only present balloons are drawn
  int32_t cell = 0;     // where it stands; kept up to date by every move
  int32_t star = 0;     // a star balloon multiplies its group's points
};
