// The pause: P and a lost focus stop the round's clock behind a page that hides
// the board; any key or click goes on, and the key that did is used up.
#include "e2e_util.h"

using namespace e2e;

namespace {

using Pause = GameRun;

TEST_F(Pause, TheClockStopsBehindThePageUntilAKeyOrClick) {
  ASSERT_EQ(Run("wait 300\nkey p\nwait 5000\nscreenshot paused.bmp\ndump paused.json\n"
                "key escape\nwait 300\nscreenshot playing.bmp\ndump playing.json\n"
                "deactivate\nwait 5000\nactivate\nwait 1000\nscreenshot focus.bmp\n"
                "dump focus.json\nclick 400 300\nwait 300\ndump clicked.json\n"
                "key m\nwait 1500\ndump end.json\n",
                60000, "--record run.replay"),
            0)
      << ReadWholeFile(dir.File("out.txt"));
  const Dump paused = Read("paused.json");
  EXPECT_EQ(paused.Int("clockSeconds"), 200);
  EXPECT_EQ(paused.Int("clockRunning"), 0);
  EXPECT_GT(PictureShown("paused.bmp", "paused.bmp", 148, 1), 0.99);
  // Escape went on instead of quitting; the board is back and the clock runs.
  const Dump playing = Read("playing.json");
  EXPECT_EQ(playing.Int("clockRunning"), 1);
  EXPECT_LT(PictureShown("playing.bmp", "paused.bmp", 148, 1), 0.5);
  EXPECT_EQ(playing.cells, paused.cells);
  // A lost focus pauses as well; the click that goes on pops nothing.
  const Dump focus = Read("focus.json"), clicked = Read("clicked.json");
  EXPECT_EQ(focus.Int("clockRunning"), 0);
  EXPECT_GE(focus.Int("clockSeconds"), playing.Int("clockSeconds") - 1);
  EXPECT_GT(PictureShown("focus.bmp", "paused.bmp", 148, 1), 0.99);
  EXPECT_EQ(clicked.Int("clockRunning"), 1);
  EXPECT_EQ(clicked.cells, focus.cells);
  EXPECT_EQ(clicked.Int("score"), 0);
  // A recording with pauses replays exactly.
  const std::string command = "cd '" + dir.path() + "' && '" + program +
                              "' --headless --data game --replay run.replay > replayed.txt 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0);
  EXPECT_NE(ReadWholeFile(dir.File("replayed.txt")).find("matched its recording to the end"),
            std::string::npos)
      << ReadWholeFile(dir.File("replayed.txt"));
}

}  // namespace
