// Clicks on the board: which balloons pop together, in what order, for how many points,
// the star bonus, a cleared colour, and the pictures that rise afterwards.
#include <gtest/gtest.h>

#include "board_test_util.h"
#include "game/catalogue.h"
#include "shell/frame_timer.h"

using namespace boardtest;

namespace {

class Popping : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureCatalogue();
    EnsureSurfaces();
    ResetFrameTimerState();
    FramesPerSecond = 100.0f;
  }
  // The cell under the centre of (column, row) in screen pixels.
  void Click(int column, int row, int buttons = 1) {
    state.HandleBoardMouse(154 + column * 32 + 16, 7 + row * 40 + 20, buttons);
  }
  RisingSprite* Effect(int i) { return state.effects->GetAt(i); }
  RecordingState state;
};

TEST_F(Popping, StarInAnLShapeTriplesThePointsAndForcesPop1) {
  Layout(state, {"rR.r", "r..."});
  state.PopAt(0);
  EXPECT_EQ(state.lastPopScore, 1800);  // 600 + 600 x 1 star x 2
  EXPECT_EQ(state.GetScore(), 1800);
  ASSERT_EQ(state.sounds.size(), 4u);
  EXPECT_EQ(state.sounds[0].rfind("pop", 0), 0u);
  EXPECT_EQ(state.sounds[1], "bonus");
  EXPECT_EQ(state.sounds[2], "pop1");
  EXPECT_EQ(state.sounds[3], "pop1");
  // Pop-up, "x2" icon at the star, pop-up, pop-up.
  ASSERT_EQ(state.effects->Count(), 4);
  EXPECT_EQ(Effect(1)->frames.GetAt(0), CatalogueSurface("x2"));
  EXPECT_EQ(Effect(1)->x, 186.0f);
}

TEST_F(Popping, GroupBurstsDepthFirstLeftRightUpDown200msApart) {
  Layout(state, {"ooo", "o.o", "ggg"});
  state.PopAt(0);
  // Order 0, 1, 2, 5, 3: the pop-ups stand where the balloons did, in bursting order, each
  // showing its points (row 50 - k of the score picture) in the colour's column.
  const float xs[] = {154, 186, 218, 218, 154};
  const float ys[] = {7, 7, 7, 47, 47};
  ASSERT_EQ(state.effects->Count(), 5 + 1);  // and the big red balloon
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(Effect(k)->x, xs[k]) << k;
    EXPECT_EQ(Effect(k)->y, ys[k]) << k;
    EXPECT_EQ(Effect(k)->frames.GetAt(0), state.scoreDigits->GetAt((50 - k) * 5 + 4)) << k;
  }
  EXPECT_EQ(state.lastPopScore, 1500);  // 100 + 200 + 300 + 400 + 500
  EXPECT_EQ(state.GetScore(), 1500 + 100000);
  EXPECT_EQ(state.pauses, std::vector<int>(4, 200));
  // Orange is drawn from the blue pictures: its big balloon is the blue one.
  EXPECT_EQ(Effect(5)->frames.GetAt(0), CatalogueSurface("BigBlue"));
}

TEST_F(Popping, TooSmallAGroupOnlySaysNo) {
  Layout(state, {"rg", "gy"});
  state.PopAt(0);
  EXPECT_EQ(state.sounds, std::vector<std::string>{"negative"});
  EXPECT_EQ(state.lastPopScore, 0);
  EXPECT_EQ(Rows(state), (std::vector<std::string>{"rg", "gy"}));

  Layout(state, {"rr.", "ggg"});
  state.minGroup = 3;
  state.PopAt(0);
  EXPECT_EQ(Rows(state), (std::vector<std::string>{"rr.", "ggg"}));
  state.PopAt(3);
  EXPECT_EQ(Rows(state), (std::vector<std::string>{"rr.", "..."}));
}

