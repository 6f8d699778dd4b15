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
