// What the shell calls in the game folder at start-up and shutdown, in one place.
#pragma once

#include "platform/win32/window/win.h"

class ScreenModule;

// The module the start-up adds and selects ("balloon"): the game's, unless one was set.
ScreenModule* StartupModule();
// Tests run the shell with their own module (named "balloon"); null restores the game's.
void SetStartupModule(ScreenModule* module);
// Before the window opens: the first screen's pictures start being read (in a window, on a
// thread of their own, while the display starts). A test's module reads none.
void ReadFirstScreenAhead();
// Before the window opens: 1 when the working folder holds the game's data. Otherwise the
// player has been told what is missing and the program must end. A test's module needs none.
int CheckStartupData();
// WM_DESTROY: end the current round of the game.
void EndGameRound();
