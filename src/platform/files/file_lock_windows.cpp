#include "platform/files/file_lock.h"

#include <windows.h>
#include <io.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>
#include <utility>

#include "platform/files/host_fd.h"
#include "platform/files/host_text_windows.h"

namespace {

HANDLE HandleOf(int fd) { return reinterpret_cast<HANDLE>(::_get_osfhandle(fd)); }

// The first byte stands for the whole file; the lock file is never written.
bool TryLock(int fd, DWORD* error) {
  OVERLAPPED at{};
  if (LockFileEx(HandleOf(fd), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at))
    return true;
  *error = GetLastError();
  return false;
}

}  // namespace

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

// The system drops the lock when its holder ends, killed or not, as flock does.
bool FileLock::Acquire(const std::string& hostPath, int waitMs) {
  Release();
  const int fd = OpenFd(LockFileFor(hostPath), FdOpen::LockFile);
  if (fd < 0) {
    error_ = errno;
    return false;
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  auto pause = std::chrono::milliseconds(1);
  for (;;) {
    DWORD error = 0;
    if (TryLock(fd, &error)) {
      fd_ = fd;
      error_ = 0;
      return true;
    }
    if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING) {
      ::_close(fd);
      error_ = ErrnoFromWindows(error);
      return false;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      ::_close(fd);
      error_ = EWOULDBLOCK;
      return false;
    }
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(50));
  }
}

void FileLock::Release() {
  if (fd_ < 0) return;
  OVERLAPPED at{};
  UnlockFileEx(HandleOf(fd_), 0, 1, 0, &at);
  ::_close(fd_);
  fd_ = -1;
}
