// Asked to quit from outside: SIGINT, SIGTERM and SIGHUP (the terminal went away) end a
// run as closing its window does, so that what it owes is written (the recording kept, a
// replay's private folder removed). A second signal, or a run that has not ended a few
// seconds after the first, ends the program at once.
#pragma once

// For the length of one run (PlatformMain). The first one also blocks the three signals
// in the calling thread, which must come before any other (threads started later inherit
// the block), and starts the thread that waits for them.
class QuitSignalRun {
 public:
  QuitSignalRun();
  ~QuitSignalRun();
  QuitSignalRun(const QuitSignalRun&) = delete;
  QuitSignalRun& operator=(const QuitSignalRun&) = delete;
};

// The signal that asked this run to quit, or 0.
int QuitSignalled();
// Main thread: true once a run, when a signal has come; the caller then closes the window.
bool TakeQuitSignal();
