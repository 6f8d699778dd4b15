#include "platform/files/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>
#include <utility>

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
  // The lock file is never followed through a link: it is ours, and a planted link must
  // not make us create or truncate a file elsewhere. It is never written either.
  int fd = ::open(LockFileFor(hostPath).c_str(),
                  O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0644);
  if (fd < 0) {
    error_ = errno;
    return false;
  }
  // Polling rather than a blocking flock: a blocked call cannot give up after waitMs, and
  // an alarm signal to interrupt it would reach the whole program.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  auto pause = std::chrono::milliseconds(1);
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      fd_ = fd;
      error_ = 0;
      return true;
    }
    int error = errno;
    if (error != EWOULDBLOCK && error != EINTR) {
      ::close(fd);
      error_ = error;
      return false;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      ::close(fd);
      error_ = EWOULDBLOCK;
      return false;
    }
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(50));
  }
}

void FileLock::Release() {
  if (fd_ < 0) return;
  ::flock(fd_, LOCK_UN);
  ::close(fd_);
  fd_ = -1;
}
