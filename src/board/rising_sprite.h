// A picture that rises over the board for a while: score pop-ups, multiplier icons and
// the big balloon of a cleared colour. Its speeds are pixels per second.
#pragma once

#include <cstdint>

#include "sprites/sprite.h"

class RisingSprite : public Sprite {
 public:
  void Move() override;

  int32_t expiry = 0;  // tick count after which the next update removes it
};

// The topmost y a rising picture may reach: the top edge of the board.
constexpr float RisingTopY = 7.0f;
