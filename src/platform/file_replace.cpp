#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/paths.h"

namespace {

bool SyncPath(const std::string& path, int flags) {
  int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

int ReplaceFileAtomically(const char* tempPath, const char* finalPath) {
  if (!tempPath || !finalPath) return 0;
  std::string from = MapPath(tempPath);
  std::string to = MapPath(finalPath);
  // The data must be on disk before the name points at it, or a power cut could leave
  // the new name on an empty file.
  if (!SyncPath(from, O_RDONLY)) return 0;
  if (std::rename(from.c_str(), to.c_str()) != 0) return 0;
  // Make the rename itself durable; the file is already in place if this fails.
  SyncPath(FolderOf(to), O_RDONLY | O_DIRECTORY);
  return 1;
}
