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

// The timers hang in here (installed before main): runDue runs the virtual timers due at
// nowMs on each step of the virtual clock, killAll stops every timer at a reset.
void ClockSetTimers(void (*runDue)(uint32_t nowMs), void (*killAll)());
