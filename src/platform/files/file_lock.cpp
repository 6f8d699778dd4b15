#include "platform/files/file_lock.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>
#include <utility>

#include "platform/files/file_lock_host.h"

std::string LockFileFor(const std::string& hostPath) { return hostPath + ".lock"; }

FileLock::FileLock(FileLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), error_(other.error_) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = std::exchange(other.fd_, -1);
    error_ = other.error_;
  }
  return *this;
}

bool FileLock::Acquire(const std::string& hostPath, int waitMs) {
  Release();
  const int fd = OpenLockFile(LockFileFor(hostPath));
  if (fd < 0) {
    error_ = errno;
    return false;
  }
  // Polling rather than a blocking lock: a blocked call cannot give up after waitMs, and
  // an alarm signal to interrupt it would reach the whole program.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  auto pause = std::chrono::milliseconds(1);
  for (;;) {
    const int error = TryLockFile(fd);
    if (error == 0) {
      fd_ = fd;
      error_ = 0;
      return true;
    }
    if (error != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
      CloseLockFile(fd);
      error_ = error;
      return false;
    }
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(50));
  }
}

void FileLock::Release() {
  if (fd_ < 0) return;
  UnlockAndClose(fd_);
  fd_ = -1;
}
