// Files by descriptor, opened with the guards each host has: never inherited by a program
// the game starts, never through a link where the host can refuse one, and always binary.
// Paths are host paths in UTF-8. Failures leave errno set.
#pragma once

#include <string>

enum class FdOpen {
  Read,            // an existing file
  ReadNoWait,      // the same, never through a link, never waiting on a pipe
  CreateNew,       // a new file, failing with EEXIST when the name is taken
  CreateTruncate,  // a new or emptied file
  LockFile,        // read and write, made when missing, never through a link
};

int OpenFd(const std::string& path, FdOpen how);
// Puts what was written to fd on the disk: 0, or -1.
int SyncFd(int fd);
// Whether path is a plain file itself (a link is not followed).
bool IsPlainFile(const std::string& path);
// A new file named pattern with its trailing XXXXXX filled in (pattern holds the name
// made); the descriptor, or -1.
int CreateTempFile(std::string* pattern);
// A new folder, named as CreateTempFile names files; false with errno.
bool CreateTempFolder(std::string* pattern);
// The folder for temporary files: $TMPDIR or /tmp, the user's temporary folder on Windows.
std::string TempFolder();
