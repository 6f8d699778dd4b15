// What the clock needs of the timers (hung into it before main).
#pragma once

#include <cstdint>

// Runs the virtual timers due at nowMs (on each step of the virtual clock).
void RunDueVirtualTimers(uint32_t nowMs);
// Stops every timer (end of a run).
void KillAllTimers();
