// What the clock needs of the timers (hung into it before main).
#pragma once

#include <cstdint>

// Runs every call of the timers due by nowMs (each step of the virtual clock, each poll of
// the real one).
void RunDueTimers(uint32_t nowMs);
// Stops every timer (end of a run).
void KillAllTimers();
