// The platform's control of its clock (the harness, the timer, the flip).
#pragma once

#include <cstdint>

constexpr uint32_t kTimerPeriodMs = 10;

// Back to time 0 in the given mode, no listeners, no timers.
void ClockReset(bool virtualTime);
// Virtual time: moves the clock on by ms in 10 ms steps, running the listeners and the
// timers that fall due at each step. Ignored in real time.
void ClockAdvance(uint32_t ms);
// Real time: runs the listeners when time has moved since the last poll (on the calling
// thread). Virtual time: nothing (advances run them).
void ClockPoll();
// Bumped by every advance; lets a present tell whether time moved since the last one.
uint64_t ClockAdvanceCount();

// Runs the virtual timers due at nowMs (called by the clock on each step).
void RunDueVirtualTimers(uint32_t nowMs);
// Stops every timer (end of a run).
void KillAllTimers();
