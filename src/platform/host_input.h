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

// The main thread turns pending host events into input here (a step of the run).
void DrainHostInput();
// The same, waiting up to ms for an event first.
void WaitHostInput(int ms);
