// The hall of fame must survive the game being killed in the middle of saving it: a child
// process rewrites the file in a loop and is killed at random moments; every time, the file
// left behind must be one whole table, the old one or the new one.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "game/high_score_table.h"
#include "test_support.h"

namespace {

HighScoreTable Table(int32_t base) {
  HighScoreTable t;
  t.Init(kHallOfFameSize);
  for (int i = 0; i < kHallOfFameSize; ++i)
    t.Insert(("player " + std::to_string(base + i) + ":addr:mail:Y").c_str(), base + i);
  return t;
}

TEST(HighScoreKill, AKilledWriterLeavesAWholeOldOrNewTable) {
  ScratchDir dir;
  std::string path = dir.File("hiscore.dat");
  const std::string a = Table(1000).Serialize();
  const std::string b = Table(5000).Serialize();
  ASSERT_EQ(Table(1000).Write(path.c_str()), 1);

  std::mt19937 random(12345);
  std::uniform_int_distribution<int> delayUs(0, 40000);
  HighScoreTable tables[2] = {Table(1000), Table(5000)};  // built before forking
  int sawA = 0, sawB = 0;
  constexpr int kRounds = 60;
  for (int round = 0; round < kRounds; ++round) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) tables[i % 2].Write(path.c_str());
    }
    std::this_thread::sleep_for(std::chrono::microseconds(3000 + delayUs(random)));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));

    std::string now = ReadWholeFile(path);
    ASSERT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
    (now == a ? sawA : sawB)++;
    HighScoreTable back;
    back.Init(kHallOfFameSize);
    ASSERT_EQ(back.Read(path.c_str()), 1);
  }
  // Both tables were caught at some point, so the kills did land during the writes.
  EXPECT_GT(sawA, 0);
  EXPECT_GT(sawB, 0);
  // The temporary files of the killed writers go with the next write.
  ASSERT_EQ(tables[0].Write(path.c_str()), 1);
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    names.push_back(entry.path().filename());
  EXPECT_EQ(names, std::vector<std::string>{"hiscore.dat"});
}

}  // namespace
