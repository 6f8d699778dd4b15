// The two commands around the stored files: zorbit-options (profiles) and zorbit --scores.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "../platform/scratch_mount.h"
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

// The file's mode, owner and link stay as they were; a file that cannot be written fails.
TEST_F(StoredFileCommands, OptionsKeepTheFileAsItWasAndReportWhatCouldNotBeWritten) {
  std::filesystem::create_directory(dir.File("real"));
  WriteWholeFile(dir.File("real/options.ini"), "[Player1]\nname=Ann\n");
  ::chmod(dir.File("real/options.ini").c_str(), 0600);
  std::filesystem::create_symlink("real/options.ini", dir.File("options.ini"));
  ASSERT_EQ(Options("--player 1 --email ann@example.org"), 0) << Output();
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("options.ini")));
  struct stat info{};
  ASSERT_EQ(::stat(dir.File("real/options.ini").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
  EXPECT_EQ(EntryOf(0), "Ann::ann@example.org:Y");

  ScratchMount disk(1 << 20);
  if (!disk.ok()) GTEST_SKIP() << "mounting a tmpfs is not allowed here";
  std::filesystem::create_directory(disk / "game");
  WriteWholeFile(disk / "options.ini", "[Player1]\nname=Ann\n");
  ASSERT_TRUE(disk.MakeReadOnly());
  auto options = [&](const std::string& args) {
    std::string command = "'" + std::string(ZORBIT_BINARY_DIR) + "/zorbit-options' --data '" +
                          (disk / "game") + "' " + args + " >/dev/null 2>&1";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(options("--reset"), 1);
  EXPECT_EQ(options("--reset-all"), 1);
  EXPECT_EQ(options("--name Bo"), 1);
}

// Eight commands edit eight players at once, and two more edit other fields of player 1:
// every edit is kept.
TEST_F(StoredFileCommands, OptionsEditsMadeAtOnceAreAllKept) {
  const std::string program = "'" + std::string(ZORBIT_BINARY_DIR) + "/zorbit-options' --data '" +
                              dir.File("game") + "' ";
  std::string script = "pids=; ";
  auto start = [&](const std::string& args) {
    script += program + args + " >/dev/null 2>&1 & pids=\"$pids $!\"; ";
  };
  for (int i = 1; i <= 8; ++i) {
    const std::string n = std::to_string(i);
    start("--player " + n + " --name P" + n + " --email p" + n + "@example.org");
  }
  start("--player 1 --address Road");
  start("--player 1 --send N");
  script += "for p in $pids; do wait $p || exit 1; done";
  int status = std::system(script.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(EntryOf(0), "P1:Road:p1@example.org:N");
  for (int i = 2; i <= 8; ++i) {
    const std::string n = std::to_string(i);
    EXPECT_EQ(EntryOf(i - 1), "P" + n + "::p" + n + "@example.org:Y");
  }
}

TEST_F(StoredFileCommands, OptionsRefuseWhatTheFileCouldNotHold) {
  EXPECT_EQ(Options("--player 9"), 2);
  EXPECT_EQ(Options("--player 0"), 2);
  EXPECT_EQ(Options("--name \"$(printf 'a\\nb')\""), 2);
  EXPECT_EQ(Options("--name " + std::string(64, 'x')), 2);
  EXPECT_EQ(Options("--send maybe"), 2);
  EXPECT_EQ(Options("--bogus"), 2);
  // A colon would split the hall of fame's entry text in the wrong place.
  for (const char* field : {"--name", "--address", "--email"}) {
    EXPECT_EQ(Options(std::string(field) + " 'a:b'"), 2) << field;
    EXPECT_NE(Output().find("may not contain \":\""), std::string::npos) << Output();
  }
  // The file trims and unquotes values: such a value would not come back as given.
  EXPECT_EQ(Options("--name ' Ann'"), 2);
  EXPECT_EQ(Options("--email '\"ann@example.org\"'"), 2);
  EXPECT_FALSE(std::filesystem::exists(dir.File("options.ini")));
}

TEST_F(StoredFileCommands, OptionsHelpVersionAndTheDefaultFolder) {
  for (const char* option : {"--help", "-h"}) {
    EXPECT_EQ(Options(option), 0) << option;
    EXPECT_EQ(Output().rfind("usage: zorbit-options", 0), 0u) << Output();
  }
  EXPECT_EQ(Options("-V"), 0);
  EXPECT_EQ(Output(), "zorbit-options " ZORBIT_VERSION "\n");

  // Without --data: the options file of the installed game, above the player's folder.
  const std::string command = "cd '" + dir.path() + "' && XDG_DATA_HOME='" + dir.File("xdg") +
                              "' '" ZORBIT_BINARY_DIR "/zorbit-options' --player 3 --name Bo";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_NE(ReadWholeFile(dir.File("xdg/zorbit/options.ini")).find("[Player3]\nname=Bo\n"),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.File("options.ini")));

  // A player's folder that cannot be made is named, with why.
  const std::string proc = "XDG_DATA_HOME=/proc/self '" ZORBIT_BINARY_DIR
                           "/zorbit-options' --name Bo > '" + dir.File("out.txt") + "' 2>&1";
  EXPECT_NE(std::system(proc.c_str()), 0);
  EXPECT_NE(Output().find("the folder /proc/self/zorbit could not be made (No such file or "
                          "directory)"), std::string::npos) << Output();
}

TEST_F(StoredFileCommands, TheListKeepsItsColumnsWithAccentedNames) {
  ASSERT_EQ(Options("--player 1 --name 'Zoë Ångström' --address 'Sø 1'"), 0) << Output();
  ASSERT_EQ(Options("--player 2 --name Ann --address 'Road 1' --list"), 0) << Output();
  const std::string out = Output();
  // Each column starts at the same character on every line (characters, not bytes).
  auto column = [&](const std::string& line, const std::string& cell) {
    const size_t at = out.find(line);
    if (at == std::string::npos) return -1L;
    long shown = 0;
    for (size_t i = at; i < out.find(cell, at); ++i) shown += (out[i] & 0xC0) != 0x80;
    return shown;
  };
  EXPECT_EQ(column("  1  Zoë", "Sø 1"), column("* 2  Ann", "Road 1")) << out;
  EXPECT_EQ(column("  1  Zoë", "send"), column("* 2  Ann", "send")) << out;
  EXPECT_GT(column("* 2  Ann", "send"), 50) << out;
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
  EXPECT_EQ(out.find("replay"), std::string::npos);

  // An entry's replay is named whole, to be given to --replay from anywhere; a link whose
  // replay is gone names nothing.
  std::filesystem::create_directory(dir.File("game/replays"));
  WriteWholeFile(dir.File("game/replays/20261206-120000.replay"), "");
  WriteWholeFile(dir.File("game/replays/halloffame.links"),
                 "20261206-120000.replay 5000 Ann:1%20Road:ann@example.org:Y\n"
                 "20261206-110000.replay 300 Evil%1B[2J:::Y\n");
  ASSERT_EQ(Run(exe, "--scores"), 0);
  out = Output();
  const std::string named =
      "   1        5000  Ann  (replay: " + dir.File("game/replays/20261206-120000.replay") + ")\n";
  EXPECT_NE(out.find(named), std::string::npos) << out;
  EXPECT_NE(out.find("   2         300  Evil?[2J\n"), std::string::npos) << out;

  // A damaged file is said to be damaged, with what could be kept of it.
  std::string damaged = t.Serialize();
  damaged.resize(4 + 260 + 100);
  WriteWholeFile(dir.File("game/hiscore.dat"), damaged);
  ASSERT_EQ(Run(exe, "--scores"), 0);
  out = Output();
  EXPECT_NE(out.find("hiscore.dat is damaged"), std::string::npos) << out;
  EXPECT_NE(out.find(named), std::string::npos) << "the links outlive a damaged table\n" << out;
  EXPECT_EQ(out.find("Evil"), std::string::npos) << out;
}

}  // namespace
