// The lock is LockFileEx's on the lock file's first byte: the system drops it when its
// holder ends, killed or not, as flock does.
#include <windows.h>
#include <io.h>

#include <cerrno>

#include "platform/files/file_lock_host.h"
#include "platform/files/host_fd.h"
#include "platform/files/host_text_windows.h"

namespace {

HANDLE HandleOf(int fd) { return reinterpret_cast<HANDLE>(::_get_osfhandle(fd)); }

}  // namespace

int OpenLockFile(const std::string& path) { return OpenFd(path, FdOpen::LockFile); }

int TryLockFile(int fd) {
  OVERLAPPED at{};
  if (LockFileEx(HandleOf(fd), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at))
    return 0;
  const DWORD error = GetLastError();
  if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) return EWOULDBLOCK;
  return ErrnoFromWindows(error);
}

void UnlockAndClose(int fd) {
  OVERLAPPED at{};
  UnlockFileEx(HandleOf(fd), 0, 1, 0, &at);
  ::_close(fd);
}

void CloseLockFile(int fd) { ::_close(fd); }
