// Process-wide state of the game: the window, the display surfaces, the frame loop's pacing,
// the 10 ms tick count and the round's clock. Owned by the shell; read by every screen.
#pragma once

#include "platform/video/ddraw.h"
#include "platform/win32/window/win.h"

// A frame result that ends the program.
constexpr int QuitCode = 7;
constexpr const char* ProductName = "Zorbit";

extern HINSTANCE AppInstance;
extern HWND MainWindow;          // null until created and again after WM_DESTROY
extern int FullScreen;           // [setup] fullscreen of .\setup.ini
extern int AppActive;            // frames run only while 1
extern int ShowFrameRate;        // F1 toggles the rate text
extern int MouseOffsetX, MouseOffsetY;
extern int ScreenWidth, ScreenHeight;  // 800 x 600 once the window exists
extern DirectDraw* DirectDrawObject;
extern Surface* BackSurface;     // everything draws here
// The launcher's folder: room for any path the system takes, so a folder is never cut.
constexpr int kCommandLineSize = 4096;
extern char CommandLine[kCommandLineSize];
// Keys the current screen takes before the shell's own (Escape, F1): 1 when taken. Null
// when the game takes none.
extern int (*GameKeyUp)(int virtualKey);
extern float FramesPerSecond;    // the rate the loop keeps; motion code divides by it

// Empties the message queue. 1 when the application must quit, else 0.
int PumpMessages();
// For loops inside a frame, which must not see the window destroyed under them: handles
// the queue like PumpMessages until a close (WM_CLOSE or WM_QUIT) comes, which it puts back
// for the frame loop and reports with 1. 0 when the queue is empty.
int PumpMessagesUntilClose();
// Waits for the frame deadline, then sets the next one 1000 / fps ms later.
void LimitFrameRate(int fps);
// F1's rate text onto the surface about to be shown, when it is switched on.
void DrawFrameRate(Surface* target);
// "Zorbit - <text>".
void SetWindowTitle(const char* text);
// printf-like line into "debug.log"; switched off in this build.
void DebugLog(const char* format, ...);
LRESULT MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The 10 ms frame timer. Start: 0 = started (also when the system refused; see GetTicks).
int StartFrameTimer();
int StopFrameTimer();
// The tick count in ms, advancing by 10 on every timer tick.
int GetTicks();
int TicksSince(int start);

// The round's clock in whole seconds, counted down on the timer thread while it runs.
void SetClockSeconds(int seconds);
int GetClockSeconds();
// Adds seconds in one step, so a second the timer thread counts down at the same moment
// is never lost; the clock stops at the int range instead of wrapping.
void AddClockSeconds(int seconds);
void StartGameClock();
void StopGameClock();

// Back to the state before WinMain ran: lets one process run the game more than once
// (in-process test runs). The game's own state is not touched.
void ResetShellState();
