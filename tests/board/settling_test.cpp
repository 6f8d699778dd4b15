// Balloons floating up into gaps, rows blown sideways, and the test for a board with no
// move left.
#include <gtest/gtest.h>

#include "board_test_util.h"

using namespace boardtest;

namespace {

class Settling : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureCatalogue();
    EnsureSurfaces();
  }
  RecordingState state;
};

TEST_F(Settling, BalloonsRiseIntoTheGapsAboveInOrder) {
  Layout(state, {".y", ".y", ".y", ".y", ".y", "ry", ".y", ".y", ".y", "gy"});
  state.moveCounter = 0;
  state.SettleBoard();
  const auto rows = Rows(state);
  EXPECT_EQ(rows[0], "ry");
  EXPECT_EQ(rows[1], "gy");
  for (int r = 2; r < 10; ++r) EXPECT_EQ(rows[r], ".y") << r;
  // Positions and cells follow the move.
  BalloonSprite* g = state.BalloonAt(2);
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->cell, 2);
  EXPECT_EQ(g->x, 154.0f);
  EXPECT_EQ(g->y, 47.0f);
  EXPECT_EQ(state.FindFloatTarget(1), -1);  // the top row has nowhere to go
}

TEST_F(Settling, EveryThirdFloatShowsAFrame) {
  Layout(state, {"....", "rygo"});
  state.moveCounter = 0;
  state.SettleBoard();
  EXPECT_EQ(state.pauses, std::vector<int>{1});
  EXPECT_EQ(state.moveCounter, 1);  // carried over to the next settle
}

TEST_F(Settling, BlowsTakeOnePassPerCellAndOneToFinishEitherWay) {
  Layout(state, {"ppppp", ".r.g."});
  state.BlowRowRight(1);
  EXPECT_EQ(Rows(state)[1], "...rg");
  EXPECT_EQ(state.pauses, (std::vector<int>{50, 50, 50}));
  EXPECT_EQ(state.sounds, std::vector<std::string>{"blow"});

  Layout(state, {"ppppp", ".r.g."});
  state.BlowRowLeft(1);
  EXPECT_EQ(Rows(state)[1], "rg...");
  EXPECT_EQ(state.pauses, std::vector<int>(6, 50));
}

TEST_F(Settling, ABalloonBlownUnderAGapRisesAtOnce) {
  Layout(state, {"pp.pp", ".r.g."});
  state.BlowRowRight(1);
  // R passes under the gap in column 2 and floats into it; G goes on to the end.
  EXPECT_EQ(Rows(state), (std::vector<std::string>{"pprpp", "....g"}));
}

TEST_F(Settling, PackedOrEmptyRowsBlowOncePlayingTheSound) {
  Layout(state, {"...rg", "....."});
  state.BlowRowRight(0);
  state.BlowRowRight(1);
  EXPECT_EQ(Rows(state)[0], "...rg");
  EXPECT_EQ(state.pauses, (std::vector<int>{50, 50}));
  EXPECT_EQ(state.sounds, (std::vector<std::string>{"blow", "blow"}));
}

TEST_F(Settling, RowCanBlowLooksForAGapPastTheFirstBalloon) {
  Layout(state, {"...rg", "rg...", ".r.g.", "....."});
  EXPECT_FALSE(state.RowCanBlowRight(0));
  EXPECT_TRUE(state.RowCanBlowLeft(0));
  EXPECT_TRUE(state.RowCanBlowRight(1));
  EXPECT_FALSE(state.RowCanBlowLeft(1));
  EXPECT_TRUE(state.RowCanBlowRight(2));
  EXPECT_TRUE(state.RowCanBlowLeft(2));
  EXPECT_FALSE(state.RowCanBlowRight(3));
  EXPECT_FALSE(state.RowCanBlowLeft(3));
}

// 6 columns x 14 rows with no two touching balloons of one colour: even rows packed left,
// odd rows packed right among rows 0 to 7; the lower rows have gaps.
std::vector<std::string> StuckBoard() {
  return {"rygopr", "ygopry", "rygopr", "ygopry", "rygopr", "ygopry", "rygopr", "ygopry",
          "r.g.p.", "y.o.r.", "r.g.p.", "y.o.r.", "r.g.p.", "y.o.r."};
}

TEST_F(Settling, NoMovesLeftLooksAtBlowsOfRowsZeroToSevenOnly) {
  Layout(state, StuckBoard());
  EXPECT_TRUE(state.NoMovesLeft());

  auto board = StuckBoard();
  board[7] = "ygopr.";  // an odd row that could still be blown right
  Layout(state, board);
  EXPECT_FALSE(state.NoMovesLeft());

  board = StuckBoard();
  board[6] = "rygop.";  // an even row that only a blow to the right would move: not a move
  Layout(state, board);
  EXPECT_TRUE(state.NoMovesLeft());

  board = StuckBoard();
  board[6] = ".ygopr";  // an even row that could still be blown left
  Layout(state, board);
  EXPECT_FALSE(state.NoMovesLeft());

  board = StuckBoard();
  board[12] = "rr.g.p";  // a pair anywhere is a move
  Layout(state, board);
  EXPECT_FALSE(state.NoMovesLeft());
}

}  // namespace
