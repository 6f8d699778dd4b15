// Loading BMP files: depths, palettes, bad files, and the helpers that load and cut them.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "surface_support.h"
#include "test_support.h"
#include "platform/video/bitmap.h"
#include "platform/win32/display/dalk.h"
#include "platform/win32/display/picture_read_ahead.h"
#include "surface/surface_helpers.h"

namespace {

struct Rgb {
  uint8_t r, g, b;
};

// A bottom-up BMP of 8, 24 or 32 bits per pixel. For 8 bits, `pixel` gives the index in
// its red field and `palette` the colours.
std::vector<uint8_t> MakeBmp(int w, int h, int bpp, const std::function<Rgb(int, int)>& pixel,
                             const std::vector<Rgb>& palette = {}) {
  const int rowBytes = ((w * bpp / 8) + 3) & ~3;
  const uint32_t offset = 14 + 40 + 4 * static_cast<uint32_t>(palette.size());
  std::vector<uint8_t> v;
  v.push_back('B');
  v.push_back('M');
  Put32(v, offset + rowBytes * h);
  Put32(v, 0);
  Put32(v, offset);
  Put32(v, 40);
  Put32(v, w);
  Put32(v, h);
  Put16(v, 1);
  Put16(v, bpp);
  Put32(v, 0);  // no compression
  Put32(v, rowBytes * h);
  Put32(v, 2835);
  Put32(v, 2835);
  Put32(v, static_cast<uint32_t>(palette.size()));
  Put32(v, 0);
  for (const Rgb& c : palette) {
    v.push_back(c.b);
    v.push_back(c.g);
    v.push_back(c.r);
    v.push_back(0);
  }
  for (int y = h - 1; y >= 0; --y) {
    const size_t start = v.size();
    for (int x = 0; x < w; ++x) {
      const Rgb c = pixel(x, y);
      if (bpp == 8) {
        v.push_back(c.r);
      } else {
        v.push_back(c.b);
        v.push_back(c.g);
        v.push_back(c.r);
        if (bpp == 32) v.push_back(255);
      }
    }
    v.resize(start + rowBytes, 0);
  }
  return v;
}

class BitmapFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("zorbit_bmp_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path;
  }

  std::filesystem::path dir_;
};

// Colours that survive RGB565 exactly, varied by position.
Rgb Gradient(int x, int y) {
  return Rgb{static_cast<uint8_t>(x * 8), static_cast<uint8_t>(y * 4), 248};
}

TEST_F(BitmapFiles, TrueColourFilesBecomeRgb565) {
  for (int bpp : {24, 32}) {
    const std::string path = Write("true.bmp", MakeBmp(3, 5, bpp, Gradient));
    SurfacePtr s(DalkLoadBitmap(path.c_str(), 16));
    ASSERT_TRUE(s) << bpp;
    EXPECT_EQ(s->width(), 3);
    EXPECT_EQ(s->height(), 5);
    EXPECT_EQ(s->bitsPerPixel(), 16);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 3; ++x) {
        const Rgb c = Gradient(x, y);
        ASSERT_EQ(Px(*s, x, y), MakeSurfaceColor(s.get(), c.r, c.g, c.b)) << x << "," << y;
      }
    EXPECT_EQ(Px(*s, 0, 0), 0x001F) << "near pure blue lands on the key value";
  }
}

// In a window the pictures are read ahead on a thread of their own; every request for one
// as 16 bits gets a copy of its own, and anything else reads the file as before.
TEST_F(BitmapFiles, ReadAheadPicturesAreCopiedForEachRequestAndOnlyAsTheGameAsks) {
  const std::string a = Write("a.bmp", MakeBmp(5, 3, 24, Gradient));
  const std::string b = Write("b.bmp", MakeBmp(4, 4, 24, Gradient));
  const std::string missing = (dir_ / "missing.bmp").string();
  for (int round = 0; round < 2; ++round) {
    StartPictureReadAhead({a, b, missing});
    // At once the thread may not have come to it (then the caller reads it itself), may be
    // reading it (then the caller waits for it) or have read it; later it has read it.
    if (round == 1) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    SurfacePtr taken(TakePictureReadAhead(a, 16));
    if (round == 1) {
      ASSERT_TRUE(taken);
    }
    if (taken) {
      SurfacePtr read(LoadBitmapFromPath(a, 16));
      SurfacePtr again(TakePictureReadAhead(a, 16));
      ASSERT_TRUE(again) << "a second request gets the picture too";
      ASSERT_NE(again.get(), taken.get());
      taken->row16(1)[2] ^= 0xFFFF;  // the game draws into its pictures
      for (const Surface* s : {again.get(), taken.get()}) {
        ASSERT_EQ(s->width(), 5);
        ASSERT_EQ(s->height(), 3);
        for (int y = 0; y < 3; ++y)
          for (int x = 0; x < 5; ++x) {
            if (s == again.get() || x != 2 || y != 1) {
              ASSERT_EQ(Px(*s, x, y), Px(*read, x, y));
            }
          }
      }
    } else {
      EXPECT_EQ(TakePictureReadAhead(a, 16), nullptr) << "what the caller read, it reads again";
    }
    EXPECT_EQ(TakePictureReadAhead(b, 8), nullptr) << "only 16-bit pictures are read ahead";
    EXPECT_EQ(TakePictureReadAhead(missing, 16), nullptr);
    EXPECT_EQ(TakePictureReadAhead((dir_ / "other.bmp").string(), 16), nullptr);
    EndPictureReadAhead();  // what was read goes here
    EXPECT_EQ(TakePictureReadAhead(a, 16), nullptr);
    EXPECT_EQ(TakePictureReadAhead(b, 16), nullptr);
  }
}

