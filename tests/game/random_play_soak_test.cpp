// Hundreds of seeded rounds of random play: clicks in and beside the board, right clicks,
// cloud blows and the keyboard's cursor, pops and blows, with short and long rounds and
// smallest groups of 1 to 4. After every frame the board may only lose balloons, the
// score must grow by exactly what the rules pay for that frame, and the round's end reason
// must fit the board. Run under the sanitizers in CI, which also catch leaks and crashes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>

#include "../board/board_test_util.h"
#include "platform/runtime/game_random.h"
#include "shell/frame_timer.h"

using namespace boardtest;

namespace {

constexpr int kRounds = 300;
constexpr int kMostFrames = 160;

struct Soak {
  RecordingState state;
  std::mt19937 random;
  long frames = 0;

  int Roll(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }

  std::vector<std::string> RandomBoard() {
    const bool small = Roll(3) == 0;  // small boards get cleared now and then
    const int columns = small ? 3 + Roll(4) : 18, rows = small ? 2 + Roll(3) : 14;
    const int colours = 2 + Roll(4);
    std::vector<std::string> lines(rows, std::string(columns, '.'));
    for (auto& line : lines)
      for (char& c : line) {
        c = "rypgo"[Roll(colours)];
        if (Roll(16) == 0) c = static_cast<char>(c - 32);  // a star
      }
    return lines;
  }

  std::set<int> Group(int cell) const {
    std::set<int> group;
    std::vector<int> todo{cell};
    const BalloonState& s = state;
    const int colour = s.BalloonAt(cell)->colour;
    while (!todo.empty()) {
      const int i = todo.back();
      todo.pop_back();
      const BalloonSprite* b = s.BalloonAt(i);
      if (!b || b->colour != colour || !group.insert(i).second) continue;
      const int column = i % s.columns, row = i / s.columns;
      if (column > 0) todo.push_back(i - 1);
      if (column + 1 < s.columns) todo.push_back(i + 1);
      if (row > 0) todo.push_back(i - s.columns);
      if (row + 1 < s.rows) todo.push_back(i + s.columns);
    }
    return group;
  }

  int Balloons(int colour = -1) const {
    int n = 0;
    for (int i = 0; i < state.board->Count(); ++i) {
      const BalloonSprite* b = state.BalloonAt(i);
      n += b && (colour < 0 || b->colour == colour);
    }
    return n;
  }

  // What a pop at the cell pays, colour bonus included; the colours it clears.
  long PopPays(int cell, int* clears) const {
    *clears = 0;
    if (cell < 0 || !state.BalloonAt(cell)) return 0;
    const std::set<int> group = Group(cell);
    const long n = static_cast<long>(group.size());
    if (n < state.minGroup) return 0;
    long stars = 0;
    for (int i : group) stars += state.BalloonAt(i)->star;
    const bool clearsColour = Balloons(state.BalloonAt(cell)->colour) == n;
    *clears = clearsColour ? 1 : 0;
    return 100 * n * (n + 1) / 2 * (1 + 2 * stars) + (clearsColour ? 100000 : 0);
  }

  bool MovesLeft() const {
    for (int i = 0; i < state.board->Count(); ++i)
      if (state.BalloonAt(i) && static_cast<int>(Group(i).size()) >= state.minGroup) return true;
    for (int row = 0; row < 8 && row < state.rows; ++row) {
      // Even rows are looked at for a blow to the left, odd rows to the right.
      bool seen = false;
      for (int k = 0; k < state.columns; ++k) {
        const int column = row % 2 ? k : state.columns - 1 - k;
        if (state.BalloonAt(row * state.columns + column)) seen = true;
        else if (seen) return true;
      }
    }
    return false;
  }

