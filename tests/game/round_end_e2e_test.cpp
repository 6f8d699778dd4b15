// The ends of a round through the real program: what the player sees (from screenshots)
// and what lands in "hiscore.dat".
#include <sstream>

#include "../platform/scratch_mount.h"
#include "e2e_util.h"
#include "game/high_score_table.h"

using namespace e2e;

namespace {

using RoundEndGame = GameRun;

TEST_F(RoundEndGame, OutOfTimeSavesTheScoreWithThePlayersTextAndTheNextRoundReadsItBack) {
  WriteWholeFile(dir.File("options.ini"),
                 "[setup]\nplayerid=1\n[Player2]\nname=Ann\nemail=ann@example.org\n");
  Setup("gametime=3\n");
  const Dump board = StartBoard();
  ASSERT_TRUE(board.ok());
  int pair = -1;  // a pair to pop in the top row
  for (int i = 0; i < 17 && pair < 0; ++i)
    if (board.cells[i].colour == board.cells[i + 1].colour) pair = i;
  ASSERT_GE(pair, 0) << "no pair in the top row";

  // The time runs out after 3 s; the airplane crosses, then the pictures follow. Look often.
  ASSERT_EQ(Run("wait 300\nclick " + CellPoint(pair, 0) + "\nwait 3000\n" + Shots(24) +
                    "wait 3000\ndump title.json\n",
                15000),
            0);
  EXPECT_GE(FirstShotShowing(24, "GameOverOOT.bmp"), 0) << "the out-of-time picture never showed";
  EXPECT_EQ(FirstShotShowing(24, "GameOverNMM.bmp"), -1);
  EXPECT_GT(FirstShotShowing(24, "hallfamepop.bmp"), FirstShotShowing(24, "GameOverOOT.bmp"));
  const Dump title = Read("title.json");
  EXPECT_EQ(title.Int("state"), 0);
  EXPECT_EQ(title.Int("clockSeconds"), 0);
  EXPECT_EQ(title.Balloons(), 250);  // the board stays, frozen
  const long score = title.Int("score");
  EXPECT_GE(score, 300);
  EXPECT_EQ(title.TopText(), "Ann::ann@example.org:Y");
  EXPECT_EQ(title.TopScore(), score);

  const std::string file = ReadWholeFile(dir.File("game/hiscore.dat"));
  ASSERT_EQ(file.size(), 5204u);
  EXPECT_EQ(std::string(file.data() + 4), "Ann::ann@example.org:Y");

  // A new run starts with the table from the file.
  EXPECT_EQ(StartBoard().TopScore(), score);
}

// A save that fails is told (one line headless), and what was on disk stays as it was.
TEST_F(RoundEndGame, AScoreThatCannotBeSavedIsToldAndTheOldTableStays) {
  HighScoreTable old;
  old.Init(kHallOfFameSize);
  old.Insert("Old:::Y", 1);
  const std::string oldImage = old.Serialize();
  const std::string play = "wait 300\nclick " + CellPoint(3, 3) + "\nwait 12000\ndump end.json\n";
  auto check = [&](const std::string& why) {
    std::istringstream out(ReadWholeFile(dir.File("out.txt")));
    int told = 0;
    for (std::string line; std::getline(out, line);)
      told += line.find("Your score could not be saved in hiscore.dat") != std::string::npos;
    EXPECT_EQ(told, 1) << why << ": " << ReadWholeFile(dir.File("out.txt"));
    EXPECT_GE(Read("end.json").Int("score"), 100) << why;
  };

  fs::create_directory(dir.File("game/hiscore.dat"));  // a folder in the way
  Setup("gametime=2\nballoons=1\n");
  ASSERT_EQ(Run(play, 20000), 0);
  check("a folder in the way");
  EXPECT_TRUE(fs::is_directory(dir.File("game/hiscore.dat")));

  // The data on a small file system of its own, first full, then read-only.
  const std::string game = dir.File("game");
  fs::remove_all(game);
  fs::create_directory(game);
  ScratchMount disk(16 << 20, game);
  if (!disk.ok()) GTEST_SKIP() << "mounting a tmpfs is not allowed here";
  fs::copy(Data(), game, fs::copy_options::recursive);
  Setup("gametime=2\nballoons=1\n");
  WriteWholeFile(dir.File("game/hiscore.dat"), oldImage);
  disk.FillUp();
  ASSERT_EQ(Run(play, 20000), 0);
  check("a full disk");
  EXPECT_EQ(ReadWholeFile(dir.File("game/hiscore.dat")), oldImage);

  fs::remove(disk / "filler");
  ASSERT_TRUE(disk.MakeReadOnly());
  ASSERT_EQ(Run(play, 20000), 0);
  check("a read-only folder");
  EXPECT_EQ(ReadWholeFile(dir.File("game/hiscore.dat")), oldImage);
}

// After a lost round the "newgame" button blinks; once NEW GAME is clicked (the pointer
// resting on it first, then moving away) it must show its own unlit image again, whichever
// half of the blink the click caught. The clicks fall at four points of the half-second blink.
std::string NewGameClicks(int count) {
  std::string script;
  for (int i = 0; i < count; ++i)
    script += "move 50 395\nwait " + std::to_string(1000 + 130 * i) +
              "\nclick 50 395\nmove 400 300\nwait 300\nscreenshot new" + std::to_string(i) +
              ".bmp\nwait 3500\n";
  return script;
}

TEST_F(RoundEndGame, NoMoveLeftShowsItsOwnPictureAndAZeroScoreWritesNothing) {
  Setup("balloons=99\n");  // no group is ever big enough
  ASSERT_EQ(Run(Shots(12) + "wait 3000\ndump end.json\n" + NewGameClicks(4), 30000), 0);
  EXPECT_GE(FirstShotShowing(12, "GameOverNMM.bmp"), 0) << "the no-move picture never showed";
  EXPECT_EQ(FirstShotShowing(12, "GameOverOOT.bmp"), -1);
  EXPECT_EQ(FirstShotShowing(12, "hallfamepop.bmp"), -1);  // a zero score enters nothing
  const Dump end = Read("end.json");
  EXPECT_EQ(end.Int("endReason"), 1);
  EXPECT_EQ(end.Int("state"), 0);
  EXPECT_FALSE(fs::exists(dir.File("game/hiscore.dat")));
  for (int i = 0; i < 4; ++i)
    EXPECT_GT(FrameShown("new" + std::to_string(i) + ".bmp", "newgame.bmp", 0, 2, 13, 375), 0.9)
        << "NEW GAME still lit in the round started by click " << i;
}

// The clicks that empty the board when single balloons pop: always the top balloon of the
// first column that has one, replayed on a copy of the board (groups burst, the balloons
// below rise), each followed by a pause long enough for its pops.
std::string ClearingClicks(std::vector<Cell> cells, int columns, int rows) {
  std::string script;
  auto at = [&](int c, int r) -> int& { return cells[size_t(r * columns + c)].colour; };
  for (;;) {
    int column = 0;
    while (column < columns && at(column, 0) < 0) ++column;
    if (column == columns) return script;
    const int colour = at(column, 0);
    int popped = 0;
    std::vector<std::pair<int, int>> todo = {{column, 0}};
    while (!todo.empty()) {
      auto [c, r] = todo.back();
      todo.pop_back();
      if (c < 0 || r < 0 || c >= columns || r >= rows || at(c, r) != colour) continue;
      at(c, r) = -1;
      ++popped;
      todo.insert(todo.end(), {{c + 1, r}, {c - 1, r}, {c, r + 1}, {c, r - 1}});
    }
    for (int c = 0; c < columns; ++c) {
      int top = 0;
      for (int r = 0; r < rows; ++r)
        if (at(c, r) >= 0) std::swap(at(c, top++), at(c, r));
    }
    script += "click " + CellPoint(column, 0) + "\nwait " + std::to_string(200 * popped + 400) + "\n";
  }
}

TEST_F(RoundEndGame, AClearedBoardCongratulatesUntilAClickThenEntersTheScore) {
  Setup("balloons=1\n");
  const Dump board = StartBoard();
  ASSERT_TRUE(board.ok());
  const std::string script = "wait 300\n" + ClearingClicks(board.cells, 18, 14) +
                             "wait 15000\ndump cleared.json\nscreenshot cleared.bmp\n"
                             "wait 2000\ndump still.json\nwait 200\nclick 400 300\nwait 3000\n"
                             "dump after.json\n";
  ASSERT_EQ(Run(script), 0);

  const Dump cleared = Read("cleared.json");
  ASSERT_EQ(cleared.Int("state"), 13) << cleared.text.substr(0, 200);
  EXPECT_EQ(cleared.Int("endReason"), 2);
  EXPECT_EQ(cleared.Int("clockSeconds"), 0);  // every second left was paid out
  EXPECT_GT(PictureShown("cleared.bmp", "congrats1.bmp", 264, 56), 0.9);
  EXPECT_GT(PictureShown("cleared.bmp", "congrats4.bmp", 326, 419), 0.9);
  EXPECT_EQ(cleared.TopScore(), 0);  // nothing entered before the click
  EXPECT_EQ(Read("still.json").Int("state"), 13);

  const Dump after = Read("after.json");
  EXPECT_EQ(after.Int("state"), 0);
  const long score = after.Int("score");
  EXPECT_GE(score, 500000 + 5 * 100000);  // the board, and each colour as it went
  EXPECT_EQ(after.TopScore(), score);
  EXPECT_EQ(after.TopText(), "Player1:::Y");
  HighScoreTable saved;
  saved.Init(kHallOfFameSize);
  ASSERT_EQ(saved.Read(dir.File("game/hiscore.dat").c_str()), 1);
  EXPECT_EQ(saved.TopScore(), score);
}

// An hour's bonus count takes a while to show; Escape during it ends the program at once,
// with every second left paid out.
TEST_F(RoundEndGame, EscapeDuringTheBonusCountEndsTheProgramAtOnce) {
  Setup("balloons=1\ngametime=3600\n");
  const Dump board = StartBoard();
  ASSERT_TRUE(board.ok());
  ASSERT_EQ(Run("wait 300\n" + ClearingClicks(board.cells, 18, 14) +
                    "wait 15000\ndump counting.json\nkey escape\nwait 60000\n",
                600000, "--dump-at-exit end.json"),
            0);
  const Dump counting = Read("counting.json");
  EXPECT_EQ(counting.Int("clockRunning"), 0);
  EXPECT_GT(counting.Int("clockSeconds"), 1000) << "the count was not under way";
  const Dump end = Read("end.json");
  EXPECT_EQ(end.Int("endReason"), 2);
  EXPECT_EQ(end.Int("clockSeconds"), 0);
  EXPECT_GE(end.Int("score"), 500000 + 5 * 100000 + 1000 * 3000);
  EXPECT_LT(end.Int("ticks"), counting.Int("ticks") + 1000) << "the count went on after Escape";
}

// Installed as the package lays it out: the data read-only beside the program, no --data,
// and the player's files in XDG_DATA_HOME, read there before the data folder.
TEST_F(RoundEndGame, WithoutADataFolderTheScoreLandsInThePlayersFolderAndNothingInTheData) {
  const Dump board = StartBoard();  // the same seed deals the same board
  int pair = -1;
  for (int i = 0; i < 17 && pair < 0; ++i)
    if (board.cells[i].colour == board.cells[i + 1].colour) pair = i;
  ASSERT_GE(pair, 0) << "no pair in the top row";

  fs::create_directories(dir.File("usr/games"));
  fs::create_directories(dir.File("usr/share"));
  fs::copy_file(program, dir.File("usr/games/zorbit"));
  fs::permissions(dir.File("usr/games/zorbit"), fs::perms::owner_all);
  fs::copy(Data(), dir.File("usr/share/zorbit"), fs::copy_options::recursive);
  // A damaged table among the shared data is neither moved nor written over.
  WriteWholeFile(dir.File("usr/share/zorbit/hiscore.dat"), "damaged");
  const std::string player = dir.File("xdg/zorbit/game");
  fs::create_directories(player);
  WriteWholeFile(player + "/setup.ini", "[default]\ngametime=3\n");
  WriteWholeFile(dir.File("xdg/zorbit/options.ini"), "[setup]\nplayerid=1\n[Player2]\nname=Bo\n");
  WriteWholeFile(dir.File("script.txt"),
                 "wait 300\nclick " + CellPoint(pair, 0) + "\nwait 9000\ndump title.json\n");
  const std::string command = "cd '" + dir.path() + "' && HOME='" + dir.File("home") +
                              "' XDG_DATA_HOME='" + dir.File("xdg") +
                              "' usr/games/zorbit --headless --seed 4242 --script script.txt"
                              " --max-ms 15000 > out.txt 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << ReadWholeFile(dir.File("out.txt"));

  EXPECT_EQ(Read("title.json").Int("clockSeconds"), 0);  // the player's 3 s, not 200
  const std::string file = ReadWholeFile(player + "/hiscore.dat");
  ASSERT_EQ(file.size(), 5204u);
  EXPECT_EQ(std::string(file.data() + 4), "Bo:::Y");
  size_t shipped = 0, installed = 0;
  for (auto& e : fs::recursive_directory_iterator(Data())) shipped += e.is_regular_file();
  for (auto& e : fs::recursive_directory_iterator(dir.File("usr"))) installed += e.is_regular_file();
  EXPECT_EQ(installed, shipped + 2);  // the data and the program, nothing more
  EXPECT_EQ(ReadWholeFile(dir.File("usr/share/zorbit/hiscore.dat")), "damaged");
  EXPECT_FALSE(fs::exists(dir.File("home")));
}

// A replay of a run that found its table damaged saves into a copy of its own: what it
// says of that copy never passes the copy's temporary path off as the player's file.
TEST_F(RoundEndGame, AReplayOfADamagedTableNamesNoTemporaryFileAsThePlayers) {
  WriteWholeFile(dir.File("game/hiscore.dat"), "short");
  Setup("gametime=2\nballoons=1\n");
  ASSERT_EQ(Run("wait 300\nclick " + CellPoint(3, 3) + "\nwait 6000\n", 12000,
                "--record live.replay"), 0);
  EXPECT_NE(ReadWholeFile(dir.File("out.txt")).find("hiscore.dat could not be read; it is kept as"),
            std::string::npos) << ReadWholeFile(dir.File("out.txt"));
  const std::string command = "cd '" + dir.path() + "' && '" + program +
                              "' --headless --data game --replay live.replay > replayed.txt 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << ReadWholeFile(dir.File("replayed.txt"));
  const std::string said = ReadWholeFile(dir.File("replayed.txt"));
  EXPECT_EQ(said.find("zorbit-replay-"), std::string::npos) << said;
  EXPECT_NE(said.find("the hall of fame this replay started from cannot be read whole"),
            std::string::npos) << said;
}

}  // namespace
