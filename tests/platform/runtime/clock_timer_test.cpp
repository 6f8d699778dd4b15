#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/runtime/clock.h"
#include "platform/runtime/clock_internal.h"
#include "platform/win32/sound/mmsystem.h"

namespace {

struct Log {
  std::vector<std::pair<char, uint32_t>> entries;
};

void LogTick(uint32_t, uint32_t, uintptr_t user, uintptr_t, uintptr_t) {
  reinterpret_cast<Log*>(user)->entries.push_back({'t', ClockNowMs()});
}

class VirtualClock : public ::testing::Test {
 protected:
  void SetUp() override { ClockReset(true); }
  void TearDown() override { ClockReset(false); }
};

TEST_F(VirtualClock, TimeMovesOnlyWhenWaitedForAndRunsListenersBeforeTimers) {
  Log log;
  EXPECT_TRUE(ClockIsVirtual());
  EXPECT_EQ(ClockNowMs(), 0u);
  ClockAddListener([&log](uint32_t now) { log.entries.push_back({'l', now}); });
  uint32_t id = timeSetEvent(10, 5, LogTick, reinterpret_cast<uintptr_t>(&log), TIME_PERIODIC);
  ASSERT_NE(id, 0u);
  EXPECT_EQ(ClockNowMs(), 0u);

  WaitForTimerTick();
  WaitForTimerTick();
  ClockSleepMs(25);  // whole periods: 30 ms
  EXPECT_EQ(ClockNowMs(), 50u);
  std::vector<std::pair<char, uint32_t>> want;
  for (uint32_t t = 10; t <= 50; t += 10) {
    want.push_back({'l', t});
    want.push_back({'t', t});
  }
  EXPECT_EQ(log.entries, want);

  EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
  EXPECT_EQ(timeKillEvent(id), TIMERR_NOCANDO);
  WaitForTimerTick();
  EXPECT_EQ(log.entries.back(), std::make_pair('l', 60u));  // the timer is gone
}

TEST_F(VirtualClock, OneShotAndSlowTimersFireAtTheirTimes) {
  Log once, slow;
  timeSetEvent(30, 5, LogTick, reinterpret_cast<uintptr_t>(&once), TIME_ONESHOT);
  timeSetEvent(40, 5, LogTick, reinterpret_cast<uintptr_t>(&slow), TIME_PERIODIC);
  ClockSleepMs(100);
  EXPECT_EQ(once.entries, (std::vector<std::pair<char, uint32_t>>{{'t', 30}}));
  EXPECT_EQ(slow.entries, (std::vector<std::pair<char, uint32_t>>{{'t', 40}, {'t', 80}}));
  EXPECT_EQ(timeSetEvent(0, 5, LogTick, 0, TIME_PERIODIC), 0u);
  EXPECT_EQ(timeSetEvent(10, 5, nullptr, 0, TIME_PERIODIC), 0u);
}

TEST_F(VirtualClock, ListenersMayRemoveThemselves) {
  int calls = 0;
  int id = 0;
  id = ClockAddListener([&](uint32_t) {
    ++calls;
    ClockRemoveListener(id);
  });
  ClockSleepMs(50);
  EXPECT_EQ(calls, 1);
}

std::atomic<int> realTicks{0};
void CountRealTick(uint32_t, uint32_t, uintptr_t, uintptr_t, uintptr_t) { ++realTicks; }

// Real time: no timed assertions, only that ticks come and the wait follows them.
TEST(RealTimer, TicksComeAndWaitingFollowsThem) {
  ClockReset(false);
  TIMECAPS caps;
  ASSERT_EQ(timeGetDevCaps(&caps, sizeof caps), TIMERR_NOERROR);
  EXPECT_LE(caps.wPeriodMin, 10u);
  EXPECT_GE(caps.wPeriodMax, 10u);
  realTicks = 0;
  uint32_t id = timeSetEvent(10, 5, CountRealTick, 0, TIME_PERIODIC);
  ASSERT_NE(id, 0u);
  WaitForTimerTick();  // may return at once for a tick it has not seen yet
  for (int i = 0; i < 20; ++i) {
    int before = realTicks.load();
    WaitForTimerTick();
    // Either a tick came while we waited, or the wait gave up after a while.
    EXPECT_GE(realTicks.load(), before);
  }
  EXPECT_GE(realTicks.load(), 1);
  uint32_t start = ClockNowMs();
  while (realTicks.load() < 30 && ClockNowMs() - start < 10000) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_GE(realTicks.load(), 30);
  EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
  int after = realTicks.load();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(realTicks.load(), after);  // no tick after the kill has returned
}

uint32_t selfKillId = 0;
std::atomic<int> selfKillRuns{0};
void KillSelf(uint32_t id, uint32_t, uintptr_t, uintptr_t, uintptr_t) {
  ++selfKillRuns;
  timeKillEvent(id);
}

TEST(RealTimer, ACallbackMayKillItsOwnTimer) {
  ClockReset(false);
  selfKillRuns = 0;
  selfKillId = timeSetEvent(10, 5, KillSelf, 0, TIME_PERIODIC);
  for (int i = 0; i < 400 && selfKillRuns.load() == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(selfKillRuns.load(), 1);
}

}  // namespace
