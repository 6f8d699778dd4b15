// The ends of a round through the real program, headless, on a copy of the generated data:
// what the player sees (from screenshots) and what lands in "hiscore.dat".
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "game/high_score_table.h"
#include "high_score_test_util.h"
#include "platform/bitmap.h"

namespace fs = std::filesystem;

namespace {

const std::string kData = std::string(ZORBIT_BINARY_DIR) + "/game";

// Numbers and the first hall-of-fame entry out of a state dump (flat enough for find).
long long JsonInt(const std::string& json, const std::string& key, size_t from = 0) {
  size_t at = json.find("\"" + key + "\":", from);
  return at == std::string::npos ? -1 : std::atoll(json.c_str() + at + key.size() + 3);
}

struct Entry {
  std::string text;
  long long score = -1;
};

Entry FirstHallOfFameEntry(const std::string& json) {
  Entry e;
  size_t at = json.find("\"hallOfFame\":[{\"text\":\"");
  if (at == std::string::npos) return e;
  at += 23;
  e.text = json.substr(at, json.find('"', at) - at);
  e.score = JsonInt(json, "score", at);
  return e;
}

std::vector<int> BoardColours(const std::string& json) {
  std::vector<int> cells;
  size_t at = json.find("\"cells\":[");
  if (at == std::string::npos) return cells;
  for (at += 9; at < json.size() && json[at] != ']';) {
    if (json.compare(at, 4, "null") == 0) {
      cells.push_back(-1);
      at += 4;
    } else {
      cells.push_back(int(JsonInt(json, "colour", at)));
      at = json.find('}', at) + 1;
    }
    if (json[at] == ',') ++at;
  }
  return cells;
}

class RoundEndGame : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* exe = std::getenv("ZORBIT_EXE");
    if (!exe || !fs::exists(exe) || !fs::exists(kData + "/GameOverNMM.bmp"))
      GTEST_SKIP() << "needs the program and its generated data";
    program = exe;
    fs::copy(kData, dir.File("game"), fs::copy_options::recursive);
  }
  void Setup(const std::string& settings) {
    WriteWholeFile(dir.File("game/setup.ini"), "[default]\n" + settings);
  }
  // Runs the program on the script; 0 when it ended normally.
  int Run(const std::string& script, int maxMs) {
    WriteWholeFile(dir.File("script.txt"), script);
    std::string command = "'" + program + "' --headless --seed 7 --data '" + dir.File("game") +
                          "' --script '" + dir.File("script.txt") + "' --max-ms " +
                          std::to_string(maxMs) + " > '" + dir.File("out.txt") + "' 2>&1";
    return std::system(command.c_str());
  }
  std::string Dump(const std::string& name) { return ReadWholeFile(dir.File(name)); }
  // A dump is taken at the program's next frame: give it one before more input comes.
  std::string DumpLine(const std::string& name) { return "dump " + dir.File(name) + "\n"; }
  std::string ShotLine(const std::string& name) { return "screenshot " + dir.File(name) + "\n"; }

  // The share of the picture's pixels (colour key excepted) found at left, top on the
  // screenshot; a dialog's picture is centred (left -1).
  double PictureShown(const std::string& shot, const std::string& picture, int left = -1,
                      int top = -1) {
    std::string a = ReadWholeFile(dir.File(shot)), b = ReadWholeFile(kData + "/" + picture);
    Surface* screen = LoadBitmapFromMemory(a.data(), a.size(), 16);
    Surface* page = LoadBitmapFromMemory(b.data(), b.size(), 16);
    double share = 0;
    if (screen && page) {
      int w = page->width(), h = page->height();
      if (left < 0) {
        left = (800 - w) / 2;
        top = (600 - h) / 2;
      }
      long same = 0, counted = 0;
      for (int y = 0; y < h; y += 3)
        for (int x = 0; x < w; x += 3) {
          uint16_t p = page->row16(y)[x];
          if (p == 0x001F) continue;
          if (top + y >= 600 || left + x >= 800) continue;
          ++counted;
          same += screen->row16(top + y)[left + x] == p;
        }
      share = counted ? double(same) / double(counted) : 0;
    }
    if (screen) screen->Release();
    if (page) page->Release();
    return share;
  }

  // Screenshots every 250 ms, and the first of them that shows a dialog's picture (-1: none).
  std::string Shots(int count) {
    std::string lines;
    for (int i = 0; i < count; ++i) lines += "wait 250\n" + ShotLine("shot" + std::to_string(i) + ".bmp");
    return lines;
  }
  int FirstShotShowing(int count, const std::string& picture) {
    for (int i = 0; i < count; ++i)
      if (PictureShown("shot" + std::to_string(i) + ".bmp", picture) > 0.9) return i;
    return -1;
  }

  ScratchDir dir;
  std::string program;
};

