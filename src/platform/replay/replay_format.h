// A recorded run of the game as a small text file: what the game read at its start (seed,
// settings, hall of fame) and, step by step, everything it saw from outside while it ran.
// A step is one point of the main thread at which outside state may reach the game: every
// view of the timer (each frame's pacing and each message pump) and every turn of host
// events into input. The same program fed the same steps plays the same run.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/host_input.h"

// Format 1 was written whole at the end of a run. Format 2 is written as the run goes: a
// setting first read after the file was begun follows "events" as a line of its own, and a
// file without "end" is the recording of a run that was killed (it plays to its last event).
constexpr int kReplayFormatVersion = 2;

// What a run can reach: a tick count past about 12 days would overflow the game's own
// arithmetic, and no run takes more than a few thousand steps a second.
constexpr int32_t kReplayMaxTick = 1 << 30;
constexpr uint64_t kReplayMaxStep = uint64_t{1} << 40;
// The longest line (the hall of fame in hex) and the most settings a reader holds.
constexpr size_t kReplayMaxLine = 256u << 10;
constexpr size_t kReplayMaxSettings = 4096;

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
  std::vector<ReplayEvent> events;  // in step order, ending with one End unless cut off
  bool cutOff = false;  // no End: the run was killed while it was recorded
};

// The whole file.
std::string WriteReplay(const ReplayLog& log);
// One event line, as the file holds it (for streaming writes).
std::string ReplayEventLine(const ReplayEvent& event);
// The header lines up to and including "events".
std::string ReplayHeader(const ReplayLog& log);
// A setting line, as it follows "events" when first read after the file was begun.
std::string ReplaySettingLine(const ReplaySetting& setting);

// Bytes of a replay as they come, a block at a time: how many were put in buffer, 0 at the
// end, -1 when reading failed.
using ReplaySource = std::function<long(char* buffer, size_t size)>;

// Reads a replay as a stream: memory stays bounded by the longest line, whatever the size
// of the file. Every fault stops the reader with a message naming the line.
class ReplayReader {
 public:
  ReplayReader(ReplaySource source, std::string_view gameVersion);
  // The lines up to "events" into log (its events untouched).
  bool ReadHeader(ReplayLog* log);
  // The next event; a setting met on the way goes into the log given to ReadHeader. False
  // at the end of the file (Error() empty) or on a fault.
  bool Next(ReplayEvent* event);
  // After the last event: "end" was read (else the run was cut off).
  bool Ended() const { return ended_; }
  const std::string& Error() const { return error_; }

 private:
  bool Fill();
  bool NextLine(std::string_view* line, bool* whole);
  bool Fail(const std::string& message);
  bool HeaderLine(const std::vector<std::string_view>& f);
  bool SettingLine(const std::vector<std::string_view>& f);
  bool EventLine(const std::vector<std::string_view>& f, ReplayEvent* e);

  ReplaySource source_;
  std::string version_;
  ReplayLog* log_ = nullptr;
  std::string buffer_, error_;
  size_t at_ = 0;
  bool eof_ = false, ended_ = false, seenVersion_ = false, seenSeed_ = false;
  int format_ = 0;
  int line_ = 0;
  bool anyEvent_ = false;
  ReplayEvent last_;
};

// Reads a whole file held in memory. Refuses other format or game versions and unknown
// fields; on any fault false, with a message naming the line.
bool ReadReplay(std::string_view text, std::string_view gameVersion, ReplayLog* log,
                std::string* error);

// The largest file a reader accepts (a long run holds well under this).
constexpr size_t kReplayMaxBytes = 256u << 20;
