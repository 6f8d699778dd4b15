// Sprites: frames, the four loop modes, NextFrame, drawing and redraw records; pictures.
#include <gtest/gtest.h>

#include "../shell/shell_test_util.h"
#include "shell/frame_timer.h"
#include "shell/redraw_list.h"
#include "sprites/sprite.h"

using namespace shelltest;

namespace {

class SpriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFrameTimerState();
    TheRedrawList.Reset();
  }
  void TearDown() override { TheRedrawList.Reset(); }
  // A sprite of n frames, frame i filled with value i + 1.
  static void AddFrames(Sprite& sprite, int n, int w = 4, int h = 4) {
    for (int i = 0; i < n; ++i)
      sprite.AddFrame(MakeSurface(w, h, static_cast<uint16_t>(i + 1)).release());
  }
  static void Tick() { FrameTimerStep(); }
};

// Runs the animation one tick at a time and returns the frames it showed.
std::vector<int> Play(Sprite& sprite, int ticks) {
  std::vector<int> seen;
  for (int i = 0; i < ticks; ++i) {
    FrameTimerStep();
    sprite.Animate();
    seen.push_back(sprite.currentFrame);
  }
  return seen;
}

TEST_F(SpriteTest, LoopModesAtTheEndOfTheRange) {
  struct Case {
    int mode;
    std::vector<int> frames;
    int animatingAfter;
  };
  const Case cases[] = {
      {LoopRepeat, {1, 0, 1, 0, 1}, 1},
      {LoopStop, {1, 1, 1, 1, 1}, 0},
      {LoopRewind, {1, 0, 0, 0, 0}, 0},
      {LoopHide, {1, -1, -1, -1, -1}, 0},
  };
  for (const Case& c : cases) {
    Sprite sprite;
    sprite.SetAnimating(1);
    Play(sprite, 1);
    EXPECT_EQ(sprite.currentFrame, 0) << "no range yet: nothing moves";
    AddFrames(sprite, 3);
    sprite.SetFrameRange(0, 2);  // frames 0 and 1 play; reaching 2 ends the range
    sprite.SetLoopMode(c.mode);
    sprite.SetAnimating(1);
    EXPECT_EQ(Play(sprite, 5), c.frames) << "mode " << c.mode;
    EXPECT_EQ(sprite.animating, c.animatingAfter) << "mode " << c.mode;
  }
}

TEST_F(SpriteTest, RunningBackwardsRestsOnTheFirstFrameOrWraps) {
  Sprite once, looping;
  for (Sprite* sprite : {&once, &looping}) {
    AddFrames(*sprite, 3);
    sprite->SetCurrentFrame(2);
    sprite->frameStep = -1;
    sprite->SetAnimating(1);
  }
  once.SetLoopMode(LoopStop);
  looping.SetLoopMode(LoopRepeat);
  EXPECT_EQ(Play(once, 4), (std::vector<int>{1, 0, 0, 0}));
  EXPECT_EQ(once.animating, 0);
  EXPECT_EQ(Play(looping, 4), (std::vector<int>{1, 0, 2, 1}));
}

TEST_F(SpriteTest, NextFrameIsTimedAndWrapsOnlyWhenAsked) {
  Sprite sprite;
  AddFrames(sprite, 3);
  sprite.SetFrameDelay(30);
  EXPECT_EQ(sprite.NextFrame(), 0) << "the tick count has not passed the next frame time";
  Tick();
  EXPECT_EQ(sprite.NextFrame(), 1);
  for (int i = 0; i < 3; ++i) Tick();
  EXPECT_EQ(sprite.NextFrame(), 0) << "30 ms have not passed";
  Tick();
  EXPECT_EQ(sprite.NextFrame(), 1);
  EXPECT_EQ(sprite.currentFrame, 2);
  // At the ends: without wrap it stays and still counts as a step; with wrap it goes round
  // in either direction.
  const int wraps[][3] = {{0, 1, 2}, {1, 1, 0}, {1, -1, 2}};
  for (const auto& w : wraps) {
    sprite.wrap = w[0];
    sprite.frameStep = w[1];
    for (int i = 0; i < 4; ++i) Tick();
    EXPECT_EQ(sprite.NextFrame(), 1);
    EXPECT_EQ(sprite.currentFrame, w[2]) << "wrap " << w[0] << " step " << w[1];
  }
}

TEST_F(SpriteTest, FramesDecideTheSizeAndSetFrameChecksTheIndex) {
  Sprite sprite;
  AddFrames(sprite, 1, 10, 6);
  sprite.AddFrame(MakeSurface(20, 12).release());
  sprite.AddFrame(nullptr);
  EXPECT_EQ(sprite.width, 20);
  EXPECT_EQ(sprite.height, 12);
  EXPECT_EQ(sprite.FrameCount(), 2);
  EXPECT_EQ(sprite.frames.GetAt(1)->colorKey(), kBlue) << "frames are keyed pure blue";
  EXPECT_EQ(sprite.SetFrame(5), 2);
  EXPECT_EQ(sprite.currentFrame, 0);
  sprite.SetFrame(1);
  EXPECT_EQ(sprite.currentFrame, 1);
  sprite.SetCurrentFrame(7);
  SurfacePtr screen = MakeSurface(8, 8, 0x5555);
  sprite.DrawTo(screen.get());  // out of range: nothing
  EXPECT_EQ(Px(screen.get(), 0, 0), 0x5555);
}

