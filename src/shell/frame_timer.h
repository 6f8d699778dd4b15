// Internals of the frame timer that the frame loop and the tests reach.
#pragma once

// One timer period: tick count += 10, then the per-tick work (mouse buttons, game clock).
// The timer thread calls it; without a timer the frame loop does, paced by the system clock.
void FrameTimerStep();
// The game's view of the timer (ticks, the clock's countdown, the buttons) moves on only
// here: at the start of each message pump, and (pacing) when a frame may start.
// predictedTicks is what that view gives when nothing was late.
void SyncTimerView(bool pacing, int predictedTicks);
// The timer thread's own tick count (what the frame deadline waits for).
int RawTicks();
// 1 while the periodic timer runs.
int FrameTimerRunning();
// Catches the tick count up with the system clock when no timer runs (no-op otherwise).
void CatchUpTicks();
// Back to the start-of-run state: tick count 0, clock stopped at 0 seconds, accumulator 0.
void ResetFrameTimerState();
// The next frame may start at once (a fresh run).
void ResetFrameDeadline();
// The tick (the timer's own count) at which the round's clock next counts a second; at once
// when one is counted but not yet seen, INT_MAX while the clock is stopped.
int NextClockSecondTick();
// 1 while the game clock counts down (StartGameClock), 0 once stopped.
int GameClockRunning();
