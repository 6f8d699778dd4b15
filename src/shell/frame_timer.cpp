// The 10 ms frame timer: the tick count, the round's clock and the mouse-button poll.
// Everything here is shared with the timer thread, so every value is an atomic.
#include <atomic>
#include <climits>
#include <cstdint>

#include "platform/replay/replay.h"
#include "platform/win32/sound/mmsystem.h"
#include "shell/app.h"
#include "shell/frame_timer.h"
#include "shell/mouse_state.h"

namespace {

constexpr int kPeriodMs = 10;
// The clock counts a second once this much has gathered; 999 rather than 1000 is how the
// game's clock has always run (slightly fast).
constexpr int kSecondMs = 999;

std::atomic<int> nowMs{0};
std::atomic<int> lastTickSeen{0};
std::atomic<int> secondAccumulator{0};
// Seconds the clock gathered while running, and how many of them the game has taken.
std::atomic<int> secondsGathered{0};
int secondsTaken = 0;
std::atomic<int> timeLeft{0};
// What the game sees: the timer's state as the last view took it. The game reads time and
// buttons many times a frame; taking them at fixed points means a frame sees one moment,
// and a replay can give that moment back exactly.
std::atomic<int> seenTicks{0};
std::atomic<int> countdownRuns{1};
std::atomic<uint32_t> timerId{0};

struct TimerContext {
  std::atomic<int>* ticks;
  int step;
};
TimerContext timerContext{&nowMs, kPeriodMs};

// Pacing by the system clock when no periodic timer could be started (main thread only).
bool systemPacing = false;
uint32_t lastSystemMs = 0;

void OnTimerTick() {
  TheMouseState.PollButtons();
  int now = nowMs.load();
  int delta = now - lastTickSeen.exchange(now);
  if (secondAccumulator.fetch_add(delta) + delta >= kSecondMs) {
    secondAccumulator.store(0);
    if (countdownRuns.load() == 1) secondsGathered.fetch_add(1);
  }
}

void TakeView(const TimerView& view) {
  seenTicks.store(view.ticks);
  for (int i = 0; i < view.countdowns; ++i) {
    if (timeLeft.load() >= 1) timeLeft.fetch_sub(1);
  }
  TheMouseState.ShowButtons(view.buttons);
}

TimerView LiveView() {
  TimerView view;
  view.ticks = nowMs.load();
  const int gathered = secondsGathered.load();
  view.countdowns = gathered - secondsTaken;
  secondsTaken = gathered;
  view.buttons = TheMouseState.TakeButtons();
  return view;
}

void TimerCallback(uint32_t, uint32_t, uintptr_t user, uintptr_t, uintptr_t) {
  auto* context = reinterpret_cast<TimerContext*>(user);
  context->ticks->fetch_add(context->step);
  OnTimerTick();
}

}  // namespace

void FrameTimerStep() {
  nowMs.fetch_add(kPeriodMs);
  OnTimerTick();
  // Without a timer (tests, or a system that refused one) each step is seen at once, unless
  // a recording or replay owns the views.
  if (!ReplayActive()) TakeView(LiveView());
}

void SyncTimerView(bool pacing, int predictedTicks) {
  TimerView view = LiveView();
  if (pacing) {
    ReplayPacingView(predictedTicks, &view);
  } else {
    ReplayTimerView(predictedTicks, &view);
  }
  TakeView(view);
}

int RawTicks() { return nowMs.load(); }

int NextClockSecondTick() {
  if (countdownRuns.load() != 1) return INT_MAX;
  const int now = nowMs.load();
  if (secondsGathered.load() != secondsTaken) return now;
  const int left = kSecondMs - secondAccumulator.load();
  return now + (left + kPeriodMs - 1) / kPeriodMs * kPeriodMs;
}

int FrameTimerRunning() { return timerId.load() != 0; }

void CatchUpTicks() {
  if (FrameTimerRunning()) return;
  uint32_t now = timeGetTime();
  if (!systemPacing) {
    systemPacing = true;
    lastSystemMs = now;
    return;
  }
  while (now - lastSystemMs >= static_cast<uint32_t>(kPeriodMs)) {
    lastSystemMs += kPeriodMs;
    FrameTimerStep();
  }
}

void ResetFrameTimerState() {
  nowMs.store(0);
  seenTicks.store(0);
  secondsGathered.store(0);
  secondsTaken = 0;
  lastTickSeen.store(0);
  secondAccumulator.store(0);
  timeLeft.store(0);
  countdownRuns.store(1);
  systemPacing = false;
}

int StartFrameTimer() {
  TIMECAPS caps;
  timeGetDevCaps(&caps, sizeof(caps));
  if (caps.wPeriodMin > static_cast<uint32_t>(kPeriodMs) ||
      caps.wPeriodMax < static_cast<uint32_t>(kPeriodMs)) {
    DebugLog("Unable to use timers on this system");
    return 1;
  }
  if (timeBeginPeriod(kPeriodMs) != TIMERR_NOERROR) return 1;
  uint32_t id = timeSetEvent(kPeriodMs, 5, TimerCallback,
                             reinterpret_cast<uintptr_t>(&timerContext), TIME_PERIODIC);
  if (id == 0) timeEndPeriod(kPeriodMs);
  timerId.store(id);
  return 0;
}

int StopFrameTimer() {
  uint32_t id = timerId.exchange(0);
  if (id != 0) {
    timeKillEvent(id);
    timeEndPeriod(kPeriodMs);
  }
  return 0;
}

int GetTicks() { return seenTicks.load(); }
int TicksSince(int start) { return seenTicks.load() - start; }

void SetClockSeconds(int seconds) { timeLeft.store(seconds); }
int GetClockSeconds() { return timeLeft.load(); }
void AddClockSeconds(int seconds) {
  int left = timeLeft.load();
  int sum;
  do {
    sum = seconds > 0 && left > INT_MAX - seconds ? INT_MAX
          : seconds < 0 && left < INT_MIN - seconds ? INT_MIN
                                                    : left + seconds;
  } while (!timeLeft.compare_exchange_weak(left, sum));
}
void StartGameClock() { countdownRuns.store(1); }
void StopGameClock() { countdownRuns.store(0); }
int GameClockRunning() { return countdownRuns.load() == 1 ? 1 : 0; }
