// What the shared lock needs of the host system: a lock file to open, a lock to try on it
// without waiting, and the way to let both go. One file of these per system.
#pragma once

#include <string>

// Opens (creating it) the lock file, never through a link; the descriptor, or -1 with errno.
int OpenLockFile(const std::string& path);
// 0 when the lock is now held; EWOULDBLOCK while another holder has it; else an errno.
int TryLockFile(int fd);
void UnlockAndClose(int fd);
void CloseLockFile(int fd);
