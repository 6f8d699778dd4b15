// Buttons: the state machine of polled mouse input, the images drawn, the pixel hit test.
#include <gtest/gtest.h>

#include "../shell/shell_test_util.h"
#include "shell/app.h"
#include "shell/redraw_list.h"
#include "sprites/button.h"

using namespace shelltest;

namespace {

constexpr int kLeft = 1;

class ButtonTest : public ::testing::Test {
 protected:
  void SetUp() override { TheRedrawList.Reset(); }
  void TearDown() override {
    BackSurface = nullptr;
    TheRedrawList.Reset();
  }
  // A 20 x 10 button at (100, 50) with three solid images valued 1, 2 and 3.
  static void AddImages(Button& button, int count = 3) {
    for (int i = 0; i < count; ++i)
      button.AddImage(i, MakeSurface(20, 10, static_cast<uint16_t>(i + 1)).release());
  }
  Button button{100, 50};
};

// One input call per frame: press, release over the button, and the ways a click is lost.
TEST_F(ButtonTest, AClickIsAReleaseOverTheButtonAfterAPressOnIt) {
  AddImages(button);
  const int steps[][3] = {
      // x, y, bits
      {105, 55, 0}, {105, 55, kLeft}, {106, 55, 0},  // over, down, click
      {106, 55, 0},                                  // the click held for one call only
      {105, 55, kLeft}, {300, 55, kLeft}, {300, 55, 0},  // left while down: no click
      {10, 10, kLeft}, {105, 55, kLeft}, {105, 55, 0},   // entered held: a click
  };
  const int states[] = {ButtonOver, ButtonDown, ButtonOver, ButtonOver, ButtonDown,
                        ButtonNormal, ButtonNormal, ButtonNormal, ButtonDown, ButtonOver};
  const int clicks[] = {0, 0, 1, 0, 0, 0, 0, 0, 0, 1};
  for (int i = 0; i < 10; ++i) {
    button.MouseInput(steps[i][0], steps[i][1], steps[i][2]);
    EXPECT_EQ(button.GetState(), states[i]) << "step " << i;
    EXPECT_EQ(button.IsPressed(), clicks[i]) << "step " << i;
  }
  EXPECT_EQ(button.clickKind, 1);
}

TEST_F(ButtonTest, HitRectangleEdgesAndOrigin) {
  AddImages(button);
  const int points[][3] = {{119, 59, 1}, {120, 55, 0}, {105, 60, 0}, {100, 50, 1}, {99, 55, 0}};
  for (const auto& p : points) {
    button.MouseInput(p[0], p[1], 0);
    EXPECT_EQ(button.IsMouseInside(), p[2]) << p[0] << "," << p[1];
  }
  button.SetOrigin(200, 100);
  button.MouseInput(305, 155, 0);
  EXPECT_EQ(button.IsMouseInside(), 1);
  button.SetEnabled(0);
  button.MouseInput(0, 0, 0);
  EXPECT_EQ(button.IsMouseInside(), 1) << "a disabled button ignores the mouse";
}

TEST_F(ButtonTest, PaintChoosesTheImageByStateOffsetAndOverrides) {
  AddImages(button);
  SurfacePtr screen = MakeSurface(200, 100, 0);
  auto shown = [&] {
    button.Paint(screen.get());
    return Px(screen.get(), 110, 55);
  };
  EXPECT_EQ(shown(), 1);
  button.SetState(ButtonOver);
  EXPECT_EQ(shown(), 2);
  button.imageOffset = 1;
  button.SetState(ButtonDown);
  EXPECT_EQ(shown(), 3) << "past the last image draws the last image";
  button.SetAlwaysFirstImage(1);
  EXPECT_EQ(shown(), 1);
  button.SetForcedImage(1);
  EXPECT_EQ(shown(), 2);
  button.SetForcedImage(-1);
  button.SetAlwaysFirstImage(0);
  button.SwapFirstImages();
  button.imageOffset = 0;
  button.SetState(ButtonNormal);
  EXPECT_EQ(shown(), 2);
  EXPECT_EQ(TheRedrawList.pages[0].Count(), 0) << "records only when asked";
  button.SetRegistersRedraw(1);
  shown();
  ASSERT_EQ(TheRedrawList.pages[0].Count(), 1);
  EXPECT_EQ(TheRedrawList.pages[0].GetAt(0)->x, 100);
  EXPECT_EQ(TheRedrawList.pages[0].GetAt(0)->width, 20);
}

TEST_F(ButtonTest, PixelHitTestIgnoresPureBlueOfTheFirstImage) {
  // Image 0: left half pure blue (transparent), right half white.
  Surface* image = MakeSurface(20, 10, 0xFFFF).release();
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) image->row16(y)[x] = kBlue;
  button.AddImage(0, image);
  button.SetPixelHitTest(1);
  button.MouseInput(102, 55, kLeft);
  EXPECT_EQ(button.GetState(), ButtonNormal) << "a press on a transparent pixel does nothing";
  button.MouseInput(102, 55, 0);
  EXPECT_EQ(button.GetState(), ButtonNormal);
  button.MouseInput(115, 55, 0);
  EXPECT_EQ(button.GetState(), ButtonOver);

  // With an origin, the pixel is measured from the shifted hit rectangle.
  button.SetOrigin(50, 0);
  button.MouseInput(115, 55, 0);
  EXPECT_EQ(button.IsMouseInside(), 0);
  button.MouseInput(152, 55, 0);
  EXPECT_EQ(button.GetState(), ButtonNormal);
  button.MouseInput(165, 55, 0);
  EXPECT_EQ(button.GetState(), ButtonOver);

  // A hit rectangle larger than the image: beyond the image counts as transparent.
  button.SetHitRect(100, 50, 40, 10);
  button.MouseInput(185, 55, 0);
  EXPECT_EQ(button.IsMouseInside(), 1);
  EXPECT_EQ(button.GetState(), ButtonNormal);
}

TEST_F(ButtonTest, StripsBecomeImagesOnlyWhenTheCutIsWhole) {
  GameDir dir;
  WriteBmp(dir.path() / "cloud.bmp", 12, 30, [](int, int y) { return y < 10 ? 0xFF0000u : 0xFFFFFFu; });
  Button cloud(0, 0);
  cloud.LoadStrip("cloud.bmp", 3, 1);
  ASSERT_EQ(cloud.ImageCount(), 3);
  EXPECT_EQ(cloud.width, 12);
  EXPECT_EQ(cloud.height, 10);
  EXPECT_EQ(cloud.hitHeight, 10);

  Button tooMany(0, 0);
  tooMany.LoadStrip("cloud.bmp", 40, 1);  // tiles under one pixel high: no cut at all
  EXPECT_EQ(tooMany.ImageCount(), 0);
  Button missing(0, 0);
  missing.LoadStrip("nothing.bmp", 2, 0);
  missing.LoadImage(0, "nothing.bmp");
  EXPECT_EQ(missing.ImageCount(), 0);
  SurfacePtr screen = MakeSurface(20, 20, 9);
  missing.Paint(screen.get());
  EXPECT_EQ(Px(screen.get(), 0, 0), 9);
}

}  // namespace