TEST_F(RoundEndGame, OutOfTimeSavesTheScoreWithThePlayersTextAndTheNextRoundReadsItBack) {
  WriteWholeFile(dir.File("options.ini"),
                 "[setup]\nplayerid=1\n[Player2]\nname=Ann\nemail=ann@example.org\n");
  Setup("gametime=3\n");
  // Find a pair to pop on this seed's board.
  ASSERT_EQ(Run("wait 300\n" + DumpLine("board.json"), 1000), 0);
  std::vector<int> cells = BoardColours(Dump("board.json"));
  ASSERT_EQ(cells.size(), 18u * 14u);
  int pair = -1;
  for (int i = 0; i < 17 && pair < 0; ++i)
    if (cells[i] >= 0 && cells[i] == cells[i + 1]) pair = i;
  ASSERT_GE(pair, 0) << "no pair in the top row";
  const std::string click =
      "click " + std::to_string(154 + pair * 32 + 16) + " " + std::to_string(7 + 20) + "\n";

  // The time runs out after 3 s; the airplane crosses, then the pictures follow. Look often.
  std::string script = "wait 300\n" + click + "wait 3000\n";
  ASSERT_EQ(Run(script + Shots(24) + "wait 3000\n" + DumpLine("title.json"), 15000), 0);
  EXPECT_GE(FirstShotShowing(24, "GameOverOOT.bmp"), 0) << "the out-of-time picture never showed";
  EXPECT_EQ(FirstShotShowing(24, "GameOverNMM.bmp"), -1);
  EXPECT_GT(FirstShotShowing(24, "hallfamepop.bmp"), FirstShotShowing(24, "GameOverOOT.bmp"));
  std::string title = Dump("title.json");
  EXPECT_EQ(JsonInt(title, "state"), 0);
  long long score = JsonInt(title, "score");
  EXPECT_GE(score, 300);
  Entry top = FirstHallOfFameEntry(title);
  EXPECT_EQ(top.text, "Ann::ann@example.org:Y");
  EXPECT_EQ(top.score, score);

  std::string file = ReadWholeFile(dir.File("game/hiscore.dat"));
  ASSERT_EQ(file.size(), 5204u);
  EXPECT_EQ(std::string(file.data() + 4), "Ann::ann@example.org:Y");
  EXPECT_FALSE(fs::exists(dir.File("game/hiscore.dat.new")));

  // A new run starts with the table from the file: its top score is on the panel.
  ASSERT_EQ(Run("wait 300\n" + DumpLine("again.json"), 1000), 0);
  EXPECT_EQ(FirstHallOfFameEntry(Dump("again.json")).score, score);
}

TEST_F(RoundEndGame, NoMoveLeftShowsItsOwnPictureAndAZeroScoreWritesNothing) {
  Setup("balloons=99\n");  // no group is ever big enough
  ASSERT_EQ(Run(Shots(12) + "wait 3000\n" + DumpLine("end.json"), 7000), 0);
  EXPECT_GE(FirstShotShowing(12, "GameOverNMM.bmp"), 0) << "the no-move picture never showed";
  EXPECT_EQ(FirstShotShowing(12, "GameOverOOT.bmp"), -1);
  EXPECT_EQ(FirstShotShowing(12, "hallfamepop.bmp"), -1);  // a zero score enters nothing
  std::string end = Dump("end.json");
  EXPECT_EQ(JsonInt(end, "endReason"), 1);
  EXPECT_EQ(JsonInt(end, "state"), 0);
  EXPECT_FALSE(fs::exists(dir.File("game/hiscore.dat")));
}

// The clicks that empty the board when single balloons pop: always the top balloon of the
// first column that has one, replayed on a copy of the board (groups burst, the balloons
// below rise), each followed by a pause long enough for its pops.
std::string ClearingClicks(std::vector<int> cells, int columns, int rows) {
  std::string script;
  auto at = [&](int c, int r) -> int& { return cells[size_t(r * columns + c)]; };
  for (;;) {
    int column = 0;
    while (column < columns && at(column, 0) < 0) ++column;
    if (column == columns) return script;
    int colour = at(column, 0), popped = 0;
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
    script += "click " + std::to_string(154 + column * 32 + 16) + " 27\nwait " +
              std::to_string(200 * popped + 400) + "\n";
  }
}

TEST_F(RoundEndGame, AClearedBoardCongratulatesUntilAClickThenEntersTheScore) {
  Setup("balloons=1\n");
  const std::string start = "wait 300\n" + DumpLine("board.json");
  ASSERT_EQ(Run(start, 1000), 0);
  std::vector<int> cells = BoardColours(Dump("board.json"));
  ASSERT_EQ(cells.size(), 18u * 14u);

  std::string script = start + ClearingClicks(cells, 18, 14) + "wait 15000\n" +
                       DumpLine("cleared.json") + ShotLine("cleared.bmp") + "wait 2000\n" +
                       DumpLine("still.json") + "wait 200\nclick 400 300\nwait 3000\n" +
                       DumpLine("after.json");
  ASSERT_EQ(Run(script, 600000), 0);

  std::string cleared = Dump("cleared.json");
  ASSERT_EQ(JsonInt(cleared, "state"), 13) << cleared.substr(0, 200);
  EXPECT_EQ(JsonInt(cleared, "endReason"), 2);
  EXPECT_GT(PictureShown("cleared.bmp", "congrats1.bmp", 264, 56), 0.9);
  EXPECT_GT(PictureShown("cleared.bmp", "congrats4.bmp", 326, 419), 0.9);
  EXPECT_EQ(FirstHallOfFameEntry(cleared).score, 0);  // nothing entered before the click
  EXPECT_EQ(JsonInt(Dump("still.json"), "state"), 13);

  std::string after = Dump("after.json");
  EXPECT_EQ(JsonInt(after, "state"), 0);
  long long score = JsonInt(after, "score");
  EXPECT_GE(score, 500000);
  EXPECT_EQ(FirstHallOfFameEntry(after).score, score);
  EXPECT_EQ(FirstHallOfFameEntry(after).text, "Player1:::Y");
  HighScoreTable saved;
  saved.Init(kHallOfFameSize);
  ASSERT_EQ(saved.Read(dir.File("game/hiscore.dat").c_str()), 1);
  EXPECT_EQ(saved.TopScore(), score);
}

}  // namespace
