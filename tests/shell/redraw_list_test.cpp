// The redraw list restores a rectangle on the buffer it was drawn on: two presents later.
#include <gtest/gtest.h>

#include "shell/redraw_list.h"
#include "shell_test_util.h"

using namespace shelltest;

namespace {

constexpr uint16_t kScene = 0x1234;
constexpr uint16_t kLayer = 0x0F0F;

class RedrawListTest : public ::testing::Test {
 protected:
  SurfacePtr background = MakeSurface(64, 48, kScene);
  SurfacePtr target = MakeSurface(64, 48, 0);
  RedrawList list;

  void Present() {
    list.FlipPage();
    list.RestorePage(target.get());
  }
};

TEST_F(RedrawListTest, RectangleIsRestoredOnlyWhenItsPageComesRoundAgain) {
  list.SetBackground(background.get());
  list.AddScreenRect(10, 10, 20, 15, RedrawOneShot, RedrawFromBackground);
  list.AddScreenRect(30, 30, 34, 34, RedrawOneShot, RedrawFromBackground);
  EXPECT_EQ(list.pages[0].Count(), 2);

  Present();  // the other buffer: nothing of page 0 yet
  EXPECT_EQ(Px(target.get(), 12, 12), 0);
  Present();  // page 0 again
  EXPECT_EQ(Px(target.get(), 10, 10), kScene);
  EXPECT_EQ(Px(target.get(), 19, 14), kScene);
  EXPECT_EQ(Px(target.get(), 20, 14), 0) << "right edge is exclusive";
  EXPECT_EQ(Px(target.get(), 19, 15), 0) << "bottom edge is exclusive";
  EXPECT_EQ(Px(target.get(), 33, 33), kScene) << "one-shots in a row are all restored";
  EXPECT_EQ(list.pages[0].Count(), 0) << "one-shot rectangles go after their restore";

  target->row16(12)[12] = 0;
  Present();
  Present();
  EXPECT_EQ(Px(target.get(), 12, 12), 0);
}

TEST_F(RedrawListTest, PersistentRectangleIsRestoredEveryOtherPresent) {
  list.SetBackground(background.get());
  list.AddScreenRect(0, 0, 4, 4, 0, RedrawFromBackground);
  for (int round = 0; round < 3; ++round) {
    target->row16(1)[1] = 0;
    Present();
    EXPECT_EQ(Px(target.get(), 1, 1), 0);
    Present();
    EXPECT_EQ(Px(target.get(), 1, 1), kScene);
  }
  EXPECT_EQ(list.pages[0].Count(), 1);
}

TEST_F(RedrawListTest, NewBackgroundDropsOneShotsAndSkipsOlderRectangles) {
  SurfacePtr other = MakeSurface(64, 48, 0x7777);
  list.SetBackground(background.get());
  list.AddScreenRect(0, 0, 8, 8, RedrawOneShot, RedrawFromBackground);
  list.AddScreenRect(8, 0, 16, 8, 0, RedrawFromBackground);
  list.SetBackground(other.get());
  EXPECT_EQ(list.pages[0].Count(), 1) << "only the persistent rectangle survives";

  Present();
  Present();
  EXPECT_EQ(Px(target.get(), 2, 2), 0);
  EXPECT_EQ(Px(target.get(), 10, 2), 0) << "recorded under another background: not restored";
}

TEST_F(RedrawListTest, WithoutBackgroundNothingIsCopiedButOneShotsStillGo) {
  list.AddScreenRect(0, 0, 8, 8, RedrawOneShot, RedrawFromBackground);
  list.AddScreenRect(4, 4, 12, 12, RedrawOneShot, RedrawFromBackground);
  Present();
  Present();
  EXPECT_EQ(Px(target.get(), 5, 5), 0);
  EXPECT_EQ(list.pages[0].Count(), 0);
}

TEST_F(RedrawListTest, AddAreaWipesTheBackgroundFromTheLayer) {
  SurfacePtr layer = MakeSurface(64, 48, kLayer);
  list.SetBackground(background.get());
  list.SetLayer(layer.get());
  list.AddArea(5, 6, 10, 4);
  EXPECT_EQ(Px(background.get(), 5, 6), kLayer);
  EXPECT_EQ(Px(background.get(), 14, 9), kLayer);
  EXPECT_EQ(Px(background.get(), 15, 9), kScene);
  RedrawRect* rect = list.pages[0].GetAt(0);
  EXPECT_EQ(rect->flags, RedrawDefaultFlags);
  EXPECT_EQ(rect->layer, layer.get());
}

TEST_F(RedrawListTest, RefreshFullScreenResetsTheSceneAndQueuesAWholeRestore) {
  SurfacePtr layer = MakeSurface(64, 48, kLayer);
  list.SetBackground(background.get());
  list.SetLayer(layer.get());
  list.RefreshFullScreen();
  EXPECT_EQ(Px(background.get(), 63, 47), kLayer);
  RedrawRect* rect = list.pages[0].GetAt(0);
  EXPECT_EQ(rect->width, 64);
  EXPECT_EQ(rect->height, 48);
  Present();
  Present();
  EXPECT_EQ(Px(target.get(), 63, 47), kLayer);
}

// Both display buffers hold the old scene; a change to it must reach each of them, or the
// screen alternates between the new scene and the old one.
TEST_F(RedrawListTest, SceneChangesReachBothBuffersWhileSpritesStayOnTheirOwn) {
  SurfacePtr layer = MakeSurface(64, 48, kLayer);
  SurfacePtr other = MakeSurface(64, 48, 0);
  list.SetBackground(background.get());
  list.SetLayer(layer.get());
  list.AddArea(0, 0, 8, 8);
  list.AddScreenRect(30, 30, 34, 34, RedrawOneShot, RedrawFromBackground);

  list.FlipPage();
  list.RestorePage(other.get());  // the next buffer shown
  EXPECT_EQ(Px(other.get(), 1, 1), kLayer);
  EXPECT_EQ(Px(other.get(), 31, 31), 0) << "the sprite was not drawn into this buffer";
  list.FlipPage();
  list.RestorePage(target.get());
  EXPECT_EQ(Px(target.get(), 1, 1), kLayer);
  EXPECT_EQ(Px(target.get(), 31, 31), kScene);
  EXPECT_EQ(list.pages[0].Count() + list.pages[1].Count(), 0);
}

TEST_F(RedrawListTest, AnAreaRecordedTwiceOnAPageIsKeptOnce) {
  list.SetBackground(background.get());
  list.AddArea(0, 0, 8, 8);
  list.AddArea(0, 0, 8, 8);
  list.AddArea(0, 0, 8, 9);
  EXPECT_EQ(list.pages[0].Count(), 2);
  EXPECT_EQ(list.pages[1].Count(), 2);
}

}  // namespace
