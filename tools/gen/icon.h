// The program's icon for the desktop's menus, drawn from the game's own balloons.
#pragma once

#include "canvas.h"

#include <vector>

namespace gen {

// The square sizes the desktop's icon theme looks for.
const std::vector<int>& iconSizes();

// The icon at size x size pixels on a transparent ground: one star balloon where there is
// no room for more, a bunch of three from 48 pixels up.
Canvas drawIcon(int size);

} // namespace gen
