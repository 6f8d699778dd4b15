#include <gtest/gtest.h>

#include "platform/paths.h"
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
