// A round played live in a real window under a virtual X server, recorded with --record:
// a plain click on a group, a right-click blow and a cloud. Replayed headless at full speed, it
// must end on the same board, score and clock, and the window run must also have been kept
// in the player's replays/ folder; replayed in the window, paused and sped up, the same.
// Skipped where no X server or xdotool is installed.
#include <sys/wait.h>

#include "e2e_util.h"

using namespace e2e;

namespace {

// Live: a click on the group at ($1, $2), a right click on the row at ($3, $4), the left
// cloud of the bottom row, then Escape.
constexpr const char* kLive = R"SH(
game game.log --seed 4242 --record live.replay --dump-at-exit live.json
sleep 1
xdotool mousemove --window "$wid" "$1" "$2"; sleep 0.2; xdotool click 1; sleep 2.5
xdotool mousemove --window "$wid" "$3" "$4"; sleep 0.2; xdotool click 3; sleep 1
xdotool mousemove --window "$wid" 118 544; sleep 0.2; xdotool click 1; sleep 1.5
escape
ends
)SH";

// The recording played again in a window. The player pauses it, clicks the group, blows a
// cloud and presses keys of the game while paused; the replay must still be running well
// past its recording's length, then, sped up, end on its recorded board. Played once more,
// Escape stops it, which is no fault. Exit status 93: it ended although paused.
constexpr const char* kPlayBack = R"SH(
game played.log --replay live.replay --dump-at-exit played.json
xdotool windowfocus "$wid" 2>/dev/null
xdotool key --window "$wid" space; sleep 0.5
xdotool mousemove --window "$wid" "$1" "$2"; sleep 0.2; xdotool click 1; sleep 0.3
xdotool mousemove --window "$wid" "$3" "$4"; sleep 0.2; xdotool click 3; sleep 0.3
xdotool mousemove --window "$wid" 118 544; sleep 0.2; xdotool click 1
xdotool key --window "$wid" m s Return F2; sleep 8
kill -0 $gpid 2>/dev/null || { wait $gpid; exit 93; }
xdotool key --window "$wid" p Right Up Right Up
ends 300 || exit $?
# Once more, stopped by the player with Escape: not a drift.
game stopped.log --replay live.replay
sleep 0.5
escape
ends
)SH";

using XvfbReplay = GameRun;

TEST_F(XvfbReplay, AWindowRoundReplaysHeadlessToTheSameBoardAndScore) {
  if (!Installed("Xvfb") || !Installed("xdotool")) GTEST_SKIP() << "Xvfb or xdotool missing";
  const Dump start = StartBoard();
  ASSERT_TRUE(start.ok());
  const int cell = LargestGroupCell(start);

  const std::string points = CellPoint(cell % 18, cell / 18) + " " + CellPoint(9, 12);
  const int status = RunInXvfb(kLive, points);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0) << "90: no window, 91: ended before Escape, 92: did not end\n"
                                    << ReadWholeFile(dir.File("game.log"));
  const Dump live = Read("live.json");
  ASSERT_TRUE(live.ok());
  // A plain xdotool click (press and release back to back, as a touchpad taps) pops the
  // group; the blows after it move balloons and pay nothing.
  const std::set<int> group = GroupAt(start, cell);
  EXPECT_EQ(live.Int("score"), GroupPoints(start, group)) << "the click popped nothing";
  EXPECT_EQ(live.Balloons(), 252 - static_cast<int>(group.size()));

  const std::string replay = "cd '" + dir.path() + "' && '" + program +
                             "' --headless --data game --replay live.replay"
                             " --dump-at-exit replayed.json > replayed.txt 2>&1";
  ASSERT_EQ(std::system(replay.c_str()), 0) << ReadWholeFile(dir.File("replayed.txt"));
  const Dump replayed = Read("replayed.json");
  EXPECT_EQ(replayed.cells, live.cells);
  EXPECT_EQ(replayed.Int("score"), live.Int("score"));
  EXPECT_EQ(replayed.Int("clockSeconds"), live.Int("clockSeconds"));
  EXPECT_EQ(replayed.Int("ticks"), live.Int("ticks"));

  // In the window the player's own input only steers the playback.
  const int played = RunInXvfb(kPlayBack, points);
  ASSERT_TRUE(WIFEXITED(played));
  const std::string log = ReadWholeFile(dir.File("played.log"));
  ASSERT_EQ(WEXITSTATUS(played), 0) << "90: no window, 91: ended before Escape, 93: ended while paused, 92: did not end\n"
                                    << log << ReadWholeFile(dir.File("stopped.log"));
  EXPECT_NE(log.find("the replay matched its recording to the end"), std::string::npos) << log;
  const Dump shown = Read("played.json");
  EXPECT_EQ(shown.cells, live.cells);
  EXPECT_EQ(shown.Int("score"), live.Int("score"));
  const std::string stopped = ReadWholeFile(dir.File("stopped.log"));
  EXPECT_NE(stopped.find("the replay was stopped at tick "), std::string::npos) << stopped;

  int kept = 0;
  for (const auto& entry : fs::directory_iterator(dir.File("game/replays")))
    kept += entry.path().extension() == ".replay";
  EXPECT_EQ(kept, 1) << "the window run is kept in replays/, no replay is";
}

}  // namespace
