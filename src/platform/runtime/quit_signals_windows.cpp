// Windows: Ctrl+C, Ctrl+Break and the console closing ask a run to quit as the POSIX
// signals do; a second request ends the program at once (the system's own handler).
#include "platform/runtime/quit_signals.h"

#include <windows.h>

#include <atomic>
#include <csignal>

namespace {

std::atomic<int> signalled{0};
std::atomic<bool> running{false};
bool delivered = false;  // main thread

BOOL WINAPI OnControl(DWORD event) {
  const int sig = event == CTRL_C_EVENT ? SIGINT : SIGTERM;
  if (!running.load() || signalled.exchange(sig) != 0) return FALSE;
  return TRUE;
}

}  // namespace

QuitSignalRun::QuitSignalRun() {
  static const bool installed = SetConsoleCtrlHandler(OnControl, TRUE) != 0;
  (void)installed;
  signalled.store(0);
  delivered = false;
  running.store(true);
}

QuitSignalRun::~QuitSignalRun() {
  running.store(false);
  signalled.store(0);
}

int QuitSignalled() { return signalled.load(); }

bool TakeQuitSignal() {
  if (delivered || signalled.load() == 0) return false;
  delivered = true;
  return true;
}
