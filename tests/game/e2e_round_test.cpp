// Whole rounds through the headless harness: a click on a group, blowing a row, the time
// running out, and a cleared board.
#include <set>

#include "e2e_util.h"

using namespace e2e;

namespace {

constexpr unsigned Seed = 4242;

// The cells of the same-coloured group at (column, row), as the game collects it.
std::set<int> GroupAt(const Dump& d, int cell) {
  std::set<int> group;
  std::vector<int> todo{cell};
  while (!todo.empty()) {
    const int i = todo.back();
    todo.pop_back();
    if (group.count(i)) continue;
    group.insert(i);
    const int column = i % d.columns, row = i / d.columns;
    const int next[4][2] = {{column - 1, row}, {column + 1, row}, {column, row - 1}, {column, row + 1}};
    for (const auto& n : next) {
      if (n[0] < 0 || n[0] >= d.columns || n[1] < 0 || n[1] >= d.rows) continue;
      const int j = n[1] * d.columns + n[0];
      if (d.cells[j].colour == d.cells[cell].colour) todo.push_back(j);
    }
  }
  return group;
}

// The first cell (in index order) whose group has at least two balloons.
int FirstGroupCell(const Dump& d) {
  for (int i = 0; i < static_cast<int>(d.cells.size()); ++i)
    if (d.cells[i].colour >= 0 && GroupAt(d, i).size() >= 2) return i;
  return -1;
}

bool RowCanBlowRight(const Dump& d, int row) {
  bool seen = false;
  for (int column = 0; column < d.columns; ++column) {
    if (d.At(column, row).colour >= 0)
      seen = true;
    else if (seen)
      return true;
  }
  return false;
}

class Rounds : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("ZORBIT_EXE")) GTEST_SKIP() << "ZORBIT_EXE is not set";
  }
  void TearDown() override {
    if (!HasFailure()) RemoveMadeFolders();
  }
  // The board at the start of play with the fixed seed.
  Dump StartBoard(const fs::path& game) {
    EXPECT_EQ(RunGame(game, Seed, "wait 200\ndump start.json\n"), 0);
    return ReadDump(game / "start.json");
  }
};

TEST_F(Rounds, ClickingAGroupPopsItScoresItAndSettlesTheColumns) {
  const fs::path game = MakeGameFolder("click", "balloons=2\ngametime=200\n");
  const Dump start = StartBoard(game);
  ASSERT_TRUE(start.ok) << start.text;
  EXPECT_EQ(start.Int("state"), 1);
  EXPECT_EQ(start.Balloons(), 252);
  EXPECT_EQ(start.Int("cellWidth"), 32);
  const int cell = FirstGroupCell(start);
  ASSERT_GE(cell, 0);
  const std::set<int> group = GroupAt(start, cell);
  const long n = static_cast<long>(group.size());
  long stars = 0;
  for (int i : group) stars += start.cells[i].star;

  ASSERT_EQ(RunGame(game, Seed,
                    "wait 200\nclick " + CellPoint(cell % 18, cell / 18) +
                        "\nwait 3000\ndump after.json\n"),
            0);
  const Dump after = ReadDump(game / "after.json");
  ASSERT_TRUE(after.ok);
  const long points = 100 * n * (n + 1) / 2 * (1 + 2 * stars);
  EXPECT_EQ(after.Int("lastPopScore"), points);
  EXPECT_EQ(after.Int("score"), points);
  EXPECT_EQ(after.Balloons(), 252 - n);
  // Every column keeps its other balloons in order, floated up to the top.
  for (int column = 0; column < 18; ++column) {
    std::vector<Cell> expected;
    for (int row = 0; row < 14; ++row)
      if (!group.count(row * 18 + column)) expected.push_back(start.At(column, row));
    expected.resize(14);
    for (int row = 0; row < 14; ++row)
      EXPECT_EQ(after.At(column, row), expected[row]) << column << "," << row;
  }
}

TEST_F(Rounds, ACloudAndARightClickBlowTheSameRow) {
  const fs::path game = MakeGameFolder("blow", "balloons=2\ngametime=200\n");
  const Dump start = StartBoard(game);
  ASSERT_TRUE(start.ok);
  const int cell = FirstGroupCell(start);
  const std::string pop = "wait 200\nclick " + CellPoint(cell % 18, cell / 18) +
                          "\nwait 3000\ndump popped.json\n";
  // Row 13 blows right: the left cloud "Air13r", or a right click on the row.
  ASSERT_EQ(RunGame(game, Seed, pop + "click 118 544\nwait 2000\ndump cloud.json\n"), 0);
  const Dump popped = ReadDump(game / "popped.json");
  const Dump cloud = ReadDump(game / "cloud.json");
  ASSERT_EQ(RunGame(game, Seed, pop + "rclick " + CellPoint(5, 13) + "\nwait 2000\ndump rclick.json\n"), 0);
  const Dump rclick = ReadDump(game / "rclick.json");
  ASSERT_TRUE(popped.ok && cloud.ok && rclick.ok);
  ASSERT_TRUE(RowCanBlowRight(popped, 13));
  EXPECT_NE(cloud.cells, popped.cells);
  EXPECT_EQ(cloud.cells, rclick.cells);
  EXPECT_FALSE(RowCanBlowRight(cloud, 13));  // packed against the right end
  EXPECT_EQ(cloud.Balloons(), popped.Balloons());
  EXPECT_EQ(cloud.Int("score"), popped.Int("score"));
}

