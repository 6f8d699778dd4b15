// The game module's resource catalogue as the board and the effects see it.
#pragma once

#include "platform/video/ddraw.h"

// The surface of the catalogue picture of that name (first match, exact), or null when no
// such picture exists or it has no surface.
Surface* CatalogueSurface(const char* name);