TEST_F(SpriteTest, CentredDrawingTruncatesAndHalvesTheSize) {
  Sprite sprite;
  sprite.AddFrame(MakeSurface(33, 5, 0x0F0F).release());
  sprite.SetCentred(1);
  sprite.x = 100.9f;
  sprite.y = 10.0f;
  SurfacePtr screen = MakeSurface(200, 20, 0);
  sprite.DrawTo(screen.get());
  EXPECT_EQ(Px(screen.get(), 83, 10), 0);
  EXPECT_EQ(Px(screen.get(), 84, 8), 0x0F0F);
  EXPECT_EQ(Px(screen.get(), 116, 12), 0x0F0F);
  EXPECT_EQ(Px(screen.get(), 117, 12), 0);
  RedrawRect* rect = TheRedrawList.pages[0].GetAt(0);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->x, 84);
  EXPECT_EQ(rect->y, 8);
  EXPECT_EQ(rect->width, 33);
  EXPECT_EQ(rect->flags, RedrawDefaultFlags);
}

TEST_F(SpriteTest, DrawPartAndHiddenSpritesStillRecordTheirPlace) {
  Sprite sprite;
  SurfacePtr frame = MakeSurface(8, 8, 0);
  frame->row16(2)[3] = 0x7777;
  sprite.AddFrame(frame.release());
  SurfacePtr screen = MakeSurface(16, 16, 0x1111);
  sprite.SetPosition(100, 100);  // the position plays no part in DrawPart
  sprite.DrawPart(3, 2, 2, 2, screen.get(), 10, 11);
  EXPECT_EQ(Px(screen.get(), 10, 11), 0x7777);
  EXPECT_EQ(Px(screen.get(), 12, 11), 0x1111);
  RedrawRect* rect = TheRedrawList.pages[0].GetAt(0);
  EXPECT_EQ(rect->x * 100 + rect->width, 1002);

  sprite.SetVisible(0);
  sprite.SetPosition(3, 2);
  sprite.DrawTo(screen.get());
  EXPECT_EQ(Px(screen.get(), 3, 4), 0x1111);
  EXPECT_EQ(TheRedrawList.pages[0].Count(), 2) << "hidden, but its place is given back";
  sprite.SetRedrawRegistration(0);
  sprite.DrawTo(screen.get());
  EXPECT_EQ(TheRedrawList.pages[0].Count(), 2);
}

TEST_F(SpriteTest, SharedFramesOutliveTheSprite) {
  SurfacePtr shared = MakeSurface(4, 4);
  {
    Sprite sprite;
    sprite.AddSharedFrame(shared.get());
    EXPECT_EQ(sprite.sharedFrames, 1);
  }
  EXPECT_EQ(shared->AddRef(), 2u) << "the sprite did not release the catalogue's surface";
  shared->Release();
}

TEST_F(SpriteTest, StripsAndTilesFromFiles) {
  GameDir dir;
  WriteBmp(dir.path() / "strip.bmp", 30, 10, [](int x, int) { return x < 10 ? 0xFF0000u : 0x00FF00u; });
  Sprite strip;
  strip.LoadStrip("strip.bmp", 3, 0);
  EXPECT_EQ(strip.FrameCount(), 3);
  EXPECT_EQ(strip.width, 30) << "the whole picture until divided";
  EXPECT_EQ(strip.DivideWidthByFrames(), 10);
  EXPECT_EQ(strip.endFrame, 3);

  Sprite stacked;
  stacked.LoadStrip("strip.bmp", 2, 1);
  EXPECT_EQ(stacked.FrameCount(), 2);
  EXPECT_EQ(stacked.frames.GetAt(0)->height(), 5);

  Sprite tiles;
  tiles.LoadTiles("strip.bmp", 7, 4);
  EXPECT_EQ(tiles.FrameCount(), 8);  // 4 columns by 2 rows, leftovers dropped
  EXPECT_EQ(tiles.width, 7);

  Sprite missing;
  missing.LoadStrip("nothing.bmp", 3, 0);
  EXPECT_EQ(missing.FrameCount(), 0);
  EXPECT_EQ(missing.firstFrame, -1);
  // The airplane is timed by its tile width: a missing picture must not change that.
  missing.LoadTiles("nothing.bmp", 326, 106);
  EXPECT_EQ(missing.width, 326);
  EXPECT_EQ(missing.height, 106);
  EXPECT_EQ(missing.endFrame, 0);
}

TEST_F(SpriteTest, LoadFrameOfAMissingFileShowsOneMessage) {
  GameDir dir;
  Sprite sprite;
  testing::internal::CaptureStderr();
  EXPECT_EQ(sprite.LoadFrame("lost.bmp"), 1);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "ERROR: can't find file!: lost.bmp\n");
  EXPECT_EQ(sprite.FrameCount(), 0);
}

TEST(PictureTest, LoadNamesDrawsKeyedAndKeepsStateOnFailure) {
  GameDir dir;
  WriteBmp(dir.path() / "pic.bmp", 4, 2, [](int x, int) { return x < 2 ? 0x0000FFu : 0xFFFFFFu; });
  Picture picture("pic.bmp");
  ASSERT_NE(picture.GetSurface(), nullptr);
  EXPECT_STREQ(picture.GetName(), "pic.bmp");
  EXPECT_EQ(picture.width, 4);
  picture.SetName("catalogue");
  EXPECT_EQ(picture.Load("missing.bmp"), nullptr);
  EXPECT_STREQ(picture.GetName(), "catalogue");
  EXPECT_NE(picture.GetSurface(), nullptr);

  SurfacePtr screen = MakeSurface(8, 4, 0x3333);
  picture.Draw(screen.get(), 1, 1);
  EXPECT_EQ(Px(screen.get(), 1, 1), 0x3333) << "pure blue is transparent";
  EXPECT_EQ(Px(screen.get(), 3, 1), 0xFFFF);

  picture.Load(nullptr);
  EXPECT_EQ(picture.GetSurface(), nullptr);
  EXPECT_STREQ(picture.GetName(), "");
}

}  // namespace
