// Recording and replaying runs, as the shell and the game see it. The shell hands over what
// its timer thread gave at each view; while a replay plays, the recording's view comes back
// instead, and the player's own input only steers the playback.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

// What the main thread takes from the timer thread at once, at fixed points of the frame.
struct TimerView {
  int ticks = 0;       // the tick count
  int countdowns = 0;  // seconds the round clock gathered since the last view
  int buttons = 0;     // the mouse buttons as last polled
};

// One view. predictedTicks is what plain pacing gives without any delay (the frame deadline,
// or the last view within a frame). Recording: notes whatever differs. Replaying: fills view
// from the recording and keeps pace with it (real time in a window, none headless).
// The pacing view is the one of each frame's start; the other, of each message pump.
void ReplayPacingView(int predictedTicks, TimerView* view);
void ReplayTimerView(int predictedTicks, TimerView* view);
// True while a replay plays: the frame loop then takes its time from the views alone.
bool ReplayPlaying();
// True while a run is recorded or replayed: only the views then move the game's time.
bool ReplayActive();
// While a replay plays, what the screen should say about it ("REPLAY", "PAUSED",
// "FAST x4"); "" in a live run.
std::string ReplaySign();

// The seed for srand: --seed when given, else the current time in seconds (while a replay
// plays, the recording's).
unsigned PlatformSeedTime();

// A hall-of-fame entry the game has just written: the running recording becomes its replay.
void ReplayNoteHallOfFameEntry(const char* text, int score);
// The whole path of the replay kept for an entry, or "" when there is none. Equal entries
// (the same text and score) are told apart by tie: how many of them stand above it.
std::string ReplayForHallOfFameEntry(const char* text, int score, int tie);

struct HallOfFameEntry {
  std::string text;
  int score = 0;
};
// The game lists the entries that stand in its hall of fame; the replays of those are kept.
// It answers nothing (nullopt) when its table cannot be read: then every link is kept, since
// an entry that may still stand must not lose its replay.
using StandingEntries = std::function<std::optional<std::vector<HallOfFameEntry>>()>;
void RegisterHallOfFameEntries(StandingEntries entries);
