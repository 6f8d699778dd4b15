#include <gtest/gtest.h>

#include "platform/files/paths.h"
#include "platform/win32/kernel/profile.h"
#include "test_folder.h"

TEST(Paths, BackslashesAndLetterCaseMapToTheHost) {
  TempFolder dir;
  dir.Write("Sounds/Pop1.WAV", "data");
  EXPECT_EQ(MapPath((dir.path() + "\\sounds\\pop1.wav").c_str()), dir / "Sounds/Pop1.WAV");
  EXPECT_EQ(MapPath((dir.path() + "/./SOUNDS/../Sounds/POP1.wav").c_str()),
            dir / "./Sounds/../Sounds/Pop1.WAV");
  // A name that does not exist keeps its spelling (a file about to be made).
  EXPECT_EQ(MapPath((dir.path() + "\\SOUNDS\\new.dat").c_str()), dir / "Sounds/new.dat");
  EXPECT_EQ(MapPath(nullptr), "");
  EXPECT_EQ(MapPath(""), "");

  FILE* file = OpenFile((dir.path() + "\\SOUNDS\\pop1.wav").c_str(), "rb");
  ASSERT_NE(file, nullptr);
  char text[5] = {};
  EXPECT_EQ(std::fread(text, 1, 4, file), 4u);
  EXPECT_STREQ(text, "data");
  std::fclose(file);
  EXPECT_EQ(OpenFile((dir.path() + "\\nothing.bmp").c_str(), "rb"), nullptr);
}

// The installed layout: shared read-only data, the player's own folder in front of it.
TEST(Paths, ThePlayersFolderIsReadFirstAndTakesEveryWrite) {
  TempFolder dir;
  dir.Write("data/Background.bmp", "shipped");
  dir.Write("data/setup.ini", "[default]\ngametime=50\n");
  dir.Write("data/sounds/pop1.wav", "shipped");
  dir.Write("options.ini", "above the data: never ours to read");
  const std::string player = dir / "home/zorbit/game";
  SetFileFolders(player, dir / "data");
  struct Reset {
    ~Reset() { ClearFileFolders(); }
  } reset;

  // Found in the data folder while the player has no copy; the player's copy wins.
  EXPECT_EQ(MapPath("background.bmp"), dir / "data/Background.bmp");
  EXPECT_EQ(MapPath(".\\sounds\\POP1.wav"), dir / "data/./sounds/pop1.wav");
  // Nothing written yet: the player's folder does not exist.
  EXPECT_FALSE(std::filesystem::exists(player));
  // A file in neither place, and anything above the folder, is the player's.
  EXPECT_EQ(MapPath("hiscore.dat"), player + "/hiscore.dat");
  EXPECT_EQ(MapPath("..\\options.ini"), player + "/../options.ini");
  EXPECT_EQ(MapPath("sounds\\..\\..\\options.ini"), player + "/sounds/../../options.ini");
  EXPECT_EQ(MapPath("/abs/file"), "/abs/file");

  // An ini edit reads the shipped file and writes the player's copy, made on the way.
  EXPECT_EQ(GetPrivateProfileInt("default", "gametime", 0, ".\\setup.ini"), 50u);
  EXPECT_EQ(WritePrivateProfileString("default", "balloons", "3", ".\\setup.ini"), 1);
  EXPECT_EQ(dir.Read("data/setup.ini"), "[default]\ngametime=50\n");
  EXPECT_EQ(MapPath("setup.ini"), player + "/setup.ini");
  EXPECT_EQ(GetPrivateProfileInt("default", "gametime", 0, "setup.ini"), 50u);
  EXPECT_EQ(GetPrivateProfileInt("default", "balloons", 0, "setup.ini"), 3u);

  // Writes never land in the data folder, even over a file that came with it.
  FILE* file = OpenFile("sounds\\pop1.wav", "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("mine", file);
  std::fclose(file);
  EXPECT_EQ(dir.Read("data/sounds/pop1.wav"), "shipped");
  EXPECT_EQ(MapPath("sounds\\pop1.wav"), player + "/sounds/pop1.wav");
  EXPECT_EQ(WritePrivateProfileString("setup", "music", "N", "..\\options.ini"), 1);
  EXPECT_EQ(dir.Read("home/zorbit/options.ini"), "[setup]\nmusic=N\n");
}
