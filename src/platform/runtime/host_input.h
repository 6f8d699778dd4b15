// Input from outside the program (the window system, or a script standing in for it) goes
// through here on its way to the game, so that a recording sees each change once, in
// order, and a replay can put the same changes back while the player's own input steers
// the playback instead. The queue knows neither: the recording hangs in as a filter, the
// game's input state as the target.
#pragma once

#include "platform/runtime/messages.h"

// What happened at a step of the run; host input is the part from Move on. A recording
// stores these (replay/replay_format.h).
enum class ReplayKind {
  // The timer as the game saw it at a step.
  Frame,    // the tick count was `a` where the plain pacing would have given another
  Clock,    // the round's clock counted `a` seconds since the step before
  Buttons,  // the mouse buttons seen were `a` (bit 0 left, bit 1 right)
  Rate,     // the measured frame rate was `rate`
  Check,    // the check value of board and score was `a` (drift detection)
  // Host input turned into game input at a step.
  Move,       // mouse to (a, b)
  Press,      // button a (0 left, 1 right) down
  Release,    // button a up
  KeyDown,    // PC scan code a
  KeyUp,
  PadDown,    // gamepad button a down (again, when a held direction repeats)
  PadUp,
  ReleaseAll,  // focus lost: everything held lets go
  Activate,
  Deactivate,
  Close,
  Post,  // window message a with wParam b and lParam c
  End,   // the run ended here; `a` is the final check value
};

struct HostInput {
  ReplayKind kind = ReplayKind::Move;  // Move ... Post of ReplayKind
  int a = 0, b = 0, c = 0;
};

// Sees each input first; true when it took it (a replay's playback control), so it goes
// no further.
using HostInputFilter = bool (*)(const HostInput& input);
// Applies one change to the game's input state and message queue.
using HostInputTarget = void (*)(const HostInput& input);
// Installed before main; without a target input goes nowhere.
void SetHostInputFilter(HostInputFilter filter);
void SetHostInputTarget(HostInputTarget target);

// From the window system or a script: past the filter (recorded), then applied (or,
// during a replay, taken as a playback control).
void DeliverHostInput(const HostInput& input);

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
bool HostInputQueued();
// How many inputs have come from outside so far (main thread): a frame that saw none
// changed nothing by input.
unsigned long long HostInputCount();
// Delivers what was queued, oldest first (at a turn of host events).
void DeliverQueuedHostInput();
