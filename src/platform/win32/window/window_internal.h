// What the platform's other parts need of the one window and its message queue.
#pragma once

#include "platform/runtime/host_input.h"
#include "platform/win32/window/win.h"

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
// Host input applied to the game's input state and message queue (the host-input queue's
// target; a replay applies its recorded input here too).
void ApplyHostInput(const HostInput& input);
// The main thread turns pending host events (and queued input) into input here (a step of
// the run).
void DrainHostInput();
// The same, waiting up to ms for an event first.
void WaitHostInput(int ms);
// Counts waits and presents; an empty queue polled twice without either means an idle loop.
void NoteProgress();