TEST_F(BitmapFiles, PalettisedFileKeepsIndicesOrConvertsToRgb) {
  const std::vector<Rgb> palette = {{0, 0, 0}, {255, 0, 0}, {0, 0, 255}, {255, 255, 255}};
  const auto index = [](int x, int y) { return Rgb{static_cast<uint8_t>((x + y) % 4), 0, 0}; };
  const std::string path = Write("pal.bmp", MakeBmp(5, 3, 8, index, palette));

  SurfacePtr indexed(DalkLoadBitmap(path.c_str(), 8));
  ASSERT_TRUE(indexed);
  EXPECT_EQ(indexed->bitsPerPixel(), 8);
  EXPECT_EQ(GetSurfacePixel(indexed.get(), 4, 2), 2u);
  EXPECT_EQ(indexed->palette()->entries[1].red, 255);
  EXPECT_EQ(indexed->palette()->entries[2].blue, 255);

  SurfacePtr rgb(DalkLoadBitmap(path.c_str(), 16));
  ASSERT_TRUE(rgb);
  EXPECT_EQ(Px(*rgb, 1, 0), 0xF800);
  EXPECT_EQ(Px(*rgb, 3, 0), 0xFFFF);

  SurfacePtr converted(LoadPaletteBitmap(path.c_str()));
  ASSERT_TRUE(converted);
  EXPECT_EQ(Px(*converted, 0, 0), 0);  // index 0: transparent
  EXPECT_EQ(Px(*converted, 2, 0), 0x001F);
  EXPECT_EQ(converted->colorKey(), 0u);
}

TEST_F(BitmapFiles, TrueColourFileIsNotPalettised) {
  const std::string path = Write("true.bmp", MakeBmp(2, 2, 24, Gradient));
  EXPECT_EQ(DalkLoadBitmap(path.c_str(), 8), nullptr);
  EXPECT_EQ(LoadPaletteBitmap(path.c_str()), nullptr);
  EXPECT_EQ(DalkLoadBitmap(path.c_str(), 24), nullptr);
}

TEST_F(BitmapFiles, MissingTruncatedAndGarbageFilesGiveNull) {
  const auto good = MakeBmp(16, 16, 24, Gradient);
  std::vector<std::string> bad = {
      (dir_ / "absent.bmp").string(),
      Write("empty.bmp", {}),
      Write("header.bmp", std::vector<uint8_t>(good.begin(), good.begin() + 30)),
      Write("garbage.bmp", std::vector<uint8_t>(500, 0xA5)),
  };
  auto huge = good;
  huge[18] = huge[19] = huge[20] = 0x7F;  // width far beyond the data
  bad.push_back(Write("huge.bmp", huge));
  // A header claiming 1114112 x 131072 pixels must not make the reader allocate them.
  auto giant = good;
  giant[18] = giant[19] = giant[20] = 0, giant[21] = 0;
  giant[20] = 0x11, giant[24] = 0x02, giant[22] = giant[23] = 0;
  bad.push_back(Write("giant.bmp", giant));
  for (const std::string& path : bad) {
    EXPECT_EQ(DalkLoadBitmap(path.c_str(), 16), nullptr) << path;
    EXPECT_EQ(DalkLoadBitmap(path.c_str(), 8), nullptr) << path;
  }
  FrameList list;
  EXPECT_EQ(LoadTiledBitmap(bad[0].c_str(), &list, 34, 21, nullptr), 0);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(DalkLoadBitmap(nullptr, 16), nullptr);
  EXPECT_EQ(DalkLoadBitmap("", 16), nullptr);
  EXPECT_EQ(LoadBitmapFromMemory(good.data(), 40, 16), nullptr);
  SurfacePtr fromMemory(LoadBitmapFromMemory(good.data(), good.size(), 16));
  EXPECT_TRUE(fromMemory);
}

}  // namespace