TEST_F(Popping, ClearingAColourShowsItsBigBalloonAndAddsTimeBeforeTheStarBonus) {
  Layout(state, {"rR", "gg"});
  SetClockSeconds(50);
  state.PopAt(0);
  EXPECT_EQ(GetClockSeconds(), 80);
  EXPECT_EQ(state.lastPopScore, 900);
  EXPECT_EQ(state.GetScore(), 300 + 100000 + 600);
  EXPECT_EQ(state.sounds.back(), "allcolor");
  RisingSprite* big = Effect(state.effects->Count() - 1);
  EXPECT_EQ(big->frames.GetAt(0), CatalogueSurface("BigRed"));
  EXPECT_EQ(big->x, 360.0f);
  EXPECT_EQ(big->y, 180.0f);
  EXPECT_EQ(big->vy, 0.0f);
  EXPECT_EQ(big->expiry, GetTicks() + 2000);
}

TEST_F(Popping, OnlyAChangeOfTheButtonsActs) {
  Layout(state, {"rrgg", "yyoo", "rrgg"});
  Click(0, 0);
  EXPECT_EQ(state.GetScore(), 300);
  Click(2, 0);  // still held: nothing
  EXPECT_EQ(state.GetScore(), 300);
  Click(2, 0, 0);  // release: nothing
  EXPECT_EQ(state.GetScore(), 300);
  Click(2, 0);
  EXPECT_EQ(state.GetScore(), 600);
  // The gaps filled from below as the board settled.
  EXPECT_EQ(Rows(state), (std::vector<std::string>{"yyoo", "rrgg", "...."}));
}

TEST_F(Popping, RightClickBlowsOddRowsRightAndEvenRowsLeft) {
  Layout(state, {"rypg", "g.o."});
  Click(3, 1, 2);
  EXPECT_EQ(Rows(state)[1], "..go");
  Click(3, 1, 0);
  Layout(state, {"r.y.", "...."});
  Click(3, 0, 2);
  EXPECT_EQ(Rows(state)[0], "ry..");
  EXPECT_EQ(state.sounds, (std::vector<std::string>{"blow", "blow"}));
}

TEST_F(Popping, PicturesRiseAtTheirSpeedsAndStopAtTheTop) {
  RisingSprite popUp;
  popUp.y = 200.0f;
  popUp.vy = -50.0f;
  for (int i = 0; i < 100; ++i) popUp.Move();  // one second at 100 frames per second
  EXPECT_NEAR(popUp.y, 150.0f, 0.01f);

  RisingSprite icon;
  icon.y = 60.0f;
  icon.vy = -100.0f;
  for (int i = 0; i < 100; ++i) icon.Move();
  EXPECT_EQ(icon.y, 7.0f);
  EXPECT_EQ(icon.vy, 0.0f);

  FramesPerSecond = 0.0f;  // an unmeasured rate counts as 60
  RisingSprite slow;
  slow.y = 100.0f;
  slow.vy = -60.0f;
  slow.Move();
  EXPECT_NEAR(slow.y, 99.0f, 0.01f);
  EXPECT_EQ(FramesPerSecond, 60.0f);
}

TEST_F(Popping, PopUpsLaunchedNearTheTopDoNotRise) {
  Layout(state, {"rg", "rg"});
  state.PopAt(0);
  ASSERT_GE(state.effects->Count(), 2);
  EXPECT_EQ(Effect(0)->vy, 0.0f);    // row 0 stands at y 7
  EXPECT_EQ(Effect(1)->vy, -50.0f);  // row 1 at y 47
}

TEST_F(Popping, ExpiredEffectsGoAtTheNextUpdateAndAreNeverDrawnAgain) {
  Layout(state, {"rr", "gy"});
  state.PopAt(0);
  const int launched = state.effects->Count();
  ASSERT_GT(launched, 0);
  for (int i = 0; i < 100; ++i) FrameTimerStep();  // exactly 1000 ms later
  state.UpdateEffects(BackSurface);
  EXPECT_GT(state.effects->Count(), 0);
  FrameTimerStep();
  state.UpdateEffects(BackSurface);
  // The pop-ups (1 s) are gone; the big red balloon (2 s) stays.
  EXPECT_EQ(state.effects->Count(), 1);
  EXPECT_EQ(state.effectsShowing, 1);
  for (int i = 0; i < 100; ++i) FrameTimerStep();
  state.UpdateEffects(BackSurface);
  EXPECT_EQ(state.effects->Count(), 0);
  EXPECT_EQ(state.effectsShowing, 0);
}

}  // namespace
