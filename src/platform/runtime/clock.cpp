// Real time from the steady clock, or a virtual clock that moves only when the program
// waits (headless runs: fast and repeatable). Listeners hear every move, on the thread
// that makes it.
#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/runtime/clock.h"
#include "platform/runtime/clock_internal.h"

namespace {

using Steady = std::chrono::steady_clock;

std::atomic<bool> isVirtual{false};
std::atomic<uint32_t> virtualNow{0};
std::atomic<uint64_t> advances{0};
Steady::time_point realStart = Steady::now();
std::atomic<uint32_t> lastPolledMs{0};
std::atomic<void (*)(uint32_t)> runDueTimers{nullptr};
std::atomic<void (*)()> killAllTimers{nullptr};

// Recursive: a listener may add or remove listeners; another thread removing one waits
// until the current call is over, so a removed listener is never called afterwards.
std::recursive_mutex listenerLock;
std::map<int, std::function<void(uint32_t)>> listeners;
int nextListenerId = 1;

void Notify(uint32_t nowMs) {
  std::lock_guard<std::recursive_mutex> guard(listenerLock);
  // Copy the ids: a listener may remove itself or others while we walk.
  std::vector<int> ids;
  for (auto& [id, fn] : listeners) ids.push_back(id);
  for (int id : ids) {
    auto it = listeners.find(id);
    if (it == listeners.end()) continue;
    auto fn = it->second;  // keep it alive while it runs
    fn(nowMs);
  }
}

}  // namespace

bool ClockIsVirtual() { return isVirtual.load(); }

uint32_t ClockNowMs() {
  if (isVirtual.load()) return virtualNow.load();
  auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - realStart);
  return static_cast<uint32_t>(elapsed.count());
}

void ClockSleepMs(uint32_t ms) {
  if (isVirtual.load()) {
    ClockAdvance(ms);
  } else {
    // No listener runs here: this may be any thread, and listeners belong to the main one.
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
}

int ClockAddListener(std::function<void(uint32_t nowMs)> listener) {
  std::lock_guard<std::recursive_mutex> guard(listenerLock);
  int id = nextListenerId++;
  listeners[id] = std::move(listener);
  return id;
}

void ClockRemoveListener(int id) {
  std::lock_guard<std::recursive_mutex> guard(listenerLock);
  listeners.erase(id);
}

void ClockSetTimers(void (*runDue)(uint32_t nowMs), void (*killAll)()) {
  runDueTimers.store(runDue);
  killAllTimers.store(killAll);
}

void ClockReset(bool virtualTime) {
  if (auto kill = killAllTimers.load()) kill();
  {
    std::lock_guard<std::recursive_mutex> guard(listenerLock);
    listeners.clear();
  }
  isVirtual = virtualTime;
  virtualNow = 0;
  realStart = Steady::now();
  lastPolledMs = 0;
}

void ClockAdvance(uint32_t ms) {
  if (!isVirtual.load()) return;
  uint32_t steps = (ms + kTimerPeriodMs - 1) / kTimerPeriodMs;
  if (steps == 0) steps = 1;
  for (uint32_t i = 0; i < steps; ++i) {
    uint32_t now = virtualNow.fetch_add(kTimerPeriodMs) + kTimerPeriodMs;
    ++advances;
    // Input first, so a button the script presses at t is what the timer polls at t.
    Notify(now);
    if (auto run = runDueTimers.load()) run(now);
  }
}

void ClockPoll() {
  if (isVirtual.load()) return;
  uint32_t now = ClockNowMs();
  if (lastPolledMs.exchange(now) == now) return;
  ++advances;
  Notify(now);
}

uint64_t ClockAdvanceCount() { return advances.load(); }
