// The surface helpers: colours, pixels, fills, centring, tiles, clipped blits, palettes.
#include "surface/surface_helpers.h"

#include <gtest/gtest.h>

#include "surface/color_value.h"
#include "surface_support.h"

namespace {

using surface_detail::ColorValue;
using surface_detail::FieldWidths;

TEST(SurfaceColor, BuildsValuesFromFieldWidths) {
  auto s = MakeSurface(1, 1), indexed = MakeIndexed(1, 1);
  EXPECT_EQ(MakeSurfaceColor(s.get(), 255, 255, 255), 0xFFFF);
  EXPECT_EQ(MakeSurfaceColor(s.get(), 0, 0, 255), 0x001F);
  EXPECT_EQ(MakeSurfaceColor(s.get(), 8, 4, 8), 0x0821);  // 1 in every field
  EXPECT_EQ(ColorValue(FieldWidths{5, 5, 5}, 255, 255, 255), 0x7FFF);
  // Out-of-range channels are held to 0..255 rather than spilling into other fields.
  EXPECT_EQ(MakeSurfaceColor(s.get(), 0, 0, 300), 0x001F);
  EXPECT_EQ(MakeSurfaceColor(s.get(), -5, 0, 0), 0);
  EXPECT_EQ(MakeSurfaceColor(indexed.get(), 255, 255, 255), 0);
}

TEST(SurfaceHelpers, OffscreenSurfacesStartWithKeyZeroAndFillsKeepPixelBits) {
  SurfacePtr s(CreateOffscreenSurface(30, 20));
  ASSERT_TRUE(s);
  EXPECT_TRUE(s->hasColorKey());
  EXPECT_EQ(s->colorKey(), 0u);
  EXPECT_EQ(CreateOffscreenSurface(0, 20), nullptr);
  FillSurfaceRGB(s.get(), 255, 0, 0);
  EXPECT_EQ(Px(*s, 29, 19), 0xF800);
  FillSurface(s.get(), 0x12345);
  EXPECT_EQ(Px(*s, 0, 0), 0x2345);
}

TEST(SurfacePixel, ReadsAndWritesBothDepthsAndLeavesTheSurfaceUnlocked) {
  auto s = MakeSurface(5, 5);
  Clear(*s, 0);
  EXPECT_EQ(SetSurfacePixel(s.get(), 4, 4, 0x1ABCD), 0u);
  EXPECT_EQ(SetSurfacePixel(s.get(), 4, 4, 7), 0xABCDu);
  EXPECT_EQ(GetSurfacePixel(s.get(), 4, 4), 7u);
  EXPECT_EQ(s->Unlock(nullptr), DDERR_NOTLOCKED);

  auto indexed = MakeIndexed(5, 2);
  indexed->pixels()[indexed->pitch() + 3] = 250;
  EXPECT_EQ(GetSurfacePixel(indexed.get(), 3, 1), 250u);
  // A write to the last pixel of a row stays on that pixel.
  EXPECT_EQ(SetSurfacePixel(indexed.get(), 4, 0, 0x1234), 0u);
  EXPECT_EQ(indexed->pixels()[4], 0x34);
  EXPECT_EQ(indexed->pixels()[5], 0);
}

TEST(SurfacePixel, CoordinatesOutsideTheSurfaceTouchNothing) {
  auto s = MakeSurface(4, 3);
  Clear(*s, 0x5555);
  const int bad[][2] = {{-1, 0}, {0, -1}, {4, 0}, {0, 3}, {100000, 100000}};
  for (const auto& p : bad) {
    EXPECT_EQ(GetSurfacePixel(s.get(), p[0], p[1]), 0u);
    EXPECT_EQ(SetSurfacePixel(s.get(), p[0], p[1], 1), 0u);
  }
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) ASSERT_EQ(Px(*s, x, y), 0x5555);
  EXPECT_EQ(GetSurfacePixel(nullptr, 0, 0), 0u);
  SurfaceDesc d{};
  d.width = 99;
  EXPECT_EQ(LockSurface(nullptr, &d), nullptr);
  EXPECT_EQ(d.width, 0) << "a failed lock gives a zeroed description";
  EXPECT_EQ(s->Unlock(nullptr), DDERR_NOTLOCKED);
}

