// What the player asks of the game by keyboard or gamepad. Keys and pad buttons become
// these actions in one place (play_keys.cpp); the module's frame carries them out in order.
#pragma once

#include "platform/win32/window/win.h"

enum class PlayAction {
  CursorUp, CursorDown, CursorLeft, CursorRight,  // move the cell cursor one cell
  Pop,                                            // pop the group under the cursor
  BlowLeft, BlowRight,                            // blow the cursor's row
  NewGame, Help,                                  // the "newgame" and "help" buttons
};

// Turns a window message (key, pad button, mouse move) into actions. Returns true when the
// message asked for one.
bool HandlePlayInput(UINT message, WPARAM wParam, LPARAM lParam);

void QueuePlayAction(PlayAction action);
// The oldest queued action; false when there is none.
bool TakePlayAction(PlayAction* action);
void ClearPlayActions();
