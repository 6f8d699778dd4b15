// The program's start and end around the game's WinMain, and the harness's part of a run.
#pragma once

#include "platform/runtime/run_options.h"
#include "platform/win32/window/win.h"

// The game's entry, handed over by its main().
using WinMainFunction = int (*)(HINSTANCE instance, HINSTANCE previous, char* commandLine,
                                int showCommand);

// Reads our options, prepares the platform (backend, clock, script) and runs winMain with
// the game's command line. Returns the exit code; 2 for unusable options or a script that
// cannot be read. Restores the working folder, so tests may run it in-process more than
// once.
int PlatformMain(int argc, char** argv, WinMainFunction winMain);

// The run's hooks (installed before main): after each present the recording and the
// script's screenshots and dumps; before the main window goes, what they still owe
// (the script's last outputs, --dump-at-exit).
void HarnessAfterPresent();
void HarnessBeforeTeardown();
// The display went away under the run: it ends at once with what it owes written.
[[noreturn]] void EndRunDisplayLost();
