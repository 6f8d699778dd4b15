// Whole rounds through the real program: a click on a group, blowing a row, the side
// buttons, and the round settings.
#include <sys/wait.h>

#include <chrono>
#include <thread>

#include "e2e_util.h"
#include "game/high_score_table.h"

using namespace e2e;

namespace {

bool RowCanBlowRight(const Dump& d, int row) {
  return rules::RowCanBlow(d.columns, row, true, [&d](int i) { return d.cells[i].colour; });
}

// The first cell of a group that may pop and holds a star, else of any such group.
int StarGroupCell(const Dump& d) {
  for (int i = 0; i < static_cast<int>(d.cells.size()); ++i) {
    if (d.cells[i].colour < 0) continue;
    const std::set<int> group = GroupAt(d, i);
    if (group.size() < 2) continue;
    for (int j : group)
      if (d.cells[j].star) return i;
  }
  return FirstGroupCell(d);
}

using Rounds = GameRun;

// The preview under the pointer names the points the click then pays, stars included; with
// the preview switched off the same click pays the same.
TEST_F(Rounds, ClickingAGroupPopsItScoresItAndSettlesTheColumns) {
  const Dump start = StartBoard();
  ASSERT_TRUE(start.ok()) << start.text.substr(0, 200);
  EXPECT_EQ(start.Int("state"), 1);
  EXPECT_EQ(start.Balloons(), 252);
  const int cell = StarGroupCell(start);
  ASSERT_GE(cell, 0);
  const std::set<int> group = GroupAt(start, cell);
  const long n = static_cast<long>(group.size());

  // The dump written before the click, at the same time, shows the board before it; the
  // one at exit shows the end of the game, not a released round.
  const std::string script = "wait 300\nmove " + CellPoint(cell % 18, cell / 18) +
                             "\nwait 50\ndump before.json\nclick " +
                             CellPoint(cell % 18, cell / 18) +
                             "\nwait 3000\ndump after.json\nwait 500\n";
  ASSERT_EQ(Run(script, 600000, "--dump-at-exit end.json"), 0);
  EXPECT_EQ(Read("before.json").cells, start.cells);
  const Dump after = Read("after.json");
  ASSERT_TRUE(after.ok());
  const long points = GroupPoints(start, group);
  EXPECT_EQ(Read("before.json").Int("previewPoints"), points);
  EXPECT_EQ(after.Int("lastPopScore"), points);
  EXPECT_EQ(after.Int("score"), points);
  EXPECT_EQ(after.Balloons(), 252 - n);
  const Dump end = Read("end.json");
  EXPECT_EQ(end.cells, after.cells);
  EXPECT_EQ(end.Int("score"), points);
  // Every column keeps its other balloons in order, floated up to the top.
  for (int column = 0; column < 18; ++column) {
    std::vector<Cell> expected;
    for (int row = 0; row < 14; ++row)
      if (!group.count(row * 18 + column)) expected.push_back(start.At(column, row));
    expected.resize(14);
    for (int row = 0; row < 14; ++row)
      EXPECT_EQ(after.At(column, row), expected[row]) << column << "," << row;
  }

  WriteWholeFile(dir.File("game/setup.ini"), "[setup]\npreview=0\n");
  ASSERT_EQ(Run(script), 0);
  EXPECT_EQ(Read("before.json").Int("previewPoints"), 0);
  EXPECT_EQ(Read("after.json").Int("lastPopScore"), points);
  EXPECT_EQ(Read("after.json").cells, after.cells);
}

TEST_F(Rounds, ACloudAndARightClickBlowTheSameRow) {
  const Dump start = StartBoard();
  ASSERT_TRUE(start.ok());
  const int cell = FirstGroupCell(start);
  const std::string pop = "wait 300\nclick " + CellPoint(cell % 18, cell / 18) +
                          "\nwait 3000\ndump popped.json\n";
  // Row 13 blows right: the left cloud "Air13r", or a right click on the row.
  ASSERT_EQ(Run(pop + "click 118 544\nwait 2000\ndump cloud.json\n"), 0);
  const Dump popped = Read("popped.json");
  const Dump cloud = Read("cloud.json");
  ASSERT_EQ(Run(pop + "rclick " + CellPoint(5, 13) + "\nwait 2000\ndump rclick.json\n"), 0);
  const Dump rclick = Read("rclick.json");
  ASSERT_TRUE(popped.ok() && cloud.ok() && rclick.ok());
  ASSERT_TRUE(RowCanBlowRight(popped, 13));
  EXPECT_NE(cloud.cells, popped.cells);
  EXPECT_EQ(cloud.cells, rclick.cells);
  EXPECT_FALSE(RowCanBlowRight(cloud, 13));  // packed against the right end
  EXPECT_EQ(cloud.Balloons(), popped.Balloons());
  EXPECT_EQ(cloud.Int("score"), popped.Int("score"));
}

// The panel's clock and sound signs hold still while the rules or the hall of fame show (each
// display buffer once lost them, so the clock blinked as its empty seat), and a sign switched
// off after a dialog closed does not stay behind.
TEST_F(Rounds, TheClockAndSignsHoldStillAroundTheDialogs) {
  ASSERT_EQ(Run("wait 300\nscreenshot quiet.bmp\nkey m\nclick 50 495\nscreenshot r1.bmp\nwait 10\n"
                "screenshot r2.bmp\nwait 10\nscreenshot r3.bmp\nclick 400 300\nwait 300\nkey f2\n"
                "screenshot f1.bmp\nwait 10\nscreenshot f2.bmp\nkey f2\nwait 300\nkey m\nwait 300\n"
                "screenshot back.bmp\n"),
            0);
  auto same = [&](const std::string& a, const std::string& b, int left, int top, int w, int h) {
    const std::string fa = ReadWholeFile(dir.File(a)), fb = ReadWholeFile(dir.File(b));
    Surface* sa = LoadBitmapFromMemory(fa.data(), fa.size(), 16);
    Surface* sb = LoadBitmapFromMemory(fb.data(), fb.size(), 16);
    bool equal = sa && sb;
    for (int y = top; equal && y < top + h; ++y)
      for (int x = left; equal && x < left + w; ++x) equal = sa->row16(y)[x] == sb->row16(y)[x];
    if (sa) sa->Release();
    if (sb) sb->Release();
    return equal;
  };
  const int clock[] = {0, 206, 88, 130};
  EXPECT_TRUE(same("r1.bmp", "r2.bmp", clock[0], clock[1], clock[2], clock[3]));
  EXPECT_TRUE(same("r2.bmp", "r3.bmp", clock[0], clock[1], clock[2], clock[3]));
  EXPECT_TRUE(same("f1.bmp", "f2.bmp", clock[0], clock[1], clock[2], clock[3]));
  EXPECT_TRUE(same("quiet.bmp", "back.bmp", 0, 296, 88, 40)) << "the music's sign stayed";
}

// A run that lost a screenshot or dump it was asked for has failed, and says why.
TEST_F(Rounds, OutputsThatCannotBeWrittenFailTheRun) {
  int status = Run("wait 300\nscreenshot no/such/shot.bmp\n");
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  status = Run("wait 300\n", 600000, "--dump-at-exit /dev/full");
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  const std::string out = ReadWholeFile(dir.File("out.txt"));
  EXPECT_NE(out.find("cannot write /dev/full: No space left on device"), std::string::npos) << out;
}

// F1's digits sit over the board's white frame and its top row of balloons: every row of
// the glyphs must be there, white on its own dark plate.
TEST_F(Rounds, F1DrawsTheWholeRateOverTheBoard) {
  ASSERT_EQ(Run("wait 300\nkey f1\nwait 300\nscreenshot rate.bmp\n"), 0);
  const std::string bmp = ReadWholeFile(dir.File("rate.bmp"));
  Surface* shot = LoadBitmapFromMemory(bmp.data(), bmp.size(), 16);
  ASSERT_NE(shot, nullptr);
  for (int y = 2; y < 9; ++y) {
    int white = 0, plate = 0;
    for (int x = 580; x < 628; ++x) {
      white += shot->row16(y)[x] == 0xFFFF;
      plate += shot->row16(y)[x] == 0x1908;
    }
    EXPECT_GE(white, 2) << "glyph row " << y - 2 << " of \"100.00\" is missing";
    EXPECT_GE(plate, 10) << "row " << y << " has no plate behind the digits";
  }
  shot->Release();
}

// F2 or a click on the HIGH SCORE card shows the table over the game with the current
// player's rows marked; a click, Escape or F2 closes it, the clock waits meanwhile (as it
// does over the rules page), and the table's file is only read.
TEST_F(Rounds, TheHallOfFameOpensOverTheGameAndOnlyReadsTheTable) {
  WriteWholeFile(dir.File("options.ini"), "[setup]\nplayerid=1\n[Player2]\nname=Ann\n");
  HighScoreTable table;
  table.Init(kHallOfFameSize);
  table.Insert("Ann:::Y", 5000);
  table.Insert("Bob:::Y", 4000);
  table.Insert("Ann:::Y", 3000);
  ASSERT_EQ(table.Write(dir.File("game/hiscore.dat").c_str()), 1);
  const std::string file = ReadWholeFile(dir.File("game/hiscore.dat"));
  ASSERT_EQ(Run("wait 300\nclick 50 495\nwait 3000\ndump rules.json\nclick 400 300\nwait 300\n"
                "key f2\nwait 500\nscreenshot open.bmp\ndump open.json\nwait 2000\n"
                "dump still.json\nkey escape\nwait 300\ndump closed.json\nclick 40 55\nwait 300\n"
                "screenshot card.bmp\nkey f2\nwait 300\ndump f2.json\nclick 40 55\nwait 300\n"
                "click 400 300\nwait 300\ndump clicked.json\n"),
            0);
  EXPECT_GT(PictureShown("open.bmp", "halloffame.bmp"), 0.7);
  EXPECT_GT(PictureShown("card.bmp", "halloffame.bmp"), 0.7);
  // The card sits centred (160, 20); rows start 78 below its top, 22 apart.
  for (int row : {0, 1, 2}) {
    const double marked = PictureShown("open.bmp", "hallmark.bmp", 180, 20 + 78 + 1 + 22 * row);
    if (row == 1)
      EXPECT_LT(marked, 0.3) << "Bob's row is not the player's";
    else
      EXPECT_GT(marked, 0.6) << "Ann's row " << row << " is marked";
  }
  // Reading the rules costs no time either.
  EXPECT_EQ(Read("rules.json").Int("clockRunning"), 0);
  EXPECT_EQ(Read("rules.json").Int("clockSeconds"), 200);
  const Dump open = Read("open.json"), still = Read("still.json");
  EXPECT_EQ(open.Int("clockRunning"), 0);
  EXPECT_EQ(still.Int("clockSeconds"), open.Int("clockSeconds"));
  for (const char* closed : {"closed.json", "f2.json", "clicked.json"}) {
    const Dump d = Read(closed);
    EXPECT_EQ(d.Int("state"), 1) << closed;
    EXPECT_EQ(d.Int("clockRunning"), 1) << closed << ": the round goes on";
  }
  EXPECT_EQ(ReadWholeFile(dir.File("game/hiscore.dat")), file);
}

TEST_F(Rounds, SettingsAreReadAtTheStartAndUnplayableOnesFallBack) {
  // Lone balloons pop, as with 0; a round of no time gets the default length; numbers past
  // what a round can use count as the most it can: an hour, the whole board.
  const struct {
    const char* ini;
    int minGroup, seconds;
  } rows[] = {{"balloons=3\ngametime=90\n", 3, 90},
              {"balloons=0\ngametime=-5\n", 1, 200},
              {"balloons=99999999999999999999\ngametime=2147483647\n", 252, 3600}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.ini);
    Setup(row.ini);
    const Dump start = StartBoard();
    EXPECT_EQ(start.Int("minGroup"), row.minGroup);
    EXPECT_EQ(start.Int("gameTime"), row.seconds);
    EXPECT_EQ(start.Int("clockSeconds"), row.seconds);
  }
}

