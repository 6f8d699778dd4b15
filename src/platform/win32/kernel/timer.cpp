// The multimedia timer. Real time: one thread per timer, woken at absolute deadlines so the
// period does not drift. Virtual time: the clock runs the callbacks as it passes their
// deadlines, on the thread that advances it.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/runtime/clock.h"
#include "platform/runtime/clock_internal.h"
#include "platform/win32/kernel/timer_internal.h"
#include "platform/win32/sound/mmsystem.h"
#include "platform/win32/window/window_internal.h"

namespace {

using Steady = std::chrono::steady_clock;

struct Timer {
  uint32_t id = 0;
  uint32_t delay = 0;
  LPTIMECALLBACK callback = nullptr;
  uintptr_t user = 0;
  bool periodic = true;
  // Virtual time.
  uint32_t nextDue = 0;
  bool done = false;
  // Real time.
  std::thread thread;
  std::mutex lock;
  std::condition_variable wake;
  bool stop = false;
};

std::mutex timersLock;
std::map<uint32_t, std::shared_ptr<Timer>> timers;
uint32_t nextTimerId = 1;

// Every callback run bumps the generation; WaitForTimerTick sleeps until it moves.
std::mutex tickLock;
std::condition_variable tickSignal;
std::atomic<uint64_t> tickGeneration{0};

void Ticked() {
  {
    std::lock_guard<std::mutex> guard(tickLock);
    ++tickGeneration;
  }
  tickSignal.notify_all();
}

void RunRealTimer(std::shared_ptr<Timer> timer) {
  const auto period = std::chrono::milliseconds(timer->delay);
  auto next = Steady::now() + period;
  std::unique_lock<std::mutex> guard(timer->lock);
  while (!timer->stop) {
    if (timer->wake.wait_until(guard, next, [&] { return timer->stop; })) break;
    guard.unlock();
    timer->callback(timer->id, 0, timer->user, 0, 0);
    guard.lock();
    // Killed meanwhile (perhaps by the callback itself, whose thread is then detached):
    // touch nothing shared any more, the program may be ending.
    if (timer->stop) break;
    Ticked();
    if (!timer->periodic) break;
    next += period;
    // Far behind (the machine slept): start afresh rather than fire a burst.
    if (Steady::now() - next > 10 * period) next = Steady::now() + period;
  }
}

void Stop(const std::shared_ptr<Timer>& timer) {
  {
    std::lock_guard<std::mutex> guard(timer->lock);
    timer->stop = true;
  }
  timer->wake.notify_all();
  if (!timer->thread.joinable()) return;
  // A callback may kill its own timer; its thread then ends by itself.
  if (timer->thread.get_id() == std::this_thread::get_id()) {
    timer->thread.detach();
  } else {
    timer->thread.join();
  }
}

bool AnyTimer() {
  std::lock_guard<std::mutex> guard(timersLock);
  return !timers.empty();
}

}  // namespace

MMRESULT timeGetDevCaps(TIMECAPS* caps, uint32_t) {
  if (!caps) return TIMERR_NOCANDO;
  caps->wPeriodMin = 1;
  caps->wPeriodMax = 1000000;
  return TIMERR_NOERROR;
}

MMRESULT timeBeginPeriod(uint32_t period) {
  return period >= 1 && period <= 1000000 ? TIMERR_NOERROR : TIMERR_NOCANDO;
}

MMRESULT timeEndPeriod(uint32_t period) { return timeBeginPeriod(period); }

uint32_t timeSetEvent(uint32_t delay, uint32_t, LPTIMECALLBACK callback, uintptr_t user,
                      uint32_t flags) {
  if (delay == 0 || !callback) return 0;
  auto timer = std::make_shared<Timer>();
  timer->delay = delay;
  timer->callback = callback;
  timer->user = user;
  timer->periodic = (flags & TIME_PERIODIC) != 0;
  {
    std::lock_guard<std::mutex> guard(timersLock);
    timer->id = nextTimerId++;
    if (nextTimerId == 0) nextTimerId = 1;
    timer->nextDue = ClockNowMs() + delay;
    timers[timer->id] = timer;
  }
  if (!ClockIsVirtual()) timer->thread = std::thread(RunRealTimer, timer);
  return timer->id;
}

MMRESULT timeKillEvent(uint32_t timerId) {
  std::shared_ptr<Timer> timer;
  {
    std::lock_guard<std::mutex> guard(timersLock);
    auto it = timers.find(timerId);
    if (it == timers.end()) return TIMERR_NOCANDO;
    timer = it->second;
    timers.erase(it);
  }
  Stop(timer);
  return TIMERR_NOERROR;
}

uint32_t timeGetTime() { return ClockNowMs(); }

void RunDueVirtualTimers(uint32_t nowMs) {
  std::vector<std::shared_ptr<Timer>> due;
  {
    std::lock_guard<std::mutex> guard(timersLock);
    for (auto& [id, timer] : timers) {
      if (!timer->done && static_cast<int32_t>(nowMs - timer->nextDue) >= 0) due.push_back(timer);
    }
  }
  for (auto& timer : due) {
    {
      std::lock_guard<std::mutex> guard(timersLock);
      if (!timers.count(timer->id)) continue;  // killed by an earlier callback
    }
    timer->nextDue += timer->delay;
    if (!timer->periodic) timer->done = true;
    timer->callback(timer->id, 0, timer->user, 0, 0);
  }
  if (!due.empty()) Ticked();
}

void KillAllTimers() {
  std::vector<uint32_t> ids;
  {
    std::lock_guard<std::mutex> guard(timersLock);
    for (auto& [id, timer] : timers) ids.push_back(id);
  }
  for (uint32_t id : ids) timeKillEvent(id);
}

void WaitForTimerTick() {
  NoteProgress();
  if (ClockIsVirtual()) {
    ClockAdvance(kTimerPeriodMs);
    return;
  }
  // A tick that came after our caller last waited counts: the caller may have checked its
  // deadline just before it, and waiting for the next one would lose a frame.
  thread_local uint64_t lastSeen = 0;
  std::unique_lock<std::mutex> guard(tickLock);
  if (tickGeneration.load() == lastSeen) {
    auto limit = std::chrono::milliseconds(AnyTimer() ? 3 * kTimerPeriodMs : kTimerPeriodMs);
    uint64_t seen = lastSeen;
    tickSignal.wait_for(guard, limit, [&] { return tickGeneration.load() != seen; });
  }
  lastSeen = tickGeneration.load();
  guard.unlock();
  ClockPoll();
}
