// The handoff of pictures from the game's loop to a presenting thread.
#include "platform/video/present_mailbox.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace {

struct Release {
  void operator()(Surface* s) const { s->Release(); }
};
using Picture = std::unique_ptr<Surface, Release>;

Picture Make(int w, int h, int bits = 16) { return Picture(Surface::Create(w, h, bits)); }

void Fill(Surface& s, const Rect& r, uint16_t value) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) s.row16(y)[x] = value;
}

uint16_t At(const std::vector<uint16_t>& p, int width, int x, int y) {
  return p[static_cast<size_t>(y) * width + x];
}

constexpr Rect kAll{0, 0, 8, 4};

TEST(PresentMailbox, ANewerPictureReplacesOneNotYetTakenAndOnlyChangedAreasAreCopied) {
  PresentMailbox box(8, 4);
  Picture p = Make(8, 4);
  Fill(*p, kAll, 1);
  box.Post(*p, {kAll});
  const Rect corner{5, 2, 7, 4};
  Fill(*p, corner, 2);
  box.Post(*p, {corner});

  std::vector<uint16_t> mine;
  PresentMailbox::Delivery d;
  ASSERT_TRUE(box.Take(&mine, &d));
  EXPECT_EQ(d.changed.size(), 2u);
  EXPECT_FALSE(d.repaint);
  EXPECT_EQ(At(mine, 8, 0, 0), 1);
  EXPECT_EQ(At(mine, 8, 6, 3), 2);

  // Later takes bring the taker's copy up to date where the game drew, and nowhere else.
  for (uint16_t& v : mine) v = 9;
  Fill(*p, Rect{0, 0, 1, 1}, 3);
  box.Post(*p, {Rect{0, 0, 1, 1}});
  ASSERT_TRUE(box.Take(&mine, &d));
  ASSERT_EQ(d.changed.size(), 1u);
  EXPECT_EQ(At(mine, 8, 0, 0), 3);
  EXPECT_EQ(At(mine, 8, 1, 0), 9);

  // Areas reaching outside the picture are clipped; many areas waiting fold into one box.
  Fill(*p, kAll, 4);
  box.Post(*p, {Rect{-5, -5, 100, 100}});
  for (int i = 0; i < 40; ++i) box.Post(*p, {Rect{i % 8, i % 4, i % 8 + 1, i % 4 + 1}});
  ASSERT_TRUE(box.Take(&mine, &d));
  EXPECT_LE(d.changed.size(), 32u);
  for (uint16_t v : mine) EXPECT_EQ(v, 4);
}

TEST(PresentMailbox, RepaintsCarryTheWindowSizeAndCloseHandsOutWhatWasPosted) {
  PresentMailbox box(8, 4);
  std::vector<uint16_t> mine;
  PresentMailbox::Delivery d;
  box.RequestRepaint(1280, 1024);
  ASSERT_TRUE(box.Take(&mine, &d));
  EXPECT_TRUE(d.repaint);
  EXPECT_TRUE(d.changed.empty());
  EXPECT_EQ(d.outputWidth, 1280);
  EXPECT_EQ(d.outputHeight, 1024);

  // Posts of nothing, or of a picture of another size or depth, give nothing to take.
  Picture p = Make(8, 4), other = Make(4, 4), paletted = Make(8, 4, 8);
  Fill(*p, kAll, 5);
  box.Post(*p, {});
  box.Post(*other, {Rect{0, 0, 4, 4}});
  box.Post(*paletted, {kAll});
  box.Post(*p, {Rect{2, 2, 2, 3}});  // empty area
  box.Post(*p, {kAll});
  box.Close();
  // The last picture posted before the close is still shown, then the taker stops.
  ASSERT_TRUE(box.Take(&mine, &d));
  EXPECT_FALSE(d.repaint);
  EXPECT_EQ(d.outputWidth, 1280);
  EXPECT_EQ(d.changed.size(), 1u);
  for (uint16_t v : mine) EXPECT_EQ(v, 5);
  EXPECT_FALSE(box.Take(&mine, &d));
}

// The game posts as fast as it can while a taker takes: every picture taken is one the
// game posted whole (never half of two), they only get newer, and the last is taken.
TEST(PresentMailbox, ATakerOnAnotherThreadSeesWholePicturesAndTheLastOne) {
  constexpr int kW = 64, kH = 48, kPictures = 3000;
  PresentMailbox box(kW, kH);
  uint16_t last = 0;
  bool torn = false, older = false;
  std::thread taker([&] {
    std::vector<uint16_t> mine;
    PresentMailbox::Delivery d;
    while (box.Take(&mine, &d)) {
      for (uint16_t v : mine) torn = torn || v != mine[0];
      older = older || mine[0] < last;
      last = mine[0];
    }
  });
  Picture p = Make(kW, kH);
  for (int i = 1; i <= kPictures; ++i) {
    // Half the pictures redraw everything at once, half in two areas.
    Fill(*p, Rect{0, 0, kW, kH}, static_cast<uint16_t>(i));
    if (i % 2)
      box.Post(*p, {Rect{0, 0, kW, kH}});
    else
      box.Post(*p, {Rect{0, 0, kW, kH / 2}, Rect{0, kH / 2, kW, kH}});
  }
  box.Close();
  taker.join();
  EXPECT_FALSE(torn);
  EXPECT_FALSE(older);
  EXPECT_EQ(last, kPictures);
}

}  // namespace
