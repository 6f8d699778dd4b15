// A round played live in a real window under a virtual X server, recorded with --record:
// a click on a group, a right-click blow and a cloud. Replayed headless at full speed, it
// must end on the same board, score and clock, and the window run must also have been kept
// in the player's replays/ folder; replayed in the window, paused and sped up, the same.
// Skipped where no X server or xdotool is installed.
#include <sys/wait.h>

#include "e2e_util.h"

using namespace e2e;

namespace {

// Exit status: the game's, or 90 (no window), 91 (ended before Escape), 92 (did not end).
constexpr const char* kScript = R"SH(
set -u
dir="$1"; exe="$2"; gx="$3"; gy="$4"; rx="$5"; ry="$6"
exec 3>"$dir/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xpid=$!
trap 'kill $xpid 2>/dev/null; wait $xpid 2>/dev/null' EXIT
for i in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$dir/display")"
cd "$dir"
ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" SDL_AUDIODRIVER=dummy "$exe" --data game \
  --seed 4242 --record live.replay --dump-at-exit live.json >"$dir/game.log" 2>&1 &
gpid=$!
wid=""
for i in $(seq 150); do
  wid=$(xdotool search --name '^Zorbit' 2>/dev/null | head -1)
  [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || { kill $gpid; wait $gpid; exit 90; }
sleep 1
xdotool mousemove --window "$wid" "$gx" "$gy"; sleep 0.2; xdotool click 1; sleep 2.5
xdotool mousemove --window "$wid" "$rx" "$ry"; sleep 0.2; xdotool click 3; sleep 1
xdotool mousemove --window "$wid" 118 544; sleep 0.2; xdotool click 1; sleep 1.5
kill -0 $gpid 2>/dev/null || { wait $gpid; exit 91; }
xdotool windowfocus "$wid" 2>/dev/null
xdotool key --window "$wid" Escape
for i in $(seq 100); do kill -0 $gpid 2>/dev/null || break; sleep 0.1; done
if kill -0 $gpid 2>/dev/null; then kill $gpid; wait $gpid; exit 92; fi
wait $gpid
)SH";

// The recording played again in a window. The player pauses it, clicks the group, blows a
// cloud and presses keys of the game while paused; the replay must still be running well
// past its recording's length, then, sped up, end on its recorded board. Played once more,
// Escape stops it, which is no fault. Exit status: the game's (the first that failed), or 90
// (no window), 93 (ended although paused), 92 (did not end).
constexpr const char* kPlayScript = R"SH(
set -u
dir="$1"; exe="$2"; gx="$3"; gy="$4"; rx="$5"; ry="$6"
exec 3>"$dir/display2"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xpid=$!
trap 'kill $xpid 2>/dev/null; wait $xpid 2>/dev/null' EXIT
for i in $(seq 100); do [ -s "$dir/display2" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$dir/display2")"
cd "$dir"
ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" SDL_AUDIODRIVER=dummy "$exe" --data game \
  --replay live.replay --dump-at-exit played.json >"$dir/played.log" 2>&1 &
gpid=$!
wid=""
for i in $(seq 150); do
  wid=$(xdotool search --name '^Zorbit' 2>/dev/null | head -1)
  [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || { kill $gpid; wait $gpid; exit 90; }
xdotool windowfocus "$wid" 2>/dev/null
xdotool key --window "$wid" space; sleep 0.5
xdotool mousemove --window "$wid" "$gx" "$gy"; sleep 0.2; xdotool click 1; sleep 0.3
xdotool mousemove --window "$wid" "$rx" "$ry"; sleep 0.2; xdotool click 3; sleep 0.3
xdotool mousemove --window "$wid" 118 544; sleep 0.2; xdotool click 1
xdotool key --window "$wid" m s Return F2; sleep 8
kill -0 $gpid 2>/dev/null || { wait $gpid; exit 93; }
xdotool key --window "$wid" p Right Up Right Up
for i in $(seq 300); do kill -0 $gpid 2>/dev/null || break; sleep 0.1; done
if kill -0 $gpid 2>/dev/null; then kill $gpid; wait $gpid; exit 92; fi
wait $gpid || exit $?
# Once more, stopped by the player with Escape: not a drift.
ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" SDL_AUDIODRIVER=dummy "$exe" --data game \
  --replay live.replay >"$dir/stopped.log" 2>&1 &
gpid=$!
for i in $(seq 150); do
  wid=$(xdotool search --name '^Zorbit' 2>/dev/null | head -1)
  [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || { kill $gpid; wait $gpid; exit 90; }
sleep 0.5
xdotool windowfocus "$wid" 2>/dev/null
xdotool key --window "$wid" Escape
for i in $(seq 100); do kill -0 $gpid 2>/dev/null || break; sleep 0.1; done
if kill -0 $gpid 2>/dev/null; then kill $gpid; wait $gpid; exit 92; fi
wait $gpid
)SH";

using XvfbReplay = GameRun;

TEST_F(XvfbReplay, AWindowRoundReplaysHeadlessToTheSameBoardAndScore) {
  if (!Installed("Xvfb") || !Installed("xdotool")) GTEST_SKIP() << "Xvfb or xdotool missing";
  const Dump start = StartBoard();
  ASSERT_TRUE(start.ok());
  const int cell = LargestGroupCell(start);

  WriteWholeFile(dir.File("run.sh"), kScript);
  const std::string command = "bash '" + dir.File("run.sh") + "' '" + dir.path() + "' '" +
                              program + "' " + CellPoint(cell % 18, cell / 18) + " " +
                              CellPoint(9, 12);
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0) << "90: no window, 91: ended before Escape, 92: did not end\n"
                                    << ReadWholeFile(dir.File("game.log"));
  const Dump live = Read("live.json");
  ASSERT_TRUE(live.ok());
  ASSERT_GT(live.Int("score"), 0) << "the click popped nothing";

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
  WriteWholeFile(dir.File("play.sh"), kPlayScript);
  const std::string play = "bash '" + dir.File("play.sh") + "' '" + dir.path() + "' '" +
                           program + "' " + CellPoint(cell % 18, cell / 18) + " " +
                           CellPoint(9, 12);
  const int played = std::system(play.c_str());
  ASSERT_TRUE(WIFEXITED(played));
  const std::string log = ReadWholeFile(dir.File("played.log"));
  ASSERT_EQ(WEXITSTATUS(played), 0) << "90: no window, 93: ended while paused, 92: did not end\n"
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
