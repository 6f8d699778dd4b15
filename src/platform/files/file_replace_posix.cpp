#include "platform/files/file_replace.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <system_error>

namespace {

constexpr int kMostLinks = 40;  // as many as the kernel follows before ELOOP
constexpr int kNameTries = 100;
// Room for the marker, a pid and a random tag inside one name of at most 255 bytes.
constexpr size_t kMostBaseInName = 200;
constexpr const char* kMarker = ".partial-";

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// ".hiscore.dat.partial-": hidden, and tied to the file it stands in for.
std::string TempPrefix(const std::string& target) {
  std::string prefix = ".";
  prefix += BaseOf(target).substr(0, kMostBaseInName);
  prefix += kMarker;
  return prefix;
}

// Follows symlinks at the last component, so that the link stays and its file is replaced.
// False with errno ELOOP for a cycle.
bool FollowLinks(std::string* path) {
  for (int i = 0; i < kMostLinks; ++i) {
    struct stat info;
    if (::lstat(path->c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return true;
    char buffer[4096];
    ssize_t n = ::readlink(path->c_str(), buffer, sizeof buffer - 1);
    if (n < 0) return false;
    std::string target(buffer, size_t(n));
    *path = target[0] == '/' ? target : FolderOf(*path) + "/" + target;
  }
  errno = ELOOP;
  return false;
}

unsigned long long RandomTag() {
  unsigned long long tag = 0;
  if (::getrandom(&tag, sizeof tag, GRND_NONBLOCK) != sizeof tag) {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    tag ^= (unsigned long long)now.tv_nsec * 0x9E3779B97F4A7C15ull ^ (unsigned long long)now.tv_sec;
  }
  return tag;
}

bool FsyncPath(const std::string& path, int flags) {
  int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

bool ProcessGone(long pid) { return pid <= 0 || (::kill(pid_t(pid), 0) != 0 && errno == ESRCH); }

}  // namespace

void FileReplacement::Open(const std::string& hostPath) {
  if (hostPath.empty()) return void(Fail(ENOENT));
  target_ = hostPath;
  if (!FollowLinks(&target_)) return void(Fail(errno));
  struct stat info;
  const bool exists = ::stat(target_.c_str(), &info) == 0;
  if (exists && S_ISDIR(info.st_mode)) return void(Fail(EISDIR));
  if (exists && !S_ISREG(info.st_mode)) {
    fd_ = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) Fail(errno);
    return;
  }
  RemoveStaleReplacements(target_);
  const std::string stem = FolderOf(target_) + "/" + TempPrefix(target_) +
                           std::to_string(::getpid()) + "-";
  // Only we may read it while it fills: an existing file's mode is set once it is ours.
  const mode_t mode = exists ? 0600 : 0666;
  for (int i = 0; i < kNameTries && fd_ < 0; ++i) {
    char tag[17];
    std::snprintf(tag, sizeof tag, "%016llx", RandomTag());
    std::string name = stem + tag;
    fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd_ >= 0) temp_ = name;
    else if (errno != EEXIST) return void(Fail(errno));
  }
  if (fd_ < 0) return void(Fail(EEXIST));
  if (exists) {
    // Another owner can only be kept by a privileged writer; the mode always can.
    if (::fchown(fd_, info.st_uid, info.st_gid) != 0 && errno != EPERM) Fail(errno);
    if (::fchmod(fd_, info.st_mode & 07777) != 0) Fail(errno);
  }
}

bool FileReplacement::Write(const void* data, size_t size) {
  if (error_ || done_ || fd_ < 0) return Fail(EBADF);
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::write(fd_, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return Fail(n < 0 ? errno : ENOSPC);
    bytes += n;
    size -= size_t(n);
  }
  return true;
}

bool FileReplacement::WriteAt(size_t offset, const void* data, size_t size) {
  if (error_ || done_ || fd_ < 0) return Fail(EBADF);
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::pwrite(fd_, bytes, size, off_t(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == ESPIPE) return true;
    if (n <= 0) return Fail(n < 0 ? errno : ENOSPC);
    bytes += n;
    size -= size_t(n);
    offset += size_t(n);
  }
  return true;
}

bool FileReplacement::Commit() {
  if (error_ || done_ || fd_ < 0) return Fail(EBADF);
  // The data must be on disk before the name points at it, or a power cut could leave the
  // name on an empty file. A device or pipe has nothing to sync.
  if (!temp_.empty() && ::fsync(fd_) != 0) return Fail(errno);
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return Fail(errno);
  if (!temp_.empty()) {
    if (std::rename(temp_.c_str(), target_.c_str()) != 0) return Fail(errno);
    temp_.clear();
    // Makes the rename itself durable; the new file is in place even if this fails.
    FsyncPath(FolderOf(target_), O_RDONLY | O_DIRECTORY);
  }
  done_ = true;
  return true;
}

void FileReplacement::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
}

void RemoveStaleReplacements(const std::string& hostPath) {
  std::string target = hostPath;
  if (target.empty() || !FollowLinks(&target)) return;
  const std::string folder = FolderOf(target);
  const std::string prefix = TempPrefix(target);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (dirent* entry = ::readdir(dir)) {
    const char* name = entry->d_name;
    if (std::strncmp(name, prefix.c_str(), prefix.size()) != 0) continue;
    char* end = nullptr;
    long pid = std::strtol(name + prefix.size(), &end, 10);
    if (*end != '-' || !ProcessGone(pid)) continue;
    // Only plain files we made; a link or folder of that name is not ours to touch.
    struct stat info;
    std::string path = folder + "/" + name;
    if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) ::unlink(path.c_str());
  }
  ::closedir(dir);
}

int RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // A file system that cannot rename without replacing: a new link fails on a taken name.
  if (::link(from.c_str(), to.c_str()) != 0) return errno;
  ::unlink(from.c_str());
  return 0;
}
