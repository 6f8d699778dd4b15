// Filling a module's picture catalogue from a picture-set file.
#include <gtest/gtest.h>

#include "shell/screen_module.h"
#include "shell_test_util.h"
#include "sprites/sprite.h"

using namespace shelltest;

namespace {

class PictureSetTest : public ::testing::Test {
 protected:
  GameDir dir;
  ScreenModule module;
};

TEST_F(PictureSetTest, ReadsFilesNamesAndPositions) {
  WriteSolidBmp(dir.path() / "logo.bmp", 8, 4, 0xFF0000);
  WriteSolidBmp(dir.path() / "pics" / "board.bmp", 6, 6, 0x00FF00);
  WriteText(dir.path() / "set.ini",
            "[images]\nimage01=logo\nimage02=panel\n"
            "[logo]\nx=100\ny=40\n"
            "[panel]\nfile=pics\\board.bmp\n");
  EXPECT_EQ(module.LoadPictureSet("set.ini"), 0);
  ASSERT_EQ(module.pictures->Count(), 2);

  Picture* logo = module.FindPicture("logo");
  ASSERT_NE(logo, nullptr);
  EXPECT_NE(logo->GetSurface(), nullptr);
  EXPECT_EQ(logo->x, 100);
  EXPECT_EQ(logo->y, 40);
  EXPECT_EQ(logo->width, 8);

  Picture* panel = module.FindPicture("panel");
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->width, 6);
  EXPECT_EQ(panel->x, 0) << "a missing x reads as 0";
}

TEST_F(PictureSetTest, StopsAtTheFirstGapAndKeepsPicturesThatDidNotLoad) {
  WriteText(dir.path() / "set.ini",
            "[images]\nimage01=missing\nimage03=later\n[missing]\nx=5\n");
  module.LoadPictureSet("set.ini");
  ASSERT_EQ(module.pictures->Count(), 1);
  Picture* missing = module.FindPicture("missing");
  ASSERT_NE(missing, nullptr);
  EXPECT_EQ(missing->GetSurface(), nullptr);
  EXPECT_EQ(missing->x, 5);

  SurfacePtr screen = MakeSurface(16, 16, 7);
  EXPECT_EQ(module.DrawPicture(screen.get(), "missing"), 1) << "drawing it is harmless";
  EXPECT_EQ(Px(screen.get(), 0, 0), 7);

  ScreenModule other;
  WriteText(dir.path() / "bare.ini", "[other]\nimage01=x\n");
  EXPECT_EQ(other.LoadPictureSet("bare.ini"), 0);
  EXPECT_EQ(other.LoadPictureSet("nothing.ini"), 0);
  EXPECT_EQ(other.pictures->Count(), 0) << "no [images] section, or no file: no pictures";
}

TEST_F(PictureSetTest, FindAndDrawUseTheFirstPictureOfAName) {
  WriteSolidBmp(dir.path() / "a.bmp", 2, 2, 0xFFFFFF);
  WriteSolidBmp(dir.path() / "b.bmp", 2, 2, 0x000000);
  Picture* first = module.LoadPicture("a.bmp");
  Picture* second = module.LoadPicture("b.bmp");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  first->SetName("same");
  second->SetName("same");
  EXPECT_EQ(module.FindPicture("same"), first);
  EXPECT_EQ(module.FindPicture("Same"), nullptr) << "names are case-sensitive";

  SurfacePtr screen = MakeSurface(8, 8, 0x1111);
  EXPECT_EQ(module.DrawPictureAt(screen.get(), "same", 3, 3), 1);
  EXPECT_EQ(Px(screen.get(), 3, 3), 0xFFFF);
  EXPECT_EQ(Px(screen.get(), 5, 5), 0x1111);
  EXPECT_EQ(module.DrawPictureAt(screen.get(), "none", 0, 0), 0);

  EXPECT_EQ(module.LoadPicture("absent.bmp"), nullptr);
  EXPECT_EQ(module.pictures->Count(), 2) << "a picture that did not load is not kept";
}

}  // namespace