TEST(SurfaceHelpers, CentreSurfaceRect) {
  auto s = MakeSurface(100, 50), odd = MakeSurface(3, 3);
  Rect r{};
  CentreSurfaceRect(s.get(), 0, 0, 800, 600, &r);
  EXPECT_EQ(r.left, 350);
  EXPECT_EQ(r.top, 275);
  EXPECT_EQ(r.right, 450);
  EXPECT_EQ(r.bottom, 325);
  CentreSurfaceRect(odd.get(), 10, 20, 5, 5, &r);  // halves round toward zero
  EXPECT_EQ(r.left, 11);
  EXPECT_EQ(r.top, 21);
  EXPECT_EQ(r.right, 14);
}

// A source whose every pixel tells where it came from: value = y * 256 + x + 1.
SurfacePtr Numbered(int w, int h) {
  auto s = MakeSurface(w, h);
  FillPattern(*s);
  return s;
}

TEST(SplitSurface, CutsRowMajorTilesAndDropsLeftovers) {
  struct Case {
    int w, h, tw, th, tiles, columns;
  } cases[] = {{340, 21, 34, 21, 10, 10}, {350, 30, 34, 21, 10, 10}, {20, 21, 34, 21, 0, 0},
               {6, 4, 2, 2, 6, 3}};
  for (const Case& c : cases) {
    auto source = Numbered(c.w, c.h);
    FrameList list;
    int columns = -1;
    EXPECT_EQ(SplitSurface(source.get(), &list, c.tw, c.th, &columns), 1);
    EXPECT_EQ(list.Count(), c.tiles) << c.w << "x" << c.h;
    EXPECT_EQ(columns, c.columns);
    for (int i = 0; i < list.Count(); ++i) {
      Surface* tile = list.GetAt(i);
      const int x0 = (i % c.columns) * c.tw, y0 = (i / c.columns) * c.th;
      EXPECT_EQ(tile->width() * 1000 + tile->height(), c.tw * 1000 + c.th);
      EXPECT_EQ(Px(*tile, 0, 0), Px(*source, x0, y0)) << "tile " << i;
      EXPECT_EQ(Px(*tile, c.tw - 1, c.th - 1), Px(*source, x0 + c.tw - 1, y0 + c.th - 1));
      EXPECT_EQ(tile->colorKey(), 0x001Fu);
    }
    list.DeleteAll();
  }
}

TEST(SplitSurface, RefusesUnusableTileSizesAndMissingArguments) {
  auto source = Numbered(8, 8);
  FrameList list;
  EXPECT_EQ(SplitSurface(source.get(), &list, 0, 4, nullptr), 0);
  EXPECT_EQ(SplitSurface(nullptr, &list, 4, 4, nullptr), 0);
  EXPECT_EQ(SplitSurface(source.get(), nullptr, 4, 4, nullptr), 0);
  EXPECT_EQ(list.Count(), 0);
}

TEST(ClippedBlt, ClipsAtEveryEdge) {
  auto source = Numbered(40, 40), screen = MakeSurface(800, 600);
  Clear(*screen, 0x7777);
  ClippedBlt(source.get(), screen.get(), -10, 580, DDBLT_WAIT);
  EXPECT_EQ(Px(*screen, 0, 580), Px(*source, 10, 0));
  EXPECT_EQ(Px(*screen, 29, 599), Px(*source, 39, 19));
  EXPECT_EQ(Px(*screen, 30, 590), 0x7777);
  EXPECT_EQ(Px(*screen, 5, 579), 0x7777);

  ClippedBlt(source.get(), screen.get(), 780, -30, DDBLT_WAIT);
  EXPECT_EQ(Px(*screen, 780, 0), Px(*source, 0, 30));
  EXPECT_EQ(Px(*screen, 799, 9), Px(*source, 19, 39));
  EXPECT_EQ(Px(*screen, 779, 0), 0x7777);
  EXPECT_EQ(Px(*screen, 780, 10), 0x7777);
}

TEST(ClippedBlt, WhollyOutsideDrawsNothing) {
  auto source = Numbered(40, 40), screen = MakeSurface(800, 600);
  Clear(*screen, 0x7777);
  const int places[][2] = {{810, 0}, {-40, 0}, {0, 600}, {0, -45}, {-100, -100}};
  for (const auto& p : places) ClippedBlt(source.get(), screen.get(), p[0], p[1], -1);
  ClippedBltRect(source.get(), 0, 0, 10, 10, screen.get(), 800, 0, -1);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) ASSERT_EQ(Px(*screen, x, y), 0x7777);
}

