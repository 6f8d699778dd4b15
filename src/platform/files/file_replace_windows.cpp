// Windows: the new contents go into a fresh file beside the target, written through to the
// disk and flushed, then put in the target's place by ReplaceFileW (which keeps the old
// file's attributes and security) or, for a new target, MoveFileExW with write-through.
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <system_error>

#undef ReplaceFile  // ours, not the system's: the names meet only here
#include "platform/files/file_replace.h"
#include "platform/files/host_text_windows.h"

namespace {

constexpr int kNameTries = 100;
constexpr size_t kMostBaseInName = 200;
constexpr const char* kMarker = ".partial-";

size_t LastSlash(const std::string& path) { return path.find_last_of("/\\"); }

std::string FolderOf(const std::string& path) {
  const size_t slash = LastSlash(path);
  if (slash == std::string::npos) return ".";
  return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
  const size_t slash = LastSlash(path);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string TempPrefix(const std::string& target) {
  return "." + BaseOf(target).substr(0, kMostBaseInName) + kMarker;
}

HANDLE HandleOf(int fd) { return reinterpret_cast<HANDLE>(::_get_osfhandle(fd)); }

int Errno() { return ErrnoFromWindows(GetLastError()); }

bool ProcessGone(unsigned long pid) {
  if (pid == 0) return true;
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;
  const bool gone = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
  CloseHandle(process);
  return gone;
}

// A handle as a C runtime descriptor, so the class keeps one kind of member on every host.
int Adopt(HANDLE handle) {
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY);
  if (fd < 0) CloseHandle(handle);
  return fd;
}

}  // namespace

void FileReplacement::Open(const std::string& hostPath) {
  if (hostPath.empty()) return void(Fail(ENOENT));
  target_ = hostPath;
  const std::wstring wide = Widen(target_);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return void(Fail(EISDIR));
  if (exists && (attributes & FILE_ATTRIBUTE_DEVICE)) {
    HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return void(Fail(Errno()));
    fd_ = Adopt(h);
    if (fd_ < 0) Fail(errno);
    return;
  }
  RemoveStaleReplacements(target_);
  const std::string stem = FolderOf(target_) + "/" + TempPrefix(target_) +
                           std::to_string(GetCurrentProcessId()) + "-";
  std::mt19937_64 random{std::random_device{}() ^ GetTickCount64()};
  for (int i = 0; i < kNameTries && fd_ < 0; ++i) {
    char tag[17];
    std::snprintf(tag, sizeof tag, "%016llx", static_cast<unsigned long long>(random()));
    const std::string name = stem + tag;
    // Not inherited (no security attributes say so), written through to the disk.
    HANDLE h = CreateFileW(Widen(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      fd_ = Adopt(h);
      if (fd_ < 0) return void(Fail(errno));
      temp_ = name;
    } else if (GetLastError() != ERROR_FILE_EXISTS) {
      return void(Fail(Errno()));
    }
  }
  if (fd_ < 0) Fail(EEXIST);
}

bool FileReplacement::Write(const void* data, size_t size) {
  if (error_ || done_ || fd_ < 0) return Fail(EBADF);
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    DWORD n = 0;
    const DWORD chunk = size > (1u << 30) ? (1u << 30) : DWORD(size);
    if (!WriteFile(HandleOf(fd_), bytes, chunk, &n, nullptr)) return Fail(Errno());
    if (n == 0) return Fail(ENOSPC);
    bytes += n;
    size -= n;
  }
  return true;
}

bool FileReplacement::WriteAt(size_t offset, const void* data, size_t size) {
  if (error_ || done_ || fd_ < 0) return Fail(EBADF);
  if (GetFileType(HandleOf(fd_)) != FILE_TYPE_DISK) return true;
  LARGE_INTEGER back{}, at{};
  at.QuadPart = LONGLONG(offset);
  HANDLE h = HandleOf(fd_);
  if (!SetFilePointerEx(h, LARGE_INTEGER{}, &back, FILE_CURRENT) ||
      !SetFilePointerEx(h, at, nullptr, FILE_BEGIN))
    return Fail(Errno());
  const bool ok = Write(data, size);
  if (!SetFilePointerEx(h, back, nullptr, FILE_BEGIN)) return Fail(Errno());
  return ok;
}

bool FileReplacement::Commit() {
  if (error_ || done_ || fd_ < 0) return Fail(EBADF);
  if (!temp_.empty() && !FlushFileBuffers(HandleOf(fd_))) return Fail(Errno());
  const int fd = fd_;
  fd_ = -1;
  if (::_close(fd) != 0) return Fail(errno);
  if (!temp_.empty()) {
    const std::wstring from = Widen(temp_), to = Widen(target_);
    const bool replaced =
        ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                     nullptr) ||
        MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!replaced) return Fail(Errno());
    temp_.clear();
  }
  done_ = true;
  return true;
}

void FileReplacement::Discard() {
  if (fd_ >= 0) ::_close(fd_);
  fd_ = -1;
  if (!temp_.empty()) DeleteFileW(Widen(temp_).c_str());
  temp_.clear();
}

void RemoveStaleReplacements(const std::string& hostPath) {
  if (hostPath.empty()) return;
  const std::string folder = FolderOf(hostPath);
  const std::string prefix = TempPrefix(hostPath);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Widen(folder + "/" + prefix + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = Narrow(found.cFileName);
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    char* end = nullptr;
    const unsigned long pid = std::strtoul(name.c_str() + prefix.size(), &end, 10);
    if (*end != '-' || !ProcessGone(pid)) continue;
    if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
    DeleteFileW(Widen(folder + "/" + name).c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

int RenameNoReplace(const std::string& from, const std::string& to) {
  if (MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_WRITE_THROUGH)) return 0;
  return Errno();
}
