// A headless recording played again: the same board, score and hall of fame, the player's
// own hiscore.dat untouched by the replay, and a recording tampered with says where the
// replay left it.
#include <sys/wait.h>

#include "e2e_util.h"

using namespace e2e;

namespace {

using ReplayGame = GameRun;

int ExitCode(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Recordings kept from earlier builds play back step for step: the way the program paces
// itself and wakes may change, the steps it shows a recording may not. One (seed 3: two pops
// and a blown row, then the clock's seconds) comes from before the timer lost its thread;
// the other (seed 5: a pop, the focus lost for 2.5 s, a pop) from before a lost focus paused.
TEST_F(ReplayGame, RecordingsFromEarlierBuildsStillPlayBackExactly) {
  for (const char* name : {"recorded_before_idle", "focus_lost_before_pause"}) {
    SCOPED_TRACE(name);
    const std::string kept =
        std::string(ZORBIT_SOURCE_DIR) + "/tests/game/data/" + name + ".replay";
    ASSERT_EQ(ExitCode("cd '" + dir.path() + "' && '" + program + "' --headless --data game" +
                       " --replay '" + kept + "' > replayed.txt 2>&1"),
              0)
        << ReadWholeFile(dir.File("replayed.txt"));
    EXPECT_NE(ReadWholeFile(dir.File("replayed.txt")).find("matched its recording to the end"),
              std::string::npos);
  }
}

TEST_F(ReplayGame, ARoundReplaysExactlyWritesNoHallOfFameAndADriftSaysWhere) {
  const Dump start = StartBoard();
  ASSERT_TRUE(start.ok());
  const int cell = LargestGroupCell(start);
  // Out of time after 6 s: the score enters the hall of fame.
  Setup("gametime=6\n");
  ASSERT_EQ(Run("wait 300\nclick " + CellPoint(cell % 18, cell / 18) + "\nwait 9000\n", 20000,
                "--record live.replay --dump-at-exit live.json"),
            0);
  const Dump live = Read("live.json");
  ASSERT_GT(live.TopScore(), 0) << "the round did not enter the hall of fame";
  const std::string table = ReadWholeFile(dir.File("game/hiscore.dat"));

  auto replay = [&](const std::string& file) {
    return ExitCode("cd '" + dir.path() + "' && '" + program +
                    "' --headless --data game --replay " + file +
                    " --dump-at-exit replayed.json > replayed.txt 2>&1");
  };
  ASSERT_EQ(replay("live.replay"), 0) << ReadWholeFile(dir.File("replayed.txt"));
  const Dump replayed = Read("replayed.json");
  EXPECT_EQ(replayed.cells, live.cells);
  EXPECT_EQ(replayed.Int("score"), live.Int("score"));
  EXPECT_EQ(replayed.TopText(), live.TopText());
  EXPECT_EQ(replayed.TopScore(), live.TopScore());
  // It played on a copy of the table as the recording found it; the player's stays as is
  // (entered twice otherwise).
  EXPECT_EQ(ReadWholeFile(dir.File("game/hiscore.dat")), table);

  // Without the click the board differs from the first check on.
  std::string text = ReadWholeFile(dir.File("live.replay")), tampered;
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find('\n', at) + 1;
    const std::string line = text.substr(at, end - at);
    if (line.find(" press ") == std::string::npos && line.find(" release ") == std::string::npos)
      tampered += line;
    at = end;
  }
  ASSERT_NE(tampered.size(), text.size());
  WriteWholeFile(dir.File("tampered.replay"), tampered);
  EXPECT_EQ(replay("tampered.replay"), 4);
  const std::string said = ReadWholeFile(dir.File("replayed.txt"));
  EXPECT_NE(said.find("the replay drifted from its recording at tick "), std::string::npos) << said;
  EXPECT_EQ(ReadWholeFile(dir.File("game/hiscore.dat")), table);
}

// A recording is written as the run goes: one whose run was killed plays to where it stops.
// A replay that cannot have a private hall of fame refuses to play, whatever TMPDIR is.
TEST_F(ReplayGame, ACutOffRecordingPlaysToItsEndAndNoSandboxNoReplay) {
  Setup("gametime=6\n");
  ASSERT_EQ(Run("wait 300\nclick 300 300\nwait 9000\n", 20000, "--record live.replay"), 0);
  const std::string table = ReadWholeFile(dir.File("game/hiscore.dat"));
  const std::string text = ReadWholeFile(dir.File("live.replay"));
  const size_t end = text.rfind(" end ");
  ASSERT_NE(end, std::string::npos);
  const size_t cut = text.rfind('\n', text.rfind('\n', end) - 1) + 1;
  WriteWholeFile(dir.File("cut.replay"), text.substr(0, cut) + "123");  // killed mid-line

  auto replay = [&](const std::string& env, const std::string& file) {
    return ExitCode("cd '" + dir.path() + "' && " + env + " '" + program +
                    "' --headless --data game --replay " + file + " > replayed.txt 2>&1");
  };
  EXPECT_EQ(replay("", "cut.replay"), 0) << ReadWholeFile(dir.File("replayed.txt"));
  EXPECT_NE(ReadWholeFile(dir.File("replayed.txt")).find("the recording was cut off at tick"),
            std::string::npos);
  for (const char* tmp : {"TMPDIR=/nonexistent", "TMPDIR=live.replay"}) {
    EXPECT_EQ(replay(tmp, "live.replay"), 2) << tmp;
    EXPECT_NE(ReadWholeFile(dir.File("replayed.txt")).find("cannot play the replay: its private"),
              std::string::npos)
        << ReadWholeFile(dir.File("replayed.txt"));
  }
  EXPECT_EQ(ReadWholeFile(dir.File("game/hiscore.dat")), table);
}

}  // namespace
