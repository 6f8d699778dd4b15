// Input from outside the program (the window system, or a script standing in for it) goes
// through here on its way to the game, so that a recording sees each change once, in
// order, and a replay can put the same changes back while the player's own input steers
// the playback instead.
#pragma once

#include "platform/replay_format.h"
#include "platform/win.h"

struct HostInput {
  ReplayKind kind = ReplayKind::Move;  // Move ... Post of ReplayKind
  int a = 0, b = 0, c = 0;
};

// From the window system or a script: recorded, then applied (or, during a replay, taken
// as a playback control).
void DeliverHostInput(const HostInput& input);
// Applies one change to the game's input state and message queue.
void ApplyHostInput(const HostInput& input);

// Shorthands for the backends.
inline void HostPost(UINT message, WPARAM wParam, LPARAM lParam) {
  DeliverHostInput({ReplayKind::Post, static_cast<int>(message), static_cast<int>(wParam),
                    static_cast<int>(lParam)});
}

// Input that comes from the clock's listeners (a script, the --max-ms watcher) rather than
// the window system. It waits, as a window system's events do, for the next turn of host
// events: a listener runs in the middle of whatever advanced the clock, and input taken
// there could not be put back at the same point by a replay. Main thread only.
void QueueHostInput(const HostInput& input);
// Forgets queued input (a fresh run).
void ClearQueuedHostInput();

// The main thread turns pending host events (and queued input) into input here (a step of
// the run).
void DrainHostInput();
// The same, waiting up to ms for an event first.
void WaitHostInput(int ms);
