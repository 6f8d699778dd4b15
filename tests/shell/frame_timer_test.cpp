// The tick count and the round's clock, which counts a second every 999 ms of ticks.
#include <gtest/gtest.h>

#include <climits>
#include <thread>

#include "platform/runtime/clock_internal.h"
#include "platform/win32/sound/mmsystem.h"
#include "shell/app.h"
#include "shell/frame_timer.h"

namespace {

class FrameTimerTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetFrameTimerState(); }
  void TearDown() override {
    StopFrameTimer();
    ResetFrameTimerState();
  }
  static void Steps(int n) {
    for (int i = 0; i < n; ++i) FrameTimerStep();
  }
};

TEST_F(FrameTimerTest, ClockCountsDownOnceEnoughMillisecondsGathered) {
  SetClockSeconds(3);
  StartGameClock();
  Steps(99);  // 990 ms: short of 999
  EXPECT_EQ(GetClockSeconds(), 3);
  Steps(1);
  EXPECT_EQ(GetClockSeconds(), 2);
  Steps(99);
  EXPECT_EQ(GetClockSeconds(), 2) << "the accumulator starts again from 0";
  Steps(1);
  EXPECT_EQ(GetClockSeconds(), 1);
  Steps(300);
  EXPECT_EQ(GetClockSeconds(), 0) << "never below zero";

  SetClockSeconds(5);  // the accumulator is at 0 again here
  StopGameClock();
  Steps(150);
  EXPECT_EQ(GetClockSeconds(), 5);
  StartGameClock();
  Steps(49);  // the half second gathered while stopped still counts
  EXPECT_EQ(GetClockSeconds(), 5);
  Steps(1);
  EXPECT_EQ(GetClockSeconds(), 4);
}

// A cleared colour's bonus lands while the timer thread counts down: neither may be lost.
TEST_F(FrameTimerTest, BonusSecondsAndTheCountdownNeverOverwriteEachOther) {
  constexpr int kStart = 100000, kSeconds = 20000, kBonuses = 20000;
  SetClockSeconds(kStart);
  StartGameClock();
  std::thread timer([] { Steps(kSeconds * 100); });  // 100 steps of 10 ms: one second
  for (int i = 0; i < kBonuses; ++i) AddClockSeconds(30);
  timer.join();
  EXPECT_EQ(GetClockSeconds(), kStart - kSeconds + 30 * kBonuses);
  SetClockSeconds(INT_MAX - 10);
  AddClockSeconds(30);
  EXPECT_EQ(GetClockSeconds(), INT_MAX);
}

TEST_F(FrameTimerTest, PeriodicTimerDrivesTheTicksUnderTheVirtualClock) {
  ClockReset(true);
  SetClockSeconds(10);
  EXPECT_EQ(StartFrameTimer(), 0);
  ASSERT_TRUE(FrameTimerRunning());
  ClockAdvance(2000);
  EXPECT_EQ(GetTicks(), 0) << "the game sees the timer only at its views";
  SyncTimerView(false, GetTicks());
  EXPECT_EQ(GetTicks(), 2000);
  EXPECT_EQ(GetClockSeconds(), 8);
  for (int i = 0; i < 5; ++i) WaitForTimerTick();
  SyncTimerView(true, GetTicks());
  EXPECT_EQ(GetTicks(), 2050);
  StopFrameTimer();
  EXPECT_FALSE(FrameTimerRunning());
  ClockAdvance(100);
  SyncTimerView(false, GetTicks());
  EXPECT_EQ(GetTicks(), 2050);
  ClockReset(false);
}

TEST_F(FrameTimerTest, FramePacingWaitsForTheDeadlineWithoutATimer) {
  ClockReset(true);
  ResetFrameDeadline();
  LimitFrameRate(100);
  int start = GetTicks();
  LimitFrameRate(100);
  LimitFrameRate(100);
  EXPECT_GE(TicksSince(start), 20) << "system-clock pacing moves the ticks on";
  EXPECT_FLOAT_EQ(FramesPerSecond, 100.0f);
  ClockReset(false);
}

}  // namespace

// The frame loop sleeps until the tick the clock's next second is due: it must be the very
// tick at which the second is counted, wherever the accumulator stands.
TEST_F(FrameTimerTest, NextClockSecondTickIsTheTickTheSecondIsCountedAt) {
  StopGameClock();
  EXPECT_EQ(NextClockSecondTick(), INT_MAX) << "a stopped clock has no next second";
  for (int lead = 0; lead < 130; lead += 7) {
    ResetFrameTimerState();
    SetClockSeconds(10);
    StartGameClock();
    Steps(lead);
    const int seconds = GetClockSeconds();
    const int due = NextClockSecondTick();
    ASSERT_GT(due, RawTicks());
    while (RawTicks() + 10 < due) {
      Steps(1);
      ASSERT_EQ(GetClockSeconds(), seconds) << "counted before " << due << ", lead " << lead;
    }
    Steps(1);
    EXPECT_EQ(RawTicks(), due);
    EXPECT_EQ(GetClockSeconds(), seconds - 1) << "not counted at " << due << ", lead " << lead;
  }
}
