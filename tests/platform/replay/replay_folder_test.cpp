// The player's replays/ folder: the newest 20 runs stay, and so does every replay linked to
// a hall-of-fame entry that still stands; a table that cannot be read never costs a replay.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/files/paths.h"
#include "platform/replay/replay.h"
#include "platform/replay/replay_folder.h"
#include "test_folder.h"

namespace {

namespace fs = std::filesystem;

struct Scene {
  TempFolder dir;
  std::string replays = dir / "player/replays";

  Scene() {
    SetFileFolders(dir / "player", dir / "data");
    fs::create_directories(dir / "data");
    // 21 runs of 2020, the oldest three in one second, and two files of the player's own.
    for (const char* n : {"000001", "000001-2", "000001-10"}) Add(std::string("20200101-") + n);
    for (int s = 2; s <= 19; ++s)
      Add("20200101-0000" + std::string(s < 10 ? "0" : "") + std::to_string(s));
    dir.Write("player/replays/mine.replay", "kept by hand");
    dir.Write("player/replays/notes.txt", "");
    dir.Write("player/replays/halloffame.links",
              "20200101-000001.replay 5000 Ann%20Lee:::Y\n"  // still stands
              "20200101-000001-2.replay 4000 Bob:::Y\n"      // fell out of the table
              "20190101-000000.replay 3000 Cy:::Y\n");       // its replay is gone
  }
  ~Scene() {
    RegisterHallOfFameEntries(nullptr);
    ClearFileFolders();
  }
  void Add(const std::string& stamp) { dir.Write("player/replays/" + stamp + ".replay", stamp); }
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(replays))
      names.insert(e.path().filename().string());
    return names;
  }
};

TEST(ReplayFolder, KeepsTheNewestTwentyAndTheReplaysOfStandingEntries) {
  Scene scene;
  RegisterHallOfFameEntries([]() -> std::optional<std::vector<HallOfFameEntry>> {
    return std::vector<HallOfFameEntry>{{"Ann Lee:::Y", 5000}, {"Dee:::Y", 9000}};
  });
  const std::string name = KeepInReplayFolder("run", {{"Dee:::Y", 9000}});
  ASSERT_FALSE(name.empty());
  const std::set<std::string> names = scene.Names();
  EXPECT_TRUE(names.count(name));
  // Newest first: this run, 19 .. 2, then of the one second "-10" before "-2" before none.
  EXPECT_TRUE(names.count("20200101-000002.replay"));
  EXPECT_TRUE(names.count("20200101-000001-10.replay"));
  EXPECT_FALSE(names.count("20200101-000001-2.replay")) << "Bob's entry fell out of the table";
  EXPECT_TRUE(names.count("20200101-000001.replay")) << "older than 20, but Ann's entry stands";
  EXPECT_TRUE(names.count("mine.replay") && names.count("notes.txt")) << "not ours to remove";
  EXPECT_EQ(names.size(), 20u + 1 + 3);  // and Ann's; the links, mine.replay, notes.txt

  EXPECT_EQ(scene.dir.Read("player/replays/halloffame.links"),
            "20200101-000001.replay 5000 Ann%20Lee:::Y\n" + name + " 9000 Dee:::Y\n");
  EXPECT_EQ(ReplayForHallOfFameEntry("Ann Lee:::Y", 5000),
            scene.replays + "/20200101-000001.replay");
  EXPECT_EQ(ReplayForHallOfFameEntry("Dee:::Y", 9000), scene.replays + "/" + name);
  EXPECT_EQ(ReplayForHallOfFameEntry("Bob:::Y", 4000), "");
}

TEST(ReplayFolder, ATableOrLinksThatCannotBeReadCostNoReplay) {
  Scene scene;
  // hiscore.dat missing or damaged: nobody knows which entries stand.
  RegisterHallOfFameEntries([]() -> std::optional<std::vector<HallOfFameEntry>> {
    return std::nullopt;
  });
  const std::string first = KeepInReplayFolder("run", {});
  std::set<std::string> names = scene.Names();
  EXPECT_TRUE(names.count("20200101-000001.replay"));
  EXPECT_TRUE(names.count("20200101-000001-2.replay"));
  EXPECT_EQ(names.size(), 22u + 3) << "the two linked ones are kept beside the newest 20";
  EXPECT_EQ(scene.dir.Read("player/replays/halloffame.links"),
            "20200101-000001.replay 5000 Ann%20Lee:::Y\n20200101-000001-2.replay 4000 Bob:::Y\n");

  // Links that cannot be read (here a folder in their place): nothing is removed at all.
  fs::remove(scene.replays + "/halloffame.links");
  fs::create_directory(scene.replays + "/halloffame.links");
  const size_t before = scene.Names().size();
  const std::string second = KeepInReplayFolder("run", {});
  EXPECT_NE(second, first);
  EXPECT_EQ(scene.Names().size(), before + 1);
}

}  // namespace
