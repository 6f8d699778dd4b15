#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "platform/win32/kernel/profile.h"
#include "test_folder.h"

namespace {

std::string Get(const char* section, const char* key, const char* def, const std::string& file,
                uint32_t size = 256) {
  char buffer[256];
  std::memset(buffer, 'x', sizeof buffer);
  uint32_t n = GetPrivateProfileString(section, key, def, buffer, size, file.c_str());
  EXPECT_EQ(n, std::strlen(buffer));
  return buffer;
}

TEST(Profile, MissingFileAndKeysGiveTheDefaults) {
  TempFolder dir;
  EXPECT_EQ(Get("setup", "fullscreen", "0", dir / "none.ini"), "0");
  EXPECT_EQ(Get("setup", "music", nullptr, dir / "none.ini"), "");
  EXPECT_EQ(GetPrivateProfileInt("setup", "fullscreen", 7, (dir / "none.ini").c_str()), 7u);
  // Odd bytes are no reason to fail: nothing in them looks like the key.
  dir.Write("odd.ini", std::string("\0\xff[\x01=\n==\n[setup\nmusic", 22));
  EXPECT_EQ(Get("setup", "SFX", "Y", dir / "odd.ini"), "Y");
}

TEST(Profile, NamesAreCaseBlindAndValuesTrimmedAndUnquoted) {
  TempFolder dir;
  dir.Write("a.ini",
            "\xEF\xBB\xBF; comment\r\n[Setup]\r\n  Music =  N  \r\nsfx=\"y es\"\r\n"
            "[setup]\r\nmusic=Y\r\n[Default]\r\nballoons=7\r\ngametime=-5\r\nempty=\r\n");
  std::string file = dir / "a.ini";
  EXPECT_EQ(Get("SETUP", "MUSIC", "Y", file), "N");  // the first section of a name wins
  EXPECT_EQ(Get("setup", "SFX", "", file), "y es");
  EXPECT_EQ(GetPrivateProfileInt("default", "Balloons", 0, file.c_str()), 7u);
  EXPECT_EQ(static_cast<int>(GetPrivateProfileInt("default", "gametime", 0, file.c_str())), -5);
  EXPECT_EQ(GetPrivateProfileInt("default", "empty", 200, file.c_str()), 200u);
}

TEST(Profile, ValuesAreCutToTheBuffer) {
  TempFolder dir;
  dir.Write("a.ini", "[setup]\nmusic=Yes please\n");
  EXPECT_EQ(Get("setup", "music", "", dir / "a.ini", 2), "Y");
  EXPECT_EQ(Get("setup", "none", "default", dir / "a.ini", 4), "def");
  char one[1] = {'x'};
  EXPECT_EQ(GetPrivateProfileString("setup", "music", "", one, 1, (dir / "a.ini").c_str()), 0u);
  EXPECT_EQ(one[0], '\0');
}

TEST(Profile, ListsSectionsAndKeys) {
  TempFolder dir;
  dir.Write("a.ini", "[one]\na=1\nb=2\n[two]\n");
  char buffer[64];
  uint32_t n = GetPrivateProfileString(nullptr, nullptr, "", buffer, 64, (dir / "a.ini").c_str());
  EXPECT_EQ(std::string(buffer, n), std::string("one\0two\0", 8));
  n = GetPrivateProfileString("ONE", nullptr, "", buffer, 64, (dir / "a.ini").c_str());
  EXPECT_EQ(std::string(buffer, n), std::string("a\0b\0", 4));
  n = GetPrivateProfileString(nullptr, nullptr, "", buffer, 6, (dir / "a.ini").c_str());
  EXPECT_EQ(n, 4u);  // cut: size - 2, doubly terminated
  EXPECT_EQ(buffer[4], '\0');
  EXPECT_EQ(buffer[5], '\0');
}

TEST(Profile, WritingCreatesFileAndSectionAndKeepsTheRest) {
  TempFolder dir;
  std::string file = dir / "new.ini";
  ASSERT_EQ(WritePrivateProfileString("Player1", "name", "Ann", file.c_str()), 1);
  EXPECT_EQ(Get("player1", "NAME", "", file), "Ann");

  dir.Write("kept.ini", "; keep me\r\n[setup]\r\nMusic=Y\r\n\r\n[other]\r\nx=1\r\n");
  file = dir / "kept.ini";
  ASSERT_EQ(WritePrivateProfileString("SETUP", "music", "N", file.c_str()), 1);
  ASSERT_EQ(WritePrivateProfileString("setup", "SFX", "N", file.c_str()), 1);
  ASSERT_EQ(WritePrivateProfileString("third", "k", "v", file.c_str()), 1);
  EXPECT_EQ(dir.Read("kept.ini"),
            "; keep me\r\n[setup]\r\nMusic=N\r\nSFX=N\r\n\r\n[other]\r\nx=1\r\n\r\n[third]\r\nk=v\r\n");

  ASSERT_EQ(WritePrivateProfileString("setup", "music", nullptr, file.c_str()), 1);
  ASSERT_EQ(WritePrivateProfileString("other", nullptr, nullptr, file.c_str()), 1);
  EXPECT_EQ(Get("setup", "music", "gone", file), "gone");
  EXPECT_EQ(Get("other", "x", "gone", file), "gone");
  EXPECT_EQ(Get("setup", "sfx", "", file), "N");
  // No temporary file is left behind; the lock files stay, empty.
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    names.insert(entry.path().filename());
  EXPECT_EQ(names, (std::set<std::string>{"kept.ini", "kept.ini.lock", "new.ini", "new.ini.lock"}));
}

TEST(Profile, AWrittenValueCannotAddLines) {
  TempFolder dir;
  std::string file = dir / "a.ini";
  ASSERT_EQ(WritePrivateProfileString("p", "name", "Eve\n[setup]\nmusic=N", file.c_str()), 1);
  EXPECT_EQ(Get("p", "name", "", file), "Eve");
  EXPECT_EQ(Get("setup", "music", "Y", file), "Y");
}

TEST(Profile, WriteFailsCleanlyWhereNoFileCanBe) {
  TempFolder dir;
  EXPECT_EQ(WritePrivateProfileString("a", "b", "c", (dir / "missing/x.ini").c_str()), 0);
}

}  // namespace
