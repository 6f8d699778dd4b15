// The pause: the round's clock stops and a page in the game's style covers the board until
// a key, a pad button or a click, so a pause cannot be used to study the board. Asked for by
// P, the pad's Y and the window losing its focus.
#pragma once

#include "platform/win32/window/win.h"

// Only a round being played pauses; its clock stops at once, the page comes at the next frame.
void RequestPause();
// 1 from the request until the page has gone again.
int PauseWanted();
// 1 while asked for and not yet shown: a frame must run even in an inactive window, or the
// board would stay in sight behind it.
int PauseWaitsForFrame();
// Shows the page until the player goes on; 0 when the application is closing.
int RunPause();
// A message while the page is up: 1 when the pause took it, and no one else may act on it.
int PauseTakesMessage(UINT message, WPARAM wParam, LPARAM lParam);
// The key-up of the key that ended a pause is used up with it: 1 when taken.
int PauseTakesKeyUp(int virtualKey);
// Back to no pause (a new run in the same process).
void ResetPause();