// Started where the data is not, the game says which folder it looked in and how to get the
// data, and ends with an error instead of opening an empty window. A folder missing only some
// pictures still starts, naming them; a complete one starts without a word.
TEST_F(Rounds, AFolderWithoutTheDataSaysSoAndEndsWithAnError) {
  fs::create_directory(dir.File("empty"));
  const std::string run = "cd '" + dir.path() + "' && '" + program + "' --headless --max-ms 300 --data ";
  const int code = std::system((run + "empty > out.txt 2>&1").c_str());
  EXPECT_TRUE(WIFEXITED(code) && WEXITSTATUS(code) != 0) << code;
  const std::string said = ReadWholeFile(dir.File("out.txt"));
  EXPECT_NE(said.find(fs::canonical(dir.File("empty")).string()), std::string::npos) << said;
  EXPECT_NE(said.find("background.bmp"), std::string::npos) << said;
  EXPECT_NE(said.find("./run"), std::string::npos) << said;

  EXPECT_EQ(std::system((run + "game > out.txt 2>&1").c_str()), 0);
  EXPECT_EQ(ReadWholeFile(dir.File("out.txt")).find("lacks"), std::string::npos)
      << "every picture the game checks for is one the generator makes";
  fs::remove(dir.File("game/red.bmp"));
  EXPECT_EQ(std::system((run + "game > out.txt 2>&1").c_str()), 0);
  EXPECT_NE(ReadWholeFile(dir.File("out.txt")).find("lacks red.bmp"), std::string::npos);
}

