// Windows: a window's display does not go away under it as an X server's connection can.
#include "platform/sdl/sdl_display_lost.h"

void WatchForLostDisplay() {}
bool DisplayLost() { return false; }
