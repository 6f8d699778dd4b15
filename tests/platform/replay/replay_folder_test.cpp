// The player's replays/ folder: the newest 20 runs stay, in the order they were made
// whatever their dates say, and so does every replay linked to a hall-of-fame entry that
// still stands; equal entries each keep their own; nothing there is followed through a link.
#include <gtest/gtest.h>
#include <unistd.h>

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

using Entries = std::vector<HallOfFameEntry>;

struct Scene {
  TempFolder dir;
  std::string replays = dir / "player/replays";

  Scene() {
    SetFileFolders(dir / "player", dir / "data");
    fs::create_directories(dir / "data");
    // 21 runs of an earlier version, dated in 2099 (a clock set back since), the oldest three
    // in one second, and two files of the player's own.
    for (const char* n : {"000001", "000001-2", "000001-10"}) Add(std::string("20990101-") + n);
    for (int s = 2; s <= 19; ++s)
      Add("20990101-0000" + std::string(s < 10 ? "0" : "") + std::to_string(s));
    dir.Write("player/replays/mine.replay", "kept by hand");
    dir.Write("player/replays/notes.txt", "");
    dir.Write("player/replays/halloffame.links",
              "20990101-000001.replay 5000 Ann%20Lee:::Y\n"  // still stands
              "20990101-000001-2.replay 4000 Bob:::Y\n"      // fell out of the table
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
  void Stand(const Entries& entries) {
    RegisterHallOfFameEntries([entries]() -> std::optional<Entries> { return entries; });
  }
  // What a recording run does: its file, its entries' links, then the pruning.
  std::string Keep(const Entries& made) {
    NewReplayFile file = CreateInReplayFolder();
    EXPECT_GE(file.fd, 0);
    EXPECT_EQ(::write(file.fd, "run", 3), 3);
    ::close(file.fd);
    for (const HallOfFameEntry& e : made) LinkInReplayFolder(file.name, e);
    PruneReplayFolder(file.name);
    return file.name;
  }
};

TEST(ReplayFolder, KeepsTheNewestTwentyInOrderOfMakingAndTheReplaysOfStandingEntries) {
  Scene scene;
  scene.Stand({{"Ann Lee:::Y", 5000}, {"Dee:::Y", 9000}});
  const std::string name = scene.Keep({{"Dee:::Y", 9000}});
  ASSERT_EQ(name.rfind("000001-", 0), 0u) << name;
  const std::set<std::string> names = scene.Names();
  EXPECT_TRUE(names.count(name)) << "made last, so newest, whatever the older ones' dates";
  // Newest first: this run, 19 .. 2, then of the one second "-10" before "-2" before none.
  EXPECT_TRUE(names.count("20990101-000002.replay"));
  EXPECT_TRUE(names.count("20990101-000001-10.replay"));
  EXPECT_FALSE(names.count("20990101-000001-2.replay")) << "Bob's entry fell out of the table";
  EXPECT_TRUE(names.count("20990101-000001.replay")) << "older than 20, but Ann's entry stands";
  EXPECT_TRUE(names.count("mine.replay") && names.count("notes.txt")) << "not ours to remove";
  EXPECT_EQ(names.size(), 20u + 1 + 3);  // and Ann's; the links, mine.replay, notes.txt

  EXPECT_EQ(scene.dir.Read("player/replays/halloffame.links"),
            "20990101-000001.replay 5000 Ann%20Lee:::Y\n" + name + " 9000 Dee:::Y\n");
  EXPECT_EQ(ReplayForHallOfFameEntry("Ann Lee:::Y", 5000, 0),
            scene.replays + "/20990101-000001.replay");
  EXPECT_EQ(ReplayForHallOfFameEntry("Dee:::Y", 9000, 0), scene.replays + "/" + name);
  EXPECT_EQ(ReplayForHallOfFameEntry("Bob:::Y", 4000, 0), "");
  EXPECT_EQ(scene.Keep({}).rfind("000002-", 0), 0u);
}

TEST(ReplayFolder, EqualEntriesEachShowTheirOwnReplayOrNone) {
  Scene scene;
  const Entries two = {{"Eve:::Y", 700}, {"Eve:::Y", 700}, {"Eve:::Y", 700}};
  scene.Stand(two);
  const std::string first = scene.Keep({two[0]});
  LinkInReplayFolder("", two[1]);  // a run whose replay could not be kept
  const std::string third = scene.Keep({two[2]});
  EXPECT_EQ(ReplayForHallOfFameEntry("Eve:::Y", 700, 0), scene.replays + "/" + first);
  EXPECT_EQ(ReplayForHallOfFameEntry("Eve:::Y", 700, 1), "") << "not another run's";
  EXPECT_EQ(ReplayForHallOfFameEntry("Eve:::Y", 700, 2), scene.replays + "/" + third);
  // The newest equal entry falls out of the table first; so does its link.
  scene.Stand({two[0], two[1]});
  scene.Keep({});
  EXPECT_EQ(ReplayForHallOfFameEntry("Eve:::Y", 700, 0), scene.replays + "/" + first);
  EXPECT_EQ(ReplayForHallOfFameEntry("Eve:::Y", 700, 2), "");
}

TEST(ReplayFolder, ATableOrLinksThatCannotBeReadCostNoReplay) {
  Scene scene;
  // hiscore.dat missing or damaged: nobody knows which entries stand.
  RegisterHallOfFameEntries([]() -> std::optional<Entries> { return std::nullopt; });
  const std::string first = scene.Keep({});
  std::set<std::string> names = scene.Names();
  EXPECT_TRUE(names.count("20990101-000001.replay"));
  EXPECT_TRUE(names.count("20990101-000001-2.replay"));
  EXPECT_EQ(names.size(), 22u + 3) << "the two linked ones are kept beside the newest 20";

  // Links that cannot be read or are not the game's own (a folder, a link to a file of the
  // player's): never written through, and nothing is removed.
  for (bool folder : {true, false}) {
    scene.dir.Write("outside.txt", "the player's own");
    fs::remove_all(scene.replays + "/halloffame.links");
    if (folder) fs::create_directory(scene.replays + "/halloffame.links");
    else fs::create_symlink(scene.dir / "outside.txt", scene.replays + "/halloffame.links");
    const size_t before = scene.Names().size();
    const std::string next = scene.Keep({{"Fay:::Y", 1}});
    EXPECT_NE(next, first);
    EXPECT_EQ(scene.Names().size(), before + 1);
    EXPECT_EQ(scene.dir.Read("outside.txt"), "the player's own");
  }
}

TEST(ReplayFolder, ALinkOutOfTheFolderOrThroughALinkIsNeverShown) {
  Scene scene;
  scene.dir.Write("secret.replay", "");
  fs::create_symlink(scene.dir / "secret.replay", scene.replays + "/20990101-000020.replay");
  scene.dir.Write("player/replays/halloffame.links",
                  "../../secret.replay 1 A\n/etc/passwd 2 B\n20990101-000020.replay 3 C\n");
  for (int score : {1, 2, 3}) {
    const std::string text(1, static_cast<char>('A' + score - 1));
    EXPECT_EQ(ReplayForHallOfFameEntry(text.c_str(), score, 0), "") << text;
  }
}

}  // namespace
