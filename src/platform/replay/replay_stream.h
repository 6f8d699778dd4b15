// Replay files as a run plays or records them: read as a stream, checked whole before
// anything starts, and written as the run goes so that a killed run keeps its recording.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/replay/replay_format.h"

// A replay opened for playing.
class ReplayInput {
 public:
  ReplayInput() = default;
  ~ReplayInput();
  ReplayInput(const ReplayInput&) = delete;
  ReplayInput& operator=(const ReplayInput&) = delete;

  // Refuses a file larger than any replay before reading it, then reads it through once
  // (its header, every setting, where it ends); false with a message on any fault.
  bool Open(const std::string& hostPath, std::string_view gameVersion, std::string* error);
  // The header and every setting of the file; no events.
  const ReplayLog& Header() const { return header_; }
  // The next event, or nullptr when none is left (or the file changed under us: Error()).
  const ReplayEvent* Peek();
  void Pop() { next_.reset(); }
  // The last event before "end" (the last of all when the run was cut off).
  uint64_t LastStep() const { return lastStep_; }
  int32_t LastTick() const { return lastTick_; }
  bool CutOff() const { return header_.cutOff; }
  const std::string& Error() const { return error_; }

 private:
  bool Rewind();

  int fd_ = -1;
  std::string version_;
  ReplayLog header_;
  ReplayLog scratch_;  // the second reading's header, dropped
  std::unique_ptr<ReplayReader> reader_;
  std::optional<ReplayEvent> next_;
  uint64_t lastStep_ = 0;
  int32_t lastTick_ = 0;
  std::string error_;
};

// Where a recording goes while it runs: whole lines, handed to the system at least once a
// second (a kill then loses at most that second).
class ReplayOutput {
 public:
  ReplayOutput() = default;
  explicit ReplayOutput(int fd) : fd_(fd) {}
  ~ReplayOutput();
  ReplayOutput(ReplayOutput&& other) noexcept;
  ReplayOutput& operator=(ReplayOutput&& other) noexcept;

  bool IsOpen() const { return fd_ >= 0; }
  // Writes text whole; after a failure nothing more is written and Error() says why.
  void Write(std::string_view text);
  // Closes the file; the errno of the first failure, or 0.
  int Close();
  int Error() const { return error_; }

 private:
  int fd_ = -1;
  int error_ = 0;
};

// Opens (or empties) the file at hostPath for a recording: the fd, or -1 with errno.
int CreateRecordingFile(const std::string& hostPath);
