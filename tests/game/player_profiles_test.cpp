#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "game/player_profiles.h"
#include "test_support.h"

namespace {

class PlayerProfilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ini = dir.File("options.ini");
    store.SetIniPath(ini.c_str());
  }
  std::string Entry(int i) {
    char buffer[kEntryTextSize];
    std::memset(buffer, 'x', sizeof buffer);
    store.EntryText(i, buffer, sizeof buffer);
    return buffer;
  }

  ScratchDir dir;
  std::string ini;
  PlayerProfiles store;
};

TEST_F(PlayerProfilesTest, NoOptionsFileGivesPlayerOneWithDefaults) {
  EXPECT_EQ(store.ReadPlayerId(), 0);
  EXPECT_EQ(Entry(0), "Player1:::Y");
  EXPECT_EQ(Entry(5), "Player6:::Y");
  EXPECT_FALSE(std::filesystem::exists(ini));  // reading never creates the file
}

TEST_F(PlayerProfilesTest, ASectionWithOnlyANameGetsDefaultsForTheRest) {
  WriteWholeFile(ini, "[setup]\nplayerid=2\n[Player3]\nname=Ann\n");
  EXPECT_EQ(store.ReadPlayerId(), 2);
  EXPECT_EQ(Entry(store.CurrentId()), "Ann:::Y");
  WriteWholeFile(ini, "[Player1]\nname=Bo\naddress=1 Road\nemail=bo@x.org\nsend=No\n");
  EXPECT_EQ(Entry(0), "Bo:1 Road:bo@x.org:N");
}

TEST_F(PlayerProfilesTest, LongFieldsAreCutTo63Characters) {
  std::string longName(100, 'n'), longMail(80, 'm');
  WriteWholeFile(ini, "[Player1]\nname=" + longName + "\nemail=" + longMail + "\n");
  store.LoadProfile(0);
  EXPECT_EQ(std::string(store.Profile(0).name), std::string(63, 'n'));
  EXPECT_EQ(Entry(0), std::string(63, 'n') + "::" + std::string(63, 'm') + ":Y");
}

TEST_F(PlayerProfilesTest, PlayerNumbersOutsideTheEightProfilesMeanPlayerZero) {
  for (const char* id : {"8", "-1", "2147483647", "abc"}) {
    WriteWholeFile(ini, std::string("[setup]\nplayerid=") + id + "\n[Player1]\nname=First\n");
    EXPECT_EQ(store.ReadPlayerId(), 0) << id;
  }
  EXPECT_EQ(Entry(12), "First:::Y");
  store.WritePlayerId(99);
  EXPECT_EQ(store.ReadPlayerId(), 0);
  PlayerProfile p = {};
  std::strcpy(p.name, "Out");
  store.SaveProfile(-4, p);  // lands on player 0, nowhere else
  EXPECT_EQ(Entry(0), "Out:::");
}

}  // namespace
