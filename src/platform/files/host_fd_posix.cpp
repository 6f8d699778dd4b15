#include "platform/files/host_fd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

int OpenFd(const std::string& path, FdOpen how) {
  constexpr int always = O_CLOEXEC | O_NOCTTY;
  switch (how) {
    case FdOpen::Read: return ::open(path.c_str(), O_RDONLY | always);
    case FdOpen::ReadNoWait: return ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | always);
    case FdOpen::CreateNew:
      return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | always, 0644);
    case FdOpen::CreateTruncate: return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | always, 0644);
    case FdOpen::LockFile: return ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | always, 0644);
  }
  return -1;
}

int SyncFd(int fd) { return ::fsync(fd); }

bool IsPlainFile(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

int CreateTempFile(std::string* pattern) {
  const int fd = ::mkostemp(pattern->data(), O_CLOEXEC);
  if (fd >= 0 && ::fchmod(fd, 0644) != 0) {
    ::close(fd);
    ::unlink(pattern->c_str());
    return -1;
  }
  return fd;
}

bool CreateTempFolder(std::string* pattern) { return ::mkdtemp(pattern->data()) != nullptr; }

std::string TempFolder() {
  const char* tmp = std::getenv("TMPDIR");
  return tmp && *tmp ? tmp : "/tmp";
}

