// An advisory lock that copies of the game (and the options command) take before they
// read, change and write back a file they share, such as the hall of fame. The lock lives
// in a small file of its own beside the shared one ("hiscore.dat.lock"), so the shared
// file can still be replaced by a rename while the lock is held.
//
// The lock is the kernel's (flock), so it goes with the process: a copy that is killed
// while holding it leaves nothing behind that blocks the next.
//
// Paths are host paths.
#pragma once

#include <string>

class FileLock {
 public:
  FileLock() = default;
  ~FileLock() { Release(); }
  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Takes the lock for the file at hostPath, waiting at most waitMs for another holder to
  // let go. True when held; otherwise Error() says why (EWOULDBLOCK when the wait ran out).
  bool Acquire(const std::string& hostPath, int waitMs);
  void Release();
  bool Held() const { return fd_ >= 0; }
  int Error() const { return error_; }

 private:
  int fd_ = -1;
  int error_ = 0;
};

// How long a copy waits for another to finish its save before it reports the lock as busy.
constexpr int kSharedFileLockWaitMs = 5000;

// The name of the lock file that guards hostPath.
std::string LockFileFor(const std::string& hostPath);
