// The real program in a real window under a virtual X server, clicked as a person (or a
// touchpad tap) clicks: a plain xdotool click, press and release back to back, must pop the
// group under it; Escape then ends the game with exit code 0 and the state it showed.
// Skipped where no X server or xdotool is installed.
#include <sys/wait.h>

#include "e2e_util.h"

using namespace e2e;

namespace {

// In the window: a click at (x, y) of the window, a wait, then Escape.
constexpr const char* kClick = R"SH(
game game.log --seed 4242 --dump-at-exit end.json
sleep 1
xdotool mousemove --window "$wid" "$1" "$2"
sleep 0.3
xdotool click 1
sleep 4
escape
ends
)SH";

using XvfbWindow = GameRun;

TEST_F(XvfbWindow, APlainClickPopsTheGroupAndEscapeEndsWithWhatWasShown) {
  if (!Installed("Xvfb") || !Installed("xdotool")) GTEST_SKIP() << "Xvfb or xdotool missing";
  const Dump start = StartBoard();  // the same seed fills the same board in the window
  ASSERT_TRUE(start.ok());
  const int cell = LargestGroupCell(start);
  const std::set<int> group = GroupAt(start, cell);
  ASSERT_GE(group.size(), 2u);

  const int status = RunInXvfb(kClick, CellPoint(cell % 18, cell / 18));
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0) << "90: no window, 91: ended before Escape, 92: did not end\n"
                                    << ReadWholeFile(dir.File("game.log"));
  const Dump end = Read("end.json");
  ASSERT_TRUE(end.ok()) << end.text.substr(0, 200);
  EXPECT_EQ(end.Int("score"), GroupPoints(start, group));
  EXPECT_EQ(end.Balloons(), 252 - static_cast<int>(group.size()));
}

}  // namespace
