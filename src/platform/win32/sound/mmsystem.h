// The periodic 10 ms timer, the millisecond clock and the MCI music commands.
#pragma once

#include <cstdint>

#include "platform/win32/window/win.h"

using MMRESULT = uint32_t;
constexpr MMRESULT TIMERR_NOERROR = 0;
constexpr MMRESULT TIMERR_NOCANDO = 97;
constexpr uint32_t TIME_ONESHOT = 0;
constexpr uint32_t TIME_PERIODIC = 1;

struct TIMECAPS {
  uint32_t wPeriodMin = 0;
  uint32_t wPeriodMax = 0;
};

using LPTIMECALLBACK = void (*)(uint32_t timerId, uint32_t message, uintptr_t user,
                                uintptr_t reserved1, uintptr_t reserved2);

MMRESULT timeGetDevCaps(TIMECAPS* caps, uint32_t size);
MMRESULT timeBeginPeriod(uint32_t period);
MMRESULT timeEndPeriod(uint32_t period);
// Periodic timer. In real time it runs on its own thread and does not drift; under the
// virtual clock its callback runs on the thread that waits (see WaitForTimerTick).
// Returns the timer id, 0 on failure.
uint32_t timeSetEvent(uint32_t delay, uint32_t resolution, LPTIMECALLBACK callback,
                      uintptr_t user, uint32_t flags);
MMRESULT timeKillEvent(uint32_t timerId);
// Milliseconds of the platform clock (virtual when headless).
uint32_t timeGetTime();

// Blocks until the periodic timer's callback has run once more (or a little while passed
// when no timer runs), instead of spinning on the tick count. Under the virtual clock this
// moves time on by one timer period and runs the callback.
void WaitForTimerTick();

// MCI command strings: "open <file> alias <name>", "play <name> [notify] [repeat]",
// "pause <name>", "resume <name>", "close <name>". "notify" posts MM_MCINOTIFY to the
// callback window when playing ends; "repeat" plays the file round and round without a
// gap. 0 on success.
uint32_t mciSendString(const char* command, char* returnBuffer, uint32_t returnLength,
                       HWND callback);
