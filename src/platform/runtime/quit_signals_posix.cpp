#include "platform/runtime/quit_signals.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <ctime>
#include <thread>


namespace {

// Time a run has to end after the first signal before the program is stopped.
constexpr time_t kGraceSeconds = 5;

std::atomic<int> signalled{0};
// Counts runs' starts and ends: the watcher knows whether the run it asked is still going.
std::atomic<unsigned> generation{0};
std::atomic<bool> running{false};
bool delivered = false;  // main thread

sigset_t QuitSet() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  return set;
}

[[noreturn]] void DieOf(int sig) {
  // As if the signal had never been blocked: the parent sees what ended the program.
  ::signal(sig, SIG_DFL);
  sigset_t one;
  sigemptyset(&one);
  sigaddset(&one, sig);
  ::pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
  ::raise(sig);
  ::_exit(128 + sig);
}

void Watch(sigset_t set) {
  for (;;) {
    int sig = 0;
    if (sigwait(&set, &sig) != 0) continue;
    const unsigned asked = generation.load();
    if (!running.load() || signalled.exchange(sig) != 0) DieOf(sig);
    // The run ends itself through its window; one stuck in a call that never returns
    // (a display server that does not answer) is ended here.
    const timespec grace{kGraceSeconds, 0};
    const int again = sigtimedwait(&set, nullptr, &grace);
    if (again > 0) DieOf(again);
    if (generation.load() == asked) DieOf(sig);
  }
}

void StartWatcher() {
  static const bool started = [] {
    sigset_t set = QuitSet();
    if (::pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0) return false;
    std::thread(Watch, set).detach();
    return true;
  }();
  (void)started;
}

}  // namespace

QuitSignalRun::QuitSignalRun() {
  StartWatcher();
  signalled.store(0);
  delivered = false;
  ++generation;
  running.store(true);
}

QuitSignalRun::~QuitSignalRun() {
  running.store(false);
  ++generation;
  signalled.store(0);
}

int QuitSignalled() { return signalled.load(); }

bool TakeQuitSignal() {
  if (delivered || signalled.load() == 0) return false;
  delivered = true;
  return true;
}
