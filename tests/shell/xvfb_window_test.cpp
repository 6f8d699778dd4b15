// The real program in a real window under a virtual X server: a click, then Escape, must
// end it with exit code 0. Skipped where no X server or xdotool is installed.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "shell_test_util.h"

namespace {

bool Installed(const char* tool) {
  std::string command = std::string("command -v ") + tool + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

// Starts an X server on a free display, the game in it, clicks, waits, sends Escape.
// Exit status: the game's, or 90 (no window), 91 (ended before Escape), 92 (did not end).
constexpr const char* kScript = R"SH(
set -u
dir="$1"; exe="$2"; data="$3"
exec 3>"$dir/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xpid=$!
trap 'kill $xpid 2>/dev/null; wait $xpid 2>/dev/null' EXIT
for i in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$dir/display")"
# The desktop libraries behind a real window keep allocations of their own until exit;
# the game's own leaks are checked by the headless runs.
ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" "$exe" --data "$data" >"$dir/game.log" 2>&1 &
gpid=$!
wid=""
for i in $(seq 150); do
  wid=$(xdotool search --name '^Zorbit' 2>/dev/null | head -1)
  [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || { kill $gpid; wait $gpid; exit 90; }
xdotool mousemove --window "$wid" 400 300 click 1
sleep 1
kill -0 $gpid 2>/dev/null || { wait $gpid; exit 91; }
xdotool windowfocus "$wid" 2>/dev/null
xdotool key --window "$wid" Escape
for i in $(seq 100); do kill -0 $gpid 2>/dev/null || break; sleep 0.1; done
if kill -0 $gpid 2>/dev/null; then kill $gpid; wait $gpid; exit 92; fi
wait $gpid
)SH";

TEST(XvfbWindow, ClickThenEscapeEndsTheGameWithCodeZero) {
  if (!Installed("Xvfb") || !Installed("xdotool")) GTEST_SKIP() << "Xvfb or xdotool missing";
  const char* exe = std::getenv("ZORBIT_EXE");
  if (!exe || !std::filesystem::exists(exe)) GTEST_SKIP() << "ZORBIT_EXE not set";

  shelltest::ScratchDir dir;
  std::filesystem::path data = std::filesystem::path(ZORBIT_BINARY_DIR) / "game";
  if (!std::filesystem::exists(data / "background.bmp")) {
    data = dir.path() / "data";
    std::filesystem::create_directories(data);
  }
  shelltest::WriteText(dir.path() / "run.sh", kScript);
  std::string command = "bash '" + (dir.path() / "run.sh").string() + "' '" +
                        dir.path().string() + "' '" + exe + "' '" + data.string() + "'";
  int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "90: no window, 91: ended before Escape, 92: did not end";
}

}  // namespace
