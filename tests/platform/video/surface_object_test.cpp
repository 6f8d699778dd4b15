// The surface object: creation, description, locks, keys, palettes, references, swapping.
#include <gtest/gtest.h>

#include <algorithm>

#include "surface_support.h"
#include "platform/win32/display/dalk.h"

namespace {

TEST(Surface, CreationRefusesUnusableSizesAndFormats) {
  EXPECT_EQ(Surface::Create(0, 5, 16), nullptr);
  EXPECT_EQ(Surface::Create(5, -1, 16), nullptr);
  EXPECT_EQ(Surface::Create(5, 5, 24), nullptr);
  EXPECT_EQ(Surface::Create(1 << 20, 1 << 20, 16), nullptr);
  auto odd = MakeSurface(3, 2);
  ASSERT_TRUE(odd);
  EXPECT_GE(odd->pitch(), 6);
  EXPECT_EQ(odd->pitch() % 4, 0);
}

TEST(Surface, LockPointsAtTheRectangleAndUnlockBalances) {
  auto s = MakeSurface(10, 10);
  FillPattern(*s);
  SurfaceDesc d{};
  const Rect r{3, 2, 6, 5};
  ASSERT_EQ(s->Lock(&r, &d, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(*static_cast<uint16_t*>(d.memory), Px(*s, 3, 2));
  EXPECT_EQ(d.pitch, s->pitch());
  EXPECT_EQ(s->Unlock(nullptr), DD_OK);
  EXPECT_EQ(s->Unlock(nullptr), DDERR_NOTLOCKED);
  const Rect outside{8, 8, 11, 9};
  EXPECT_EQ(s->Lock(&outside, &d, DDLOCK_WAIT, nullptr), DDERR_INVALIDRECT);
  EXPECT_EQ(s->Lock(nullptr, nullptr, DDLOCK_WAIT, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(s->Unlock(nullptr), DDERR_NOTLOCKED);  // failed locks count for nothing
}

TEST(Surface, ReferenceCountsAndPaletteLifetime) {
  Surface* s = Surface::Create(4, 4, 8);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->AddRef(), 2u);
  EXPECT_EQ(s->Release(), 1u);
  Palette* p = nullptr;
  ASSERT_EQ(s->GetPalette(&p), DD_OK);
  p->entries[3].red = 200;
  EXPECT_EQ(s->Release(), 0u);  // the surface is gone; our palette reference holds
  PaletteEntry e[4];
  ASSERT_EQ(p->GetEntries(0, 0, 4, e), DD_OK);
  EXPECT_EQ(e[3].red, 200);
  EXPECT_EQ(p->GetEntries(0, 250, 7, e), DDERR_INVALIDPARAMS);
  EXPECT_EQ(p->Release(), 0u);

  auto rgb = MakeSurface(2, 2);
  EXPECT_EQ(rgb->GetPalette(&p), DDERR_NOPALETTEATTACHED);
  EXPECT_EQ(p, nullptr);
}

void ExpectRgb565(Surface* s) {
  SurfaceDesc d{};
  ASSERT_EQ(s->GetSurfaceDesc(&d), DD_OK);
  int r, g, b, a;
  DalkGetRGBABits(&d.pixelFormat, &r, &g, &b, &a);
  EXPECT_EQ(r * 1000 + g * 100 + b * 10 + a, 5650);
}

TEST(DirectDraw, CreatesDisplayFormatOrAskedForPalettisedSurfaces) {
  DirectDraw* dd = DalkGetLPDD();
  ASSERT_NE(dd, nullptr);
  SurfaceDesc d{};
  d.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  d.caps = DDSCAPS_OFFSCREENPLAIN;
  d.width = 12;
  d.height = 5;
  Surface* s = nullptr;
  ASSERT_EQ(dd->CreateSurface(&d, &s, nullptr), DD_OK);
  SurfacePtr owned(s);
  EXPECT_EQ(s->bitsPerPixel(), 16);
  EXPECT_EQ(s->width(), 12);
  ExpectRgb565(s);

  d.flags |= DDSD_PIXELFORMAT;
  d.pixelFormat.bitsPerPixel = 8;
  ASSERT_EQ(dd->CreateSurface(&d, &s, nullptr), DD_OK);
  SurfacePtr indexed(s);
  EXPECT_EQ(s->bitsPerPixel(), 8);

  d.pixelFormat.bitsPerPixel = 32;
  EXPECT_NE(dd->CreateSurface(&d, &s, nullptr), DD_OK);
  EXPECT_EQ(s, nullptr);
  d.flags = DDSD_WIDTH;  // no height given
  EXPECT_NE(dd->CreateSurface(&d, &s, nullptr), DD_OK);
}

}  // namespace

TEST(Surface, TrackedSurfacesKeepWhereTheyWereDrawnOnAndSwapItWithThePixels) {
  Surface* a = Surface::Create(100, 50, 16);
  Surface* b = Surface::Create(100, 50, 16);
  BltFx fx;
  Rect area{10, 10, 20, 20};
  a->Blt(&area, nullptr, nullptr, DDBLT_COLORFILL, &fx);
  EXPECT_TRUE(a->TakeDamage().empty());  // untracked surfaces note nothing
  a->TrackDamage(true);
  b->TrackDamage(true);
  a->Blt(&area, nullptr, nullptr, DDBLT_COLORFILL, &fx);
  Rect refused{-5, 0, 10, 10};
  a->Blt(&refused, nullptr, nullptr, DDBLT_COLORFILL, &fx);  // not drawn, not noted
  a->NoteDamage(Rect{90, 40, 200, 200});                     // clipped to the surface
  a->SwapContents(*b);
  EXPECT_TRUE(a->TakeDamage().empty());
  std::vector<Rect> noted = b->TakeDamage();
  ASSERT_EQ(noted.size(), 2u);
  std::sort(noted.begin(), noted.end(), [](const Rect& l, const Rect& r) { return l.left < r.left; });
  EXPECT_EQ(noted[0].left, 10);
  EXPECT_EQ(noted[1].right, 100);
  EXPECT_EQ(noted[1].bottom, 50);
  EXPECT_TRUE(b->TakeDamage().empty());
  // An area drawn again, or inside one already noted, is noted once; a larger one takes
  // the place of those it holds.
  a->NoteDamage(Rect{10, 10, 20, 20});
  a->NoteDamage(Rect{10, 10, 20, 20});
  a->NoteDamage(Rect{12, 12, 15, 15});
  a->NoteDamage(Rect{30, 30, 31, 31});
  a->NoteDamage(Rect{0, 0, 20, 20});
  noted = a->TakeDamage();
  ASSERT_EQ(noted.size(), 2u);
  EXPECT_EQ(noted[0].left, 30);
  EXPECT_EQ(noted[1].right, 20);
  EXPECT_EQ(noted[1].top, 0);
  // Hundreds of scattered areas: the list stays bounded, every drawn pixel stays inside
  // one of its areas, and far apart areas are not joined into a box around them all.
  std::vector<Rect> drawn;
  for (int i = 0; i < 1000; ++i) {
    const int x = (i % 50) * 2, y = i / 50 * 2 + i % 2;
    drawn.push_back(Rect{x, y, x + 1, y + 1});
    a->NoteDamage(drawn.back());
  }
  noted = a->TakeDamage();
  ASSERT_LE(noted.size(), 256u);
  int64_t covered = 0;
  for (const Rect& r : noted) covered += int64_t{r.right - r.left} * (r.bottom - r.top);
  EXPECT_LT(covered, 100 * 50 / 2);
  for (const Rect& d : drawn) {
    bool inside = false;
    for (const Rect& r : noted)
      inside |= r.left <= d.left && r.top <= d.top && r.right >= d.right && r.bottom >= d.bottom;
    EXPECT_TRUE(inside) << d.left << "," << d.top;
  }
  a->Release();
  b->Release();
}
