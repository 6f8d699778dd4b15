// The lock is flock's: it goes with the process, so a holder that is killed blocks no one.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files/file_lock_host.h"

int OpenLockFile(const std::string& path) {
  // The lock file is never followed through a link: it is ours, and a planted link must
  // not make us create or truncate a file elsewhere. It is never written either.
  return ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0644);
}

int TryLockFile(int fd) {
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return 0;
  return errno == EINTR ? EWOULDBLOCK : errno;  // interrupted: try again like a busy lock
}

void UnlockAndClose(int fd) {
  ::flock(fd, LOCK_UN);
  ::close(fd);
}

void CloseLockFile(int fd) { ::close(fd); }
