// The round's state machine and its drawing: the tests that end a round, the time bonus,
// the time bar and the score panel's numbers.
#include <gtest/gtest.h>

#include <climits>

#include "../board/board_test_util.h"
#include "game/points_text.h"
#include "game/round_end.h"
#include "shell/frame_timer.h"

using namespace boardtest;

namespace {

class RoundState : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureCatalogue();
    EnsureSurfaces();
    ResetFrameTimerState();
    FramesPerSecond = 100.0f;
    state.SetState(Playing);
  }
  // A rising picture that stays on screen for a second.
  void LaunchEffect() {
    auto* e = new RisingSprite();
    e->AddSharedFrame(BackSurface);
    e->y = 300.0f;
    e->expiry = GetTicks() + 1000;
    state.effects->Append(e);
  }
  RecordingState state;
};

TEST_F(RoundState, ClearingTheBoardTurnsEverySecondLeftIntoAThousandPoints) {
  Layout(state, {"..", ".."});
  state.SetScore(1234);
  SetClockSeconds(40);
  StartGameClock();
  state.Frame();
  EXPECT_EQ(state.GetState(), Cleared);
  EXPECT_EQ(state.endReason, EndBoardCleared);
  EXPECT_EQ(state.GetScore(), 1234 + 500000 + 40 * 1000);
  EXPECT_EQ(GetClockSeconds(), 0);
  EXPECT_EQ(GameClockRunning(), 0);
  EXPECT_EQ(state.pauses, std::vector<int>(40, 1));
  EXPECT_EQ(state.sounds, std::vector<std::string>{"allpop"});

  // With no time left only the half million comes.
  state.SetState(Playing);
  state.pauses.clear();
  state.SetScore(0);
  state.Frame();
  EXPECT_EQ(state.GetState(), Cleared);
  EXPECT_EQ(state.GetScore(), 500000);
  EXPECT_TRUE(state.pauses.empty());
}

TEST_F(RoundState, TimeOutWaitsForTheEffectsToGo) {
  Layout(state, {"rr", "gy"});
  SetClockSeconds(0);
  LaunchEffect();
  state.effectsShowing = 1;
  state.Frame();
  EXPECT_EQ(state.GetState(), Playing);  // the effect is still flying
  for (int i = 0; i < 101; ++i) FrameTimerStep();
  state.Frame();  // draws the round: the effect expires
  EXPECT_EQ(state.effectsShowing, 0);
  state.Frame();
  EXPECT_EQ(state.GetState(), Ending);
  EXPECT_EQ(state.endReason, EndStillPlaying);
}

TEST_F(RoundState, NoMoveLeftEndsTheRoundWithItsReasonOnceEffectsAreGone) {
  Layout(state, {"ry", "gr"});
  SetClockSeconds(100);
  state.effectsShowing = 1;
  LaunchEffect();
  state.Frame();
  EXPECT_EQ(state.GetState(), Playing);
  EXPECT_EQ(state.endReason, EndNoMoveLeft);
  for (int i = 0; i < 101; ++i) FrameTimerStep();
  state.Frame();
  state.Frame();
  EXPECT_EQ(state.GetState(), Ending);
  EXPECT_EQ(state.endReason, EndNoMoveLeft);
}

TEST_F(RoundState, TimerBarFrames) {
  EXPECT_EQ(TimerBarFrame(200, 200), 0);
  EXPECT_EQ(TimerBarFrame(100, 200), 18);
  EXPECT_EQ(TimerBarFrame(0, 200), 36);
  EXPECT_EQ(TimerBarFrame(230, 200), 0);  // bonus seconds beyond the round's length
  EXPECT_EQ(TimerBarFrame(45, 90), 18);
}

TEST_F(RoundState, DrawNumberRightAlignsDigitsAndLeavesGapsForOthers) {
  Sprite digits;
  for (int i = 0; i < 10; ++i) digits.AddFrame(Surface::Create(20, 30, 16));
  digits.width = 200;  // a strip reports the whole picture's width
  const int page = TheRedrawList.page;
  auto drawnXs = [&](const char* text, Sprite* strip = nullptr) {
    TheRedrawList.pages[page].DeleteAll();
    DrawNumber(strip ? strip : &digits, 77, 57, text, BackSurface);
    std::vector<int> xs;
    for (int i = 0; i < TheRedrawList.pages[page].Count(); ++i)
      xs.push_back(TheRedrawList.pages[page].GetAt(i)->x);
    return xs;
  };
  EXPECT_EQ(drawnXs("123"), (std::vector<int>{17, 37, 57}));
  EXPECT_EQ(drawnXs("1-3"), (std::vector<int>{17, 57}));

  // With an eleventh frame a comma is drawn, and moves on a third of a digit.
  Sprite withComma;
  for (int i = 0; i < 11; ++i) withComma.AddFrame(Surface::Create(10, 30, 16));
  withComma.width = 110;
  EXPECT_EQ(drawnXs("1,234", &withComma), (std::vector<int>{34, 44, 47, 57, 67}));
}

// Points are written one way everywhere: grouped in threes.
TEST(PointsText, GroupsDigitsInThrees) {
  const struct {
    int points;
    const char* text;
  } cases[] = {{0, "0"},           {999, "999"},         {1000, "1,000"},
               {123456, "123,456"}, {1234567, "1,234,567"}, {-1234, "-1,234"},
               {-100, "-100"}};
  for (const auto& c : cases) {
    char text[24];
    FormatPoints(c.points, text, sizeof text);
    EXPECT_STREQ(text, c.text) << c.points;
  }
  char small[6];
  FormatPoints(1234567, small, sizeof small);
  EXPECT_STREQ(small, "1,234") << "cut to the buffer, always terminated";
}

}  // namespace

namespace {

// The frame loop sleeps until the tick the round says it next changes at: anything that
// moves must say "now", a still board "not by itself".
TEST_F(RoundState, TheRoundChangesByItselfOnlyWhileSomethingMoves) {
  Layout(state, {"rr", "gy"});
  state.dirty = 0;
  const BalloonModule& module = TheBalloonModule;
  EXPECT_EQ(module.NextChangeOf(state, 500), INT_MAX) << "a still board waits for input";
  state.pendingActions.push_back(PlayAction::Pop);
  EXPECT_EQ(module.NextChangeOf(state, 500), 500) << "a key's action is still to be done";
  state.pendingActions.clear();
  state.dirty = 1;
  EXPECT_EQ(module.NextChangeOf(state, 500), 500) << "the board is to be drawn";
  state.dirty = 0;
  LaunchEffect();
  EXPECT_EQ(module.NextChangeOf(state, 500), 500) << "a rising picture flies";
  while (state.effects->Count() > 0) {
    RisingSprite* e = state.effects->GetAt(0);
    state.effects->Remove(e);
    delete e;
  }
  ShowFrameRate = 1;
  EXPECT_EQ(module.NextChangeOf(state, 500), 500) << "the rate text is shown";
  ShowFrameRate = 0;
  state.EnterEnding();
  EXPECT_EQ(module.NextChangeOf(state, 500), 500) << "the airplane crosses, the pictures follow";
  state.SetState(Cleared);
  EXPECT_EQ(module.NextChangeOf(state, 500), 500);
  state.SetState(Playing);
  EXPECT_EQ(module.NextChangeOf(state, 500), INT_MAX);
}

}  // namespace
