// Keyboard and mouse state as the game sees it, fed by the backends and the script player.
// Each change also posts the matching window message to the main window.
#pragma once

#include <string>

#include "platform/win32/window/win.h"

namespace input {

void Reset();
// Mouse position in game pixels (0..799, 0..599).
void MouseMove(int x, int y);
// button 0 is left, 1 is right.
void MouseButton(int button, bool down);
// A key by PC scan code (set 1; extended keys carry bit 7, as DirectInput numbers them).
void Key(int scanCode, bool down);
// A gamepad button went down (again, when a held direction repeats) or up.
void PadButtonChange(PadButton button, bool down);
// Every held key and button lets go (focus lost), with the matching up messages.
void ReleaseAll();

// Bit 0 left, bit 1 right, as the window's events last left them (any thread).
int Buttons();
// The buttons for one 10 ms poll (timer thread). Every change the window reported is kept
// in order and each poll takes at most one change of each button, so a press and release
// that both came between two polls are still seen down by one poll and up by the next.
int PollButtons();
POINT MousePosition();
// 256 bytes by scan code, bit 7 while held.
unsigned char* KeyBytes();
bool VirtualKeyDown(int virtualKey);

int ScanToVirtualKey(int scanCode);
// Script key names: escape, f1, a..z, 0..9, space, enter, lshift (and a few more); 0 if unknown.
int KeyNameToScan(const std::string& name);

}  // namespace input
