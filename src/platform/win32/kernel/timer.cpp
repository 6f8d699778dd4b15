// The multimedia timer, without a thread of its own: a callback runs when its deadline has
// passed and the program looks at the clock (each poll of the message queue, each wait for a
// tick), once for every period gone by. A program that does not look needs no wake-ups; one
// that waits for a tick sleeps until the next deadline. Virtual time runs them the same way
// as the clock passes their deadlines.
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/runtime/clock.h"
#include "platform/runtime/clock_internal.h"
#include "platform/win32/kernel/timer_internal.h"
#include "platform/win32/sound/mmsystem.h"
#include "platform/win32/window/window_internal.h"

namespace {

struct Timer {
  uint32_t id = 0;
  uint32_t delay = 0;
  LPTIMECALLBACK callback = nullptr;
  uintptr_t user = 0;
  bool periodic = true;
  uint32_t nextDue = 0;  // clock milliseconds
  bool done = false;
};

std::mutex timersLock;
std::map<uint32_t, std::shared_ptr<Timer>> timers;
uint32_t nextTimerId = 1;
// One batch at a time, and none inside a callback (a callback that looks at the clock).
std::mutex batchLock;
thread_local bool inBatch = false;

bool Due(uint32_t nowMs, const Timer& timer) {
  return !timer.done && static_cast<int32_t>(nowMs - timer.nextDue) >= 0;
}

// Takes one call that is due from a timer not killed meanwhile: true when it is to run now.
bool TakeDueCall(uint32_t nowMs, Timer& timer) {
  std::lock_guard<std::mutex> guard(timersLock);
  if (!timers.count(timer.id) || !Due(nowMs, timer)) return false;
  timer.nextDue += timer.delay;
  if (!timer.periodic) timer.done = true;
  return true;
}

// Milliseconds until the first timer is due (0 when one is), or -1 without timers.
int MsToNextDue(uint32_t nowMs) {
  std::lock_guard<std::mutex> guard(timersLock);
  int soonest = -1;
  for (auto& [id, timer] : timers) {
    if (timer->done) continue;
    const int32_t left = static_cast<int32_t>(timer->nextDue - nowMs);
    const int ms = left > 0 ? left : 0;
    if (soonest < 0 || ms < soonest) soonest = ms;
  }
  return soonest;
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
  return TIMERR_NOERROR;
}

uint32_t timeGetTime() { return ClockNowMs(); }

void RunDueTimers(uint32_t nowMs) {
  if (inBatch) return;
  std::lock_guard<std::mutex> batch(batchLock);
  inBatch = true;
  std::vector<std::shared_ptr<Timer>> due;
  {
    std::lock_guard<std::mutex> guard(timersLock);
    for (auto& [id, timer] : timers) {
      if (Due(nowMs, *timer)) due.push_back(timer);
    }
  }
  // Every period gone by is one call, in order: the callbacks count them.
  for (auto& timer : due) {
    while (TakeDueCall(nowMs, *timer)) timer->callback(timer->id, 0, timer->user, 0, 0);
  }
  inBatch = false;
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
  const int wait = MsToNextDue(ClockNowMs());
  const int ms = wait < 0 ? static_cast<int>(kTimerPeriodMs) : wait;
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  ClockPoll();
}
