// The board's geometry and its random fill.
#include <gtest/gtest.h>

#include <cstdlib>

#include "board_test_util.h"
#include "platform/runtime/game_random.h"

using namespace boardtest;

namespace {

class BoardGrid : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureCatalogue();
    EnsureSurfaces();
  }
  RecordingState state;
};

TEST_F(BoardGrid, CellAtMapsPointsInsideTheGridAndRefusesTheEdgesOutside) {
  Layout(state, std::vector<std::string>(14, std::string(18, 'r')));
  EXPECT_EQ(state.CellAt(154, 7), 0);
  EXPECT_EQ(state.CellAt(729, 566), 251);
  EXPECT_EQ(state.CellAt(186, 47), 19);
  EXPECT_EQ(state.CellAt(730, 100), -1);
  EXPECT_EQ(state.CellAt(200, 567), -1);
  EXPECT_EQ(state.CellAt(153, 7), -1);
  EXPECT_EQ(state.CellAt(154, 6), -1);
  int x = 0, y = 0;
  state.CellPosition(19, &x, &y);
  EXPECT_EQ(x, 186);
  EXPECT_EQ(y, 47);
}

TEST_F(BoardGrid, FillCapsEveryColourAndStarsItsTwelfthTwentyFourthAndThirtySixth) {
  for (unsigned seed : {1u, 7u, 12345u, 99999u}) {
    SeedGameRandom(seed);
    state.EndRound();
    state.board = new PtrArray<BalloonSprite>();
    state.FillBoard(154, 7, 18, 14);
    ASSERT_EQ(state.board->Count(), 252);
    EXPECT_EQ(state.cellWidth, 32);
    EXPECT_EQ(state.cellHeight, 40);
    int counts[5] = {}, stars = 0;
    for (int i = 0; i < 252; ++i) {
      BalloonSprite* b = state.board->GetAt(i);
      ASSERT_NE(b, nullptr);
      EXPECT_EQ(b->cell, i);
      EXPECT_EQ(b->present, 1);
      const int k = ++counts[b->colour];
      EXPECT_EQ(b->star, (k == 12 || k == 24 || k == 36) ? 1 : 0) << "seed " << seed;
      stars += b->star;
      int x = 0, y = 0;
      state.CellPosition(i, &x, &y);
      EXPECT_EQ(b->x, static_cast<float>(x));
      EXPECT_EQ(b->y, static_cast<float>(y));
      EXPECT_EQ(b->FrameCount(), 2);  // colour picture and "pop"
    }
    for (int c : counts) {
      EXPECT_LE(c, 51);
      EXPECT_GE(c, 48);
    }
    EXPECT_EQ(stars, 15);
  }
}

}  // namespace
