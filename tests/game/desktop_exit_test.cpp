// Every way out of the program ends the run as a quit does: a quit posted to the loop, a
// quit signal, no display at all, the display going away under the game.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "e2e_util.h"

using namespace e2e;

namespace {

using DesktopExit = GameRun;

// Starts the program from the scratch folder with its output in out.txt; its process id.
pid_t Start(const std::string& folder, std::vector<std::string> args,
            std::vector<std::string> environment) {
  std::vector<char*> argv, envp;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    bool replaced = false;
    for (const std::string& mine : environment)
      replaced = replaced || entry.compare(0, mine.find('=') + 1, mine, 0, mine.find('=') + 1) == 0;
    if (!replaced) envp.push_back(*e);
  }
  for (std::string& e : environment)
    if (e.back() != '=') envp.push_back(e.data());  // "NAME=": unset
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  posix_spawn_file_actions_addopen(&actions, 1, "out.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t child = -1;
  if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) child = -1;
  posix_spawn_file_actions_destroy(&actions);
  return child;
}

// Waits up to seconds for the child; its status, or -1 (then it is killed).
int Wait(pid_t child, int seconds) {
  int status = 0;
  for (int i = 0; i < seconds * 20; ++i) {
    if (waitpid(child, &status, WNOHANG) == child) return status;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  kill(child, SIGKILL);
  waitpid(child, &status, 0);
  return -1;
}

bool Empty(const std::string& folder) { return fs::is_empty(folder); }

}  // namespace

// The game's loop ends on a posted quit without its window being destroyed: the music it
// left playing is closed by the end of the run before anything of the program goes (under
// AddressSanitizer, it was freed with the mixer already gone).
TEST_F(DesktopExit, AQuitPostedInAReplayEndsItCleanly) {
  ASSERT_EQ(Run("wait 2000\nclose\n", 10000, "--record live.replay"), 0);
  std::string text = ReadWholeFile(dir.File("live.replay"));
  const size_t close = text.find(" close\n");
  ASSERT_NE(close, std::string::npos);
  text.replace(close, 7, " post 18 0 0\n");
  WriteWholeFile(dir.File("posted.replay"), text);
  const std::string command = "cd '" + dir.path() + "' && '" + program +
                              "' --headless --data game --replay posted.replay > out.txt 2>&1";
  const int status = std::system(command.c_str());
  const std::string out = ReadWholeFile(dir.File("out.txt"));
  ASSERT_TRUE(WIFEXITED(status)) << out;
  EXPECT_NE(WEXITSTATUS(status), 1) << out;  // 0, or 4 if the end is judged a drift
  EXPECT_EQ(out.find("Sanitizer"), std::string::npos) << out;
}

// A replay stopped by a signal ends as one stopped by the player: its private folder in
// TMPDIR is removed and it says how far it went.
TEST_F(DesktopExit, QuitSignalsStopAReplayThroughItsEnd) {
  ASSERT_EQ(Run("wait 590000\n", 600000, "--record long.replay"), 0);
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(strsignal(sig));
    const std::string tmp = dir.File("tmp" + std::to_string(sig));
    fs::create_directory(tmp);
    const pid_t child = Start(dir.path(), {program, "--headless", "--data", "game", "--replay",
                                           "long.replay"}, {"TMPDIR=" + tmp});
    ASSERT_GT(child, 0);
    // Signalled once it plays (its folder is made after the signals are taken over).
    for (int i = 0; i < 200 && Empty(tmp); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    kill(child, sig);
    const int status = Wait(child, 30);
    const std::string out = ReadWholeFile(dir.File("out.txt"));
    ASSERT_TRUE(WIFEXITED(status)) << status << out;
    EXPECT_EQ(WEXITSTATUS(status), 0) << out;
    EXPECT_NE(out.find("the replay was stopped at tick"), std::string::npos) << out;
    EXPECT_TRUE(Empty(tmp));
  }
}

// With no display at all the game says so and ends at once.
TEST_F(DesktopExit, WithoutADisplayTheGameEndsAtOnce) {
  const pid_t child = Start(dir.path(), {program, "--data", "game"},
                            {"DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER=", "SDL_AUDIODRIVER=dummy"});
  ASSERT_GT(child, 0);
  const int status = Wait(child, 20);
  const std::string out = ReadWholeFile(dir.File("out.txt"));
  ASSERT_TRUE(WIFEXITED(status)) << "never ended\n" << out;
  EXPECT_EQ(WEXITSTATUS(status), 1) << out;
  EXPECT_NE(out.find("The display could not be started"), std::string::npos) << out;
}

// The X server killed under a game in a window, with each kind of audio device and none:
// the game ends with status 1 and one line, its recording kept. Exit 80 + the run: it did
// not end; 90: no window.
constexpr const char* kDisplayLost = R"SH(
set -u
dir="$1"; exe="$2"; cd "$dir"
run=0
for driver in dummy disk none dummy disk none; do
  run=$((run + 1))
  display=$(mktemp "$dir/display.XXXXXX")
  exec 3>"$display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xpid=$!
  for i in $(seq 100); do [ -s "$display" ] && break; sleep 0.1; done
  exec 3>&-
  ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" SDL_AUDIODRIVER=$driver \
    SDL_DISKAUDIOFILE=/dev/null DISPLAY=":$(head -1 "$display")" \
    "$exe" --data game --record "lost$run.replay" >"lost$run.log" 2>&1 &
  gpid=$!
  wid=""
  for i in $(seq 300); do
    wid=$(DISPLAY=":$(head -1 "$display")" xdotool search --name '^Zorbit' 2>/dev/null | head -1)
    [ -n "$wid" ] && break
    sleep 0.1
  done
  [ -n "$wid" ] || { kill -9 $gpid $xpid; exit 90; }
  sleep "$((run % 3)).5"
  kill -9 $xpid; wait $xpid 2>/dev/null
  for i in $(seq 100); do kill -0 $gpid 2>/dev/null || break; sleep 0.1; done
  if kill -0 $gpid 2>/dev/null; then kill -9 $gpid; wait $gpid; exit $((80 + run)); fi
  wait $gpid
  echo "$?" >"lost$run.status"
done
)SH";

TEST_F(DesktopExit, ALostDisplayEndsTheRunWithWhatItOwes) {
  if (!Installed("Xvfb") || !Installed("xdotool")) GTEST_SKIP() << "Xvfb or xdotool missing";
  WriteWholeFile(dir.File("lost.sh"), kDisplayLost);
  const std::string command = "bash '" + dir.File("lost.sh") + "' '" + dir.path() + "' '" +
                              program + "'";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0) << "80 + n: run n never ended, 90: no window";
  for (int run = 1; run <= 6; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    const std::string log = ReadWholeFile(dir.File("lost" + std::to_string(run) + ".log"));
    EXPECT_EQ(ReadWholeFile(dir.File("lost" + std::to_string(run) + ".status")), "1\n") << log;
    EXPECT_NE(log.find("zorbit: the connection to the display was lost"), std::string::npos)
        << log;
    const std::string replay = ReadWholeFile(dir.File("lost" + std::to_string(run) + ".replay"));
    EXPECT_NE(replay.find(" end "), std::string::npos) << "no whole recording";
  }
}
