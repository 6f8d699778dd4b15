// The two commands around the stored files: zorbit-options (profiles) and zorbit --scores.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "game/high_score_table.h"
#include "game/player_profiles.h"
#include "high_score_test_util.h"

namespace {

class StoredFileCommands : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directory(dir.File("game")); }
  // Exit code of the command run in a shell; its output goes to out.txt.
  int Run(const std::string& program, const std::string& args) {
    if (!std::filesystem::exists(program)) return -1;
    std::string command = "'" + program + "' --data '" + dir.File("game") + "' " + args + " > '" +
                          dir.File("out.txt") + "' 2>&1";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  int Options(const std::string& args) {
    return Run(std::string(ZORBIT_BINARY_DIR) + "/zorbit-options", args);
  }
  std::string Output() { return ReadWholeFile(dir.File("out.txt")); }
  std::string EntryOf(int player) {
    PlayerProfiles store;
    store.SetIniPath(dir.File("options.ini").c_str());
    char text[kEntryTextSize];
    store.EntryText(player, text);
    return text;
  }

  ScratchDir dir;
};

TEST_F(StoredFileCommands, OptionsChooseThePlayerAndEditTheProfileTheGameReads) {
  ASSERT_EQ(Options("--player 2 --name Ann --email ann@example.org"), 0) << Output();
  PlayerProfiles store;
  store.SetIniPath(dir.File("options.ini").c_str());
  EXPECT_EQ(store.ReadPlayerId(), 1);  // shown as player 2
  EXPECT_EQ(EntryOf(1), "Ann::ann@example.org:Y");

  // Without --player the edits go to the current player; other fields stay.
  ASSERT_EQ(Options("--address '1 Road' --send N --list"), 0);
  EXPECT_EQ(EntryOf(1), "Ann:1 Road:ann@example.org:N");
  EXPECT_NE(Output().find("* 2  Ann"), std::string::npos) << Output();

  ASSERT_EQ(Options("--reset"), 0);
  EXPECT_EQ(EntryOf(1), "Player2:::Y");
}

TEST_F(StoredFileCommands, OptionsRefuseWhatTheFileCouldNotHold) {
  EXPECT_EQ(Options("--player 9"), 2);
  EXPECT_EQ(Options("--player 0"), 2);
  EXPECT_EQ(Options("--name \"$(printf 'a\\nb')\""), 2);
  EXPECT_EQ(Options("--name " + std::string(64, 'x')), 2);
  EXPECT_EQ(Options("--send maybe"), 2);
  EXPECT_EQ(Options("--bogus"), 2);
  EXPECT_FALSE(std::filesystem::exists(dir.File("options.ini")));
}

TEST_F(StoredFileCommands, ScoresListTheFilledRecordsHarmlessly) {
  const char* exe = std::getenv("ZORBIT_EXE");
  if (!exe) GTEST_SKIP() << "needs the program";
  EXPECT_EQ(Run(exe, "--scores"), 1);  // no file yet
  HighScoreTable t;
  t.Init(kHallOfFameSize);
  t.Insert("Ann:1 Road:ann@example.org:Y", 5000);
  t.Insert("Evil\x1b[2J:::Y", 300);
  ASSERT_EQ(t.Write(dir.File("game/hiscore.dat").c_str()), 1);
  ASSERT_EQ(Run(exe, "--scores"), 0);
  std::string out = Output();
  EXPECT_NE(out.find("   1        5000  Ann\n"), std::string::npos) << out;
  EXPECT_NE(out.find("   2         300  Evil?[2J\n"), std::string::npos) << out;
  EXPECT_EQ(out.find("ann@example.org"), std::string::npos);  // only the names are listed
  EXPECT_EQ(out.find("   3 "), std::string::npos);            // empty records are not

  // A damaged file is said to be damaged, with what could be kept of it.
  std::string damaged = t.Serialize();
  damaged.resize(4 + 260 + 100);
  WriteWholeFile(dir.File("game/hiscore.dat"), damaged);
  ASSERT_EQ(Run(exe, "--scores"), 0);
  out = Output();
  EXPECT_NE(out.find("hiscore.dat is damaged"), std::string::npos) << out;
  EXPECT_NE(out.find("   1        5000  Ann\n"), std::string::npos) << out;
  EXPECT_EQ(out.find("Evil"), std::string::npos) << out;
}

}  // namespace
