// The window replay's pace: a pause holds the recording's time still once the screen says
// so, the speed keys double and halve within their bounds without losing what was shown,
// held keys do not repeat, and a long stall is not made up in a burst.
#include <gtest/gtest.h>

#include "platform/replay/replay_pace.h"

namespace {

constexpr int kEscape = 1, kP = 25, kSpace = 57, kUp = 0xC8, kLeft = 0xCB, kRight = 0xCD;

void Press(PlaybackPace& pace, int scan, double now) {
  pace.Key(scan, true, now);
  pace.Key(scan, false, now);
}

TEST(PlaybackPace, PlaysAtTheRecordingsOwnPaceAndLetsALongStallGo) {
  PlaybackPace pace;
  pace.Start(1000.0);
  EXPECT_DOUBLE_EQ(pace.WaitMs(10.0, 1000.0), 10.0);
  EXPECT_GT(pace.WaitMs(100.0, 1050.0), 0.0);
  EXPECT_DOUBLE_EQ(pace.WaitMs(100.0, 1100.0), 0.0);
  EXPECT_EQ(pace.Sign(), "REPLAY");
  // A small lag is made up: the next ticks are due at once until it is.
  EXPECT_DOUBLE_EQ(pace.WaitMs(110.0, 1130.0), 0.0);
  EXPECT_DOUBLE_EQ(pace.WaitMs(130.0, 1130.0), 0.0);
  EXPECT_GT(pace.WaitMs(150.0, 1130.0), 0.0);
  // Two seconds without a frame: only a tenth of a second of it is caught up.
  EXPECT_DOUBLE_EQ(pace.WaitMs(150.0, 3130.0), 0.0);
  EXPECT_DOUBLE_EQ(pace.WaitMs(250.0, 3130.0), 0.0);
  EXPECT_GT(pace.WaitMs(260.0, 3130.0), 0.0);
}

TEST(PlaybackPace, APauseHoldsOnceShownAndTimeStandsStillUntilItEnds) {
  PlaybackPace pace;
  pace.Start(0.0);
  EXPECT_DOUBLE_EQ(pace.WaitMs(50.0, 50.0), 0.0);
  pace.Key(kSpace, true, 50.0);
  EXPECT_EQ(pace.Sign(), "PAUSED");
  // Not held before the picture that says so is shown: that frame still plays.
  EXPECT_FALSE(pace.Holding());
  EXPECT_DOUBLE_EQ(pace.WaitMs(60.0, 60.0), 0.0);
  pace.NotePresent();
  EXPECT_TRUE(pace.Holding());
  // A key held down repeats; the repeats must not end the pause.
  pace.Key(kSpace, true, 70.0);
  pace.Key(kSpace, true, 80.0);
  for (double now = 100.0; now < 60000.0; now += 1000.0) EXPECT_GT(pace.WaitMs(70.0, now), 0.0);
  pace.Key(kSpace, false, 60000.0);
  Press(pace, kP, 60000.0);  // P ends it too
  EXPECT_FALSE(pace.PauseAsked());
  EXPECT_EQ(pace.Sign(), "REPLAY");
  // The minute paused counts for nothing: 10 ms of the recording still take 10 ms.
  EXPECT_GT(pace.WaitMs(70.0, 60005.0), 0.0);
  EXPECT_DOUBLE_EQ(pace.WaitMs(70.0, 60010.0), 0.0);
}

TEST(PlaybackPace, SpeedKeysDoubleAndHalveWithinBoundsKeepingWhatWasShown) {
  PlaybackPace pace;
  pace.Start(0.0);
  EXPECT_DOUBLE_EQ(pace.WaitMs(100.0, 100.0), 0.0);
  for (int i = 0; i < 6; ++i) Press(pace, i % 2 ? kUp : kRight, 100.0);
  EXPECT_DOUBLE_EQ(pace.Speed(), PlaybackPace::kFastest);
  EXPECT_EQ(pace.Sign(), "FAST x16");
  // 1.6 s of the recording in 100 ms.
  EXPECT_GT(pace.WaitMs(1700.0, 190.0), 0.0);
  EXPECT_DOUBLE_EQ(pace.WaitMs(1700.0, 200.0), 0.0);
  // Halved at 200 ms: what was shown stays, only what follows is slower.
  Press(pace, kLeft, 200.0);
  EXPECT_EQ(pace.Sign(), "FAST x8");
  EXPECT_GT(pace.WaitMs(2500.0, 290.0), 0.0);
  EXPECT_DOUBLE_EQ(pace.WaitMs(2500.0, 300.0), 0.0);
  for (int i = 0; i < 12; ++i) Press(pace, kLeft, 300.0);
  EXPECT_DOUBLE_EQ(pace.Speed(), PlaybackPace::kSlowest);
  EXPECT_EQ(pace.Sign(), "SLOW 1/8");
  EXPECT_GT(pace.WaitMs(2510.0, 370.0), 0.0);
  EXPECT_DOUBLE_EQ(pace.WaitMs(2510.0, 380.0), 0.0);
  EXPECT_EQ(pace.Key(kEscape, true, 400.0), PlaybackPace::Steer::Stop);
}

TEST(PlaybackPace, FocusLostLetsGoOfHeldKeys) {
  PlaybackPace pace;
  pace.Start(0.0);
  pace.Key(kSpace, true, 0.0);  // its key-up went to another window
  pace.ReleaseAll();
  pace.Key(kSpace, true, 10.0);
  EXPECT_FALSE(pace.PauseAsked()) << "the second press must count";
}

}  // namespace