TEST_F(Rounds, ReadingTheRulesCostsNoTime) {
  const fs::path game = MakeGameFolder("help", "gametime=200\n");
  ASSERT_EQ(RunGame(game, Seed,
                    "wait 300\nclick 50 495\nwait 3000\ndump during.json\nclick 400 300\n"
                    "wait 300\ndump after.json\n"),
            0);
  const Dump during = ReadDump(game / "during.json");
  const Dump after = ReadDump(game / "after.json");
  ASSERT_TRUE(during.ok && after.ok);
  EXPECT_EQ(during.Int("clockRunning"), 0);
  EXPECT_EQ(during.Int("clockSeconds"), 200);
  EXPECT_EQ(after.Int("state"), 1);
  EXPECT_EQ(after.Int("clockRunning"), 1);
}

TEST_F(Rounds, SettingsThatCannotMakeARoundFallBackToPlayableOnes) {
  const fs::path game = MakeGameFolder("settings", "balloons=0\ngametime=-5\n");
  ASSERT_EQ(RunGame(game, Seed, "wait 200\ndump start.json\n"), 0);
  const Dump start = ReadDump(game / "start.json");
  ASSERT_TRUE(start.ok);
  EXPECT_EQ(start.Int("minGroup"), 1);    // lone balloons pop, as with 0
  EXPECT_EQ(start.Int("gameTime"), 200);  // a round of no time gets the default length
  EXPECT_EQ(start.Int("clockSeconds"), 200);
}

TEST_F(Rounds, MenuStartsTheLauncherOnlyWhenTheGameWasGivenItsFolder) {
  const fs::path game = MakeGameFolder("menu", "");
  // No launcher folder: the click changes nothing and the game goes on.
  ASSERT_EQ(RunGame(game, Seed, "wait 200\nclick 50 445\nwait 300\ndump after.json\n"), 0);
  const Dump after = ReadDump(game / "after.json");
  ASSERT_TRUE(after.ok);
  EXPECT_EQ(after.Int("state"), 1);
  // With a folder the game ends at once, whether or not the launcher could start.
  ASSERT_EQ(RunGame(game, Seed, "wait 200\nclick 50 445\nwait 300\ndump ended.json\n",
                    "\"" + (game / "no-launcher-here").string() + "\""),
            0);
  EXPECT_FALSE(fs::exists(game / "ended.json"));
}

TEST_F(Rounds, TheTimeRunsOutAndTheGameRestsInTheTitleState) {
  const fs::path game = MakeGameFolder("timeout", "gametime=3\n");
  ASSERT_EQ(RunGame(game, Seed, "wait 1500\ndump mid.json\nwait 14000\ndump end.json\n"), 0);
  const Dump mid = ReadDump(game / "mid.json");
  const Dump end = ReadDump(game / "end.json");
  ASSERT_TRUE(mid.ok && end.ok);
  EXPECT_EQ(mid.Int("state"), 1);
  EXPECT_EQ(mid.Int("gameTime"), 3);
  EXPECT_EQ(mid.Int("clockRunning"), 1);
  EXPECT_GE(mid.Int("clockSeconds"), 1);
  EXPECT_EQ(end.Int("state"), 0);
  EXPECT_EQ(end.Int("clockSeconds"), 0);
  EXPECT_EQ(end.Int("endReason"), 0);
  EXPECT_EQ(end.Balloons(), 252);  // the board stays, frozen
}

TEST_F(Rounds, ClearingTheWholeBoardPaysHalfAMillionAndAThousandPerSecondLeft) {
  const fs::path game = MakeGameFolder("clear", "balloons=1\ngametime=900\n");
  // Sweeps over the top row until every column is empty; a dump before every click.
  std::string script = "wait 200\n";
  int dumps = 0;
  for (int sweep = 0; sweep < 16; ++sweep)
    for (int column = 0; column < 18; ++column) {
      script += "dump d" + std::to_string(dumps++) + ".json\nclick " + CellPoint(column, 0) +
                "\nwait 350\n";
    }
  script += "dump d" + std::to_string(dumps++) + ".json\n";
  ASSERT_EQ(RunGame(game, Seed, script, "--max-ms 2000000"), 0);
  int firstEmpty = -1;
  for (int i = 0; i < dumps && firstEmpty < 0; ++i)
    if (ReadDump(game / ("d" + std::to_string(i) + ".json")).Balloons() == 0) firstEmpty = i;
  ASSERT_GT(firstEmpty, 0) << "the sweeps did not clear the board";
  const Dump before = ReadDump(game / ("d" + std::to_string(firstEmpty - 1) + ".json"));
  const Dump last = ReadDump(game / ("d" + std::to_string(dumps - 1) + ".json"));
  ASSERT_TRUE(before.ok && last.ok);
  EXPECT_EQ(before.Int("state"), 1);
  EXPECT_EQ(last.Int("clockSeconds"), 0);
  EXPECT_EQ(last.Int("endReason"), 2);
  // The last group's points, its colour's 100,000, then 500,000 and a thousand for every
  // second left, the 30 seconds of the cleared colour included.
  const long rest = last.Int("score") - before.Int("score") - last.Int("lastPopScore") -
                    100000 - 500000;
  EXPECT_EQ(rest % 1000, 0) << rest;
  const long secondsPaid = rest / 1000;
  const long secondsLeft = before.Int("clockSeconds") + 30;
  EXPECT_LE(secondsPaid, secondsLeft);
  EXPECT_GE(secondsPaid, secondsLeft - 12);
}

}  // namespace
