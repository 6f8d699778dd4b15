// A recorded run of the game as a small text file: what the game read at its start (seed,
// settings, hall of fame) and, step by step, everything it saw from outside while it ran.
// A step is one point of the main thread at which outside state may reach the game: every
// view of the timer (each frame's pacing and each message pump) and every turn of host
// events into input. The same program fed the same steps plays the same run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/host_input.h"

constexpr int kReplayFormatVersion = 1;

struct ReplayEvent {
  uint64_t step = 0;
  int32_t tick = 0;  // the tick count the game saw at that step (for people and checks)
  ReplayKind kind = ReplayKind::End;
  int64_t a = 0, b = 0, c = 0;
  double rate = 0.0;
};

struct ReplaySetting {
  std::string file, section, key, value;
};

struct ReplayLog {
  std::string gameVersion;
  uint32_t seed = 0;
  // Every setting the run read, with the value it got.
  std::vector<ReplaySetting> settings;
  bool hasHallOfFame = false;
  std::string hallOfFame;  // the bytes of hiscore.dat as the run found it
  std::vector<ReplayEvent> events;  // in step order, ending with one End
};

// The whole file.
std::string WriteReplay(const ReplayLog& log);
// One event line, as the file holds it (for streaming writes).
std::string ReplayEventLine(const ReplayEvent& event);
// The header lines up to and including "events".
std::string ReplayHeader(const ReplayLog& log);

// Reads a whole file. Refuses other format or game versions and unknown fields; on any
// fault false, with a message naming the line.
bool ReadReplay(std::string_view text, std::string_view gameVersion, ReplayLog* log,
                std::string* error);

// The largest file a reader accepts (a long run holds well under this).
constexpr size_t kReplayMaxBytes = 256u << 20;
