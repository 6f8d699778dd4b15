// The surface object: creation, description, locks, keys, palettes, references, swapping.
#include <gtest/gtest.h>

#include "platform/dalk.h"
#include "../surface/surface_test_util.h"

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
  EXPECT_EQ(noted[0].left, 10);
  EXPECT_EQ(noted[1].right, 100);
  EXPECT_EQ(noted[1].bottom, 50);
  EXPECT_TRUE(b->TakeDamage().empty());
  // Past a few dozen areas one box holds them all.
  for (int i = 0; i < 100; ++i) a->NoteDamage(Rect{i, i / 2, i + 1, i / 2 + 1});
  noted = a->TakeDamage();
  ASSERT_LT(noted.size(), 100u);
  EXPECT_EQ(noted.front().left, 0);
  EXPECT_EQ(noted.front().top, 0);
  EXPECT_GE(noted.front().right, 64);
  EXPECT_EQ(noted.back().right, 100);
  a->Release();
  b->Release();
}
