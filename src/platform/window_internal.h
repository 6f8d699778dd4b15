// What the platform's other parts need of the one window and its message queue.
#pragma once

#include "platform/win.h"

// The live main window, or null.
HWND MainWindowHandle();
// Posts to the main window when there is one (input and system events).
void PostToMainWindow(UINT message, WPARAM wParam, LPARAM lParam);
// The window became active or inactive (posted once per change).
void PostActivation(bool active);
// A live main window that is active (only then does the game present).
bool MainWindowActive();
// The window's title as set last.
const char* MainWindowTitle();
// Forgets every window and message: a fresh start for the next in-process run.
void ResetWindowsAndMessages();
// The main window is about to be destroyed, with the game's state still whole: the harness
// writes what it owes (the script's last outputs, --dump-at-exit) now.
void HarnessBeforeTeardown();
// Counts waits and presents; an empty queue polled twice without either means an idle loop.
void NoteProgress();

constexpr LPARAM MakeLParam(int low, int high) {
  return static_cast<LPARAM>((static_cast<uint32_t>(low) & 0xFFFF) |
                             ((static_cast<uint32_t>(high) & 0xFFFF) << 16));
}
