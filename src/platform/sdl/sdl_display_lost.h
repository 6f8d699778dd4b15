// The X server going away under the game (stopped, or the session ended).
#pragma once

// Called on the game's thread once SDL's video runs: from then on a lost connection ends
// the run (RunDisplayLost) instead of the program dying inside Xlib. Nothing on other
// video drivers.
void WatchForLostDisplay();
// True once the connection is known to be lost: the game's thread must not call SDL's
// video again, and ends the run at its next look (it may be the only thread that can).
bool DisplayLost();
