#include "platform/files/host_fd.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <random>

#include "platform/files/host_text_windows.h"

namespace {

int Open(const std::string& path, int flags) {
  return ::_wopen(Widen(path).c_str(), flags | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
}

// Fills the trailing XXXXXX of pattern with letters and digits.
bool FillName(std::string* pattern) {
  constexpr std::string_view kX = "XXXXXX";
  if (pattern->size() < kX.size() || pattern->compare(pattern->size() - kX.size(), kX.size(), kX) != 0)
    return false;
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  static thread_local std::mt19937 random{std::random_device{}() ^ GetCurrentProcessId()};
  for (size_t i = pattern->size() - kX.size(); i < pattern->size(); ++i)
    (*pattern)[i] = kChars[random() % (sizeof kChars - 1)];
  return true;
}

}  // namespace

int OpenFd(const std::string& path, FdOpen how) {
  switch (how) {
    case FdOpen::Read:
    case FdOpen::ReadNoWait: return Open(path, _O_RDONLY);
    case FdOpen::CreateNew: return Open(path, _O_WRONLY | _O_CREAT | _O_EXCL);
    case FdOpen::CreateTruncate: return Open(path, _O_WRONLY | _O_CREAT | _O_TRUNC);
    case FdOpen::LockFile: return Open(path, _O_RDWR | _O_CREAT);
  }
  return -1;
}

int SyncFd(int fd) { return ::_commit(fd); }

bool IsPlainFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE));
}

int CreateTempFile(std::string* pattern) {
  const std::string original = *pattern;
  for (int tries = 0; tries < 100; ++tries) {
    *pattern = original;
    if (!FillName(pattern)) {
      errno = EINVAL;
      return -1;
    }
    const int fd = Open(*pattern, _O_WRONLY | _O_CREAT | _O_EXCL);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool CreateTempFolder(std::string* pattern) {
  const std::string original = *pattern;
  for (int tries = 0; tries < 100; ++tries) {
    *pattern = original;
    if (!FillName(pattern)) {
      errno = EINVAL;
      return false;
    }
    if (CreateDirectoryW(Widen(*pattern).c_str(), nullptr)) return true;
    const DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS) {
      errno = ErrnoFromWindows(error);
      return false;
    }
  }
  errno = EEXIST;
  return false;
}

std::string TempFolder() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
  std::string folder = n > 0 && n <= MAX_PATH ? Narrow({buffer, n}) : std::string(".");
  while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return folder;
}