TEST_F(Rounds, MenuStartsTheLauncherOnlyWhenTheGameWasGivenItsFolder) {
  // No launcher folder: the click changes nothing and the game goes on.
  ASSERT_EQ(Run("wait 300\nclick 50 445\nwait 300\ndump after.json\n"), 0);
  EXPECT_EQ(Read("after.json").Int("state"), 1);
  // A folder without a launcher: the game stays and says why.
  ASSERT_EQ(Run("wait 300\nclick 50 445\nwait 300\ndump stayed.json\n", 600000,
                "'" + dir.File("no-launcher-here") + "'"),
            0);
  EXPECT_EQ(Read("stayed.json").Int("state"), 1);
  EXPECT_NE(ReadWholeFile(dir.File("out.txt")).find("The launcher could not be started"),
            std::string::npos);
  // With a launcher, relative to where the game was started, it runs and the game ends.
  fs::create_directory(dir.File("launcher"));
  WriteWholeFile(dir.File("launcher/Gatefold"), "#!/bin/sh\ntouch started\n");
  fs::permissions(dir.File("launcher/Gatefold"), fs::perms::owner_all);
  ASSERT_EQ(Run("wait 300\nclick 50 445\nwait 300\ndump ended.json\n", 600000, "launcher"), 0);
  EXPECT_FALSE(fs::exists(dir.File("ended.json")));
  for (int i = 0; i < 200 && !fs::exists(dir.File("launcher/started")); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(fs::exists(dir.File("launcher/started")));
}

}  // namespace