  void Round(int round) {
    random.seed(static_cast<unsigned>(round));
    SeedGameRandom(static_cast<unsigned>(round));
    Layout(state, RandomBoard());
    state.minGroup = 1 + Roll(4);
    state.previousButtons = -1;
    state.cursorColumn = state.cursorRow = 0;
    state.pendingActions.clear();
    SetClockSeconds(Roll(2) ? 1 + Roll(4) : 200);
    StartGameClock();
    state.SetState(Playing);
    state.SetScore(0);
    long paid = 0;
    for (int f = 0; f < kMostFrames && state.GetState() == Playing; ++f) {
      paid += Frame();
      ASSERT_EQ(state.GetScore(), paid) << "round " << round << " frame " << f;
      if (::testing::Test::HasFailure()) return;
    }
  }

  // One frame of random input; what the rules pay for it.
  long Frame() {
    ++frames;
    const int before = Balloons();
    const int secondsBefore = GetClockSeconds();
    int x = 0, y = 0, buttons = 0, clears = 0;
    long pays = 0;
    const int kind = Roll(10);
    if (kind < 4) {  // a left or right press somewhere near the board, or a release
      x = 100 + Roll(700);
      y = Roll(600);
      buttons = Roll(3) == 0 ? 0 : (Roll(4) == 0 ? 2 : 1);
      if (buttons != state.previousButtons && (buttons & 1)) pays = PopPays(state.CellAt(x, y), &clears);
    } else if (kind < 9) {  // the keyboard: cursor, pops and blows (as the clouds do)
      const PlayAction actions[] = {PlayAction::CursorUp, PlayAction::CursorDown,
                                    PlayAction::CursorLeft, PlayAction::CursorRight,
                                    PlayAction::Pop, PlayAction::BlowLeft, PlayAction::BlowRight};
      const PlayAction action = actions[Roll(7)];
      state.pendingActions.push_back(action);
      if (action == PlayAction::Pop)
        pays = PopPays(state.CellIndex(state.cursorColumn, state.cursorRow), &clears);
      buttons = state.previousButtons < 0 ? 0 : state.previousButtons;  // no change
    }
    state.PlayFrame(x, y, buttons);
    state.DrawRound(BackSurface);
    EXPECT_LE(Balloons(), before) << "balloons never grow in number";
    const bool cleared = Balloons() == 0;
    if (cleared) pays += 500000 + 1000L * (secondsBefore + 30 * clears);
    CheckEndReason(cleared);
    // Time passes between frames: effects expire, the clock counts down.
    for (int i = 0, n = 1 + Roll(30); i < n; ++i) FrameTimerStep();
    return pays;
  }

  void CheckEndReason(bool cleared) {
    switch (state.endReason) {
      case EndBoardCleared:
        EXPECT_TRUE(cleared);
        EXPECT_EQ(state.GetState(), Cleared);
        break;
      case EndNoMoveLeft:
        EXPECT_FALSE(MovesLeft());
        break;
      default:
        EXPECT_TRUE(MovesLeft());
        EXPECT_FALSE(cleared);
        break;
    }
    if (state.GetState() == Ending) {
      EXPECT_TRUE(state.endReason == EndNoMoveLeft || GetClockSeconds() == 0);
    }
  }
};

TEST(RandomPlaySoak, HundredsOfRoundsKeepTheBoardAndTheScoreHonest) {
  EnsureCatalogue();
  EnsureSurfaces();
  ResetFrameTimerState();
  FramesPerSecond = 100.0f;
  const auto start = std::chrono::steady_clock::now();
  Soak soak;
  soak.state.showHook = [](int) {};
  soak.state.soundHook = [](const char*) {};
  int ends[3] = {};
  int rounds = 0;
  for (int round = 0; round < kRounds && !HasFailure(); ++round, ++rounds) {
    soak.Round(round);
    ++ends[soak.state.endReason];
    soak.state.EndRound();
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("soak: %d rounds, %ld frames in %.1f s (still playing %d, no move left %d, "
              "cleared %d)\n",
              rounds, soak.frames, seconds, ends[0], ends[1], ends[2]);
}

}  // namespace