TEST(ClippedBltRect, TakesTheSourceRectangleAndClipsIt) {
  auto source = Numbered(40, 40), screen = MakeSurface(100, 100);
  Clear(*screen, 0x7777);
  ClippedBltRect(source.get(), 10, 20, 15, 10, screen.get(), -5, 95, DDBLT_WAIT);
  // The visible part is source (15, 20)-(25, 25) at screen (0, 95)-(10, 100).
  EXPECT_EQ(Px(*screen, 0, 95), Px(*source, 15, 20));
  EXPECT_EQ(Px(*screen, 9, 99), Px(*source, 24, 24));
  EXPECT_EQ(Px(*screen, 10, 95), 0x7777);
  // -1 means a keyed blit; other flags are used as given.
  SetKey(*source, Px(*source, 0, 0), Px(*source, 0, 0));
  Clear(*screen, 0x7777);
  ClippedBltRect(source.get(), 0, 0, 2, 1, screen.get(), 0, 0, -1);
  ClippedBltRect(source.get(), 0, 0, 2, 1, screen.get(), 2, 0, DDBLT_WAIT);
  const uint16_t want[] = {0x7777, Px(*source, 1, 0), Px(*source, 0, 0), Px(*source, 1, 0)};
  for (int x = 0; x < 4; ++x) EXPECT_EQ(Px(*screen, x, 0), want[x]) << x;
  // A source rectangle reaching past the source is refused whole.
  Clear(*screen, 0x7777);
  ClippedBltRect(source.get(), 30, 0, 20, 5, screen.get(), 0, 0, DDBLT_WAIT);
  EXPECT_EQ(Px(*screen, 0, 0), 0x7777);
}

TEST(BlitToBothBuffers, StretchesTheWholeSourceOverTheDestination) {
  auto picture = MakeSurface(2, 1), screen = MakeSurface(8, 6);
  picture->row16(0)[0] = 0x001F, picture->row16(0)[1] = 0x0042;
  SetKey(*picture, 0x001F, 0x001F);  // a plain blit: the key does not apply
  BlitToBothBuffers(screen.get(), picture.get());
  EXPECT_EQ(Px(*screen, 0, 0), 0x001F);
  EXPECT_EQ(Px(*screen, 3, 5), 0x001F);
  EXPECT_EQ(Px(*screen, 4, 0), 0x0042);
  EXPECT_EQ(Px(*screen, 7, 5), 0x0042);
}

TEST(ConvertPaletteSurface, MapsIndicesThroughThePalette) {
  auto indexed = MakeIndexed(4, 2);
  PaletteEntry* p = indexed->palette()->entries;
  p[0] = {255, 255, 255, 0};  // index 0 stays transparent whatever its colour
  p[1] = {0, 0, 0, 0};        // black that is not index 0 must not become transparent
  p[2] = {0, 0, 255, 0};
  p[3] = {255, 255, 255, 0};
  p[4] = {7, 3, 7, 0};  // rounds down to 0
  const uint8_t indices[] = {0, 1, 2, 3, 4, 3, 2, 1};
  for (int i = 0; i < 8; ++i) indexed->pixels()[(i / 4) * indexed->pitch() + i % 4] = indices[i];
  SurfacePtr rgb(ConvertPaletteSurface(indexed.get()));
  ASSERT_TRUE(rgb);
  EXPECT_EQ(rgb->bitsPerPixel(), 16);
  const uint16_t want[] = {0, 1, 0x001F, 0xFFFF, 1, 0xFFFF, 0x001F, 1};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(Px(*rgb, i % 4, i / 4), want[i]) << i;
  EXPECT_TRUE(rgb->hasColorKey());
  EXPECT_EQ(rgb->colorKey(), 0u);
  EXPECT_EQ(indexed->Unlock(nullptr), DDERR_NOTLOCKED);
  EXPECT_EQ(rgb->Unlock(nullptr), DDERR_NOTLOCKED);
  EXPECT_EQ(ConvertPaletteSurface(rgb.get()), nullptr) << "no palette";
}

}  // namespace
