// Surface::Blt: copies, refusals, colour keys, stretching and fills.
#include <gtest/gtest.h>

#include "surface_support.h"

namespace {

constexpr uint16_t kBack = 0x7777;

TEST(Blt, CopiesTheSourceRectangleAndNothingElse) {
  auto src = MakeSurface(8, 8), dst = MakeSurface(10, 10);
  FillPattern(*src);
  Clear(*dst, kBack);
  const Rect from{2, 3, 5, 5}, to{6, 7, 9, 9};
  ASSERT_EQ(dst->Blt(&to, src.get(), &from, DDBLT_WAIT, nullptr), DD_OK);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool inside = x >= 6 && x < 9 && y >= 7 && y < 9;
      const uint16_t want = inside ? Px(*src, x - 4, y - 4) : kBack;
      ASSERT_EQ(Px(*dst, x, y), want) << x << "," << y;
    }
}

TEST(Blt, RefusesEmptyInvertedAndOutsideRectanglesWithoutDrawing) {
  auto src = MakeSurface(4, 4), dst = MakeSurface(10, 10);
  FillPattern(*src);
  Clear(*dst, kBack);
  const Rect whole{0, 0, 4, 4};
  const Rect badDst[] = {{3, 3, 3, 7},      {5, 5, 1, 9},  {810, 0, 800, 40}, {-1, 0, 3, 4},
                         {8, 8, 12, 12},    {0, 0, 4, 11}, {2, 6, 6, 2}};
  for (const Rect& r : badDst)
    EXPECT_EQ(dst->Blt(&r, src.get(), &whole, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
  const Rect badSrc[] = {{0, 0, 5, 4}, {-1, 0, 3, 4}, {2, 2, 2, 3}, {3, 0, 1, 4}};
  const Rect to{0, 0, 4, 4};
  for (const Rect& r : badSrc)
    EXPECT_EQ(dst->Blt(&to, src.get(), &r, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
  BltFx fx{};
  fx.fillColor = 1;
  EXPECT_EQ(dst->Blt(&badDst[2], nullptr, nullptr, DDBLT_COLORFILL, &fx), DDERR_INVALIDRECT);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(Px(*dst, x, y), kBack);
}

TEST(Blt, SourceColourKeySkipsKeyedPixelsOnlyWhenAsked) {
  auto src = MakeSurface(6, 2), dst = MakeSurface(6, 2);
  for (int x = 0; x < 6; ++x) src->row16(0)[x] = src->row16(1)[x] = static_cast<uint16_t>(10 + x);
  Clear(*dst, kBack);
  dst->Blt(nullptr, src.get(), nullptr, DDBLT_KEYSRC, nullptr);
  EXPECT_EQ(Px(*dst, 1, 0), 11) << "no key set: a keyed blit copies everything";
  Clear(*dst, kBack);
  SetKey(*src, 11, 13);  // a key range
  const Rect row0{0, 0, 6, 1}, row1{0, 1, 6, 2};
  dst->Blt(&row0, src.get(), &row0, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
  dst->Blt(&row1, src.get(), &row1, DDBLT_WAIT, nullptr);
  const uint16_t want[] = {10, kBack, kBack, kBack, 14, 15};
  for (int x = 0; x < 6; ++x) {
    EXPECT_EQ(Px(*dst, x, 0), want[x]) << x;
    EXPECT_EQ(Px(*dst, x, 1), 10 + x) << "unkeyed blit " << x;
  }
}

TEST(Blt, StretchesWithNearestNeighbour) {
  auto src = MakeSurface(2, 2), big = MakeSurface(4, 6);
  src->row16(0)[0] = 1, src->row16(0)[1] = 2, src->row16(1)[0] = 3, src->row16(1)[1] = 4;
  ASSERT_EQ(big->Blt(nullptr, src.get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 4; ++x) ASSERT_EQ(Px(*big, x, y), (y / 3) * 2 + x / 2 + 1);
  // A keyed stretch leaves the keyed source pixels' area alone.
  SetKey(*src, 1, 1);
  Clear(*big, kBack);
  big->Blt(nullptr, src.get(), nullptr, DDBLT_KEYSRC, nullptr);
  EXPECT_EQ(Px(*big, 1, 2), kBack);
  EXPECT_EQ(Px(*big, 2, 2), 2);
}

TEST(Blt, OverlappingBlitWithinOneSurfaceReadsTheOriginal) {
  auto s = MakeSurface(6, 6);
  FillPattern(*s);
  auto before = MakeSurface(6, 6);
  before->Blt(nullptr, s.get(), nullptr, 0, nullptr);
  const Rect from{0, 0, 4, 4}, to{1, 1, 5, 5};
  ASSERT_EQ(s->Blt(&to, s.get(), &from, 0, nullptr), DD_OK);
  for (int y = 1; y < 5; ++y)
    for (int x = 1; x < 5; ++x) ASSERT_EQ(Px(*s, x, y), Px(*before, x - 1, y - 1));
}

TEST(Blt, ColourFillsRectangleWithTheSurfacesPixelSize) {
  auto s = MakeSurface(5, 4), indexed = MakeIndexed(5, 4);
  Clear(*s, kBack);
  BltFx fx{};
  fx.fillColor = 0x1ABCD;  // only the pixel's bits count
  const Rect r{1, 1, 3, 4};
  ASSERT_EQ(s->Blt(&r, nullptr, nullptr, DDBLT_WAIT | DDBLT_COLORFILL, &fx), DD_OK);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x)
      ASSERT_EQ(Px(*s, x, y), (x >= 1 && x < 3 && y >= 1) ? 0xABCD : kBack);
  ASSERT_EQ(indexed->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
  EXPECT_EQ(indexed->pixels()[indexed->pitch() * 3 + 4], 0xCD);
  EXPECT_EQ(indexed->pixels()[indexed->pitch() * 3 + 5], 0);  // row padding untouched
}

}  // namespace
