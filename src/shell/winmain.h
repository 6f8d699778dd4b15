// The game's entry: main() hands it to the platform, which runs it once the host is ready.
#pragma once

#include "platform/win32/window/win.h"

int WinMain(HINSTANCE instance, HINSTANCE previous, char* commandLine, int showCommand);
