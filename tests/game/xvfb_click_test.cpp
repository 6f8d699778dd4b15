// The real program in a real window under a virtual X server, clicked as a person (or a
// touchpad tap) clicks: a plain xdotool click, press and release back to back, must pop the
// group under it; Escape then ends the game with exit code 0 and the state it showed.
// Skipped where no X server or xdotool is installed.
#include <sys/wait.h>

#include "e2e_util.h"

using namespace e2e;

namespace {

// Starts an X server on a free display, the game in it, clicks at (x, y) of the window,
// waits, sends Escape. Exit status: the game's, or 90 (no window), 91 (ended before Escape),
// 92 (did not end).
constexpr const char* kScript = R"SH(
set -u
dir="$1"; exe="$2"; x="$3"; y="$4"
exec 3>"$dir/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xpid=$!
trap 'kill $xpid 2>/dev/null; wait $xpid 2>/dev/null' EXIT
for i in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$dir/display")"
cd "$dir"
# The desktop libraries behind a real window keep allocations of their own until exit;
# the game's own leaks are checked by the headless runs.
ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" SDL_AUDIODRIVER=dummy "$exe" --data game \
  --seed 4242 --dump-at-exit end.json >"$dir/game.log" 2>&1 &
gpid=$!
wid=""
for i in $(seq 150); do
  wid=$(xdotool search --name '^Zorbit' 2>/dev/null | head -1)
  [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || { kill $gpid; wait $gpid; exit 90; }
sleep 1
xdotool mousemove --window "$wid" "$x" "$y"
sleep 0.3
xdotool click 1
sleep 4
kill -0 $gpid 2>/dev/null || { wait $gpid; exit 91; }
xdotool windowfocus "$wid" 2>/dev/null
xdotool key --window "$wid" Escape
for i in $(seq 100); do kill -0 $gpid 2>/dev/null || break; sleep 0.1; done
if kill -0 $gpid 2>/dev/null; then kill $gpid; wait $gpid; exit 92; fi
wait $gpid
)SH";

using XvfbWindow = GameRun;

TEST_F(XvfbWindow, APlainClickPopsTheGroupAndEscapeEndsWithWhatWasShown) {
  if (!Installed("Xvfb") || !Installed("xdotool")) GTEST_SKIP() << "Xvfb or xdotool missing";
  const Dump start = StartBoard();  // the same seed fills the same board in the window
  ASSERT_TRUE(start.ok());
  const int cell = LargestGroupCell(start);
  const std::set<int> group = GroupAt(start, cell);
  ASSERT_GE(group.size(), 2u);

  WriteWholeFile(dir.File("run.sh"), kScript);
  const std::string command = "bash '" + dir.File("run.sh") + "' '" + dir.path() + "' '" +
                              program + "' " + CellPoint(cell % 18, cell / 18);
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0) << "90: no window, 91: ended before Escape, 92: did not end\n"
                                    << ReadWholeFile(dir.File("game.log"));
  const Dump end = Read("end.json");
  ASSERT_TRUE(end.ok()) << end.text.substr(0, 200);
  EXPECT_EQ(end.Int("score"), GroupPoints(start, group));
  EXPECT_EQ(end.Balloons(), 252 - static_cast<int>(group.size()));
}

}  // namespace
