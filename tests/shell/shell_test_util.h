// Helpers shared by the shell and sprite tests: a scratch folder to run in, small BMP files,
// owned surfaces (from surface_support.h), and a clean state of the global singletons between tests.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "surface_support.h"
#include "test_support.h"

namespace shelltest {

constexpr uint16_t Rgb565(int r, int g, int b) {
  return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}
constexpr uint16_t kBlue = Rgb565(0, 0, 255);

// A folder of its own under the system's temporary folder, made the working folder while
// the object lives (game paths are relative to it).
class GameDir {
 public:
  GameDir() : dir_(std::filesystem::path(root_.path()) / "game"), old_(std::filesystem::current_path()) {
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
  }
  ~GameDir() { std::filesystem::current_path(old_); }
  const std::filesystem::path& path() const { return dir_; }

 private:
  ScratchDir root_;
  std::filesystem::path dir_, old_;
};

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path().empty() ? "." : path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// A 24-bit BMP whose pixels come from colour(x, y) as 0xRRGGBB.
inline void WriteBmp(const std::filesystem::path& path, int w, int h,
                     const std::function<uint32_t(int, int)>& colour) {
  const int rowBytes = (w * 3 + 3) & ~3;
  const uint32_t dataSize = static_cast<uint32_t>(rowBytes * h);
  std::vector<uint8_t> file(54 + dataSize, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(w));
  put32(22, static_cast<uint32_t>(h));
  file[26] = 1;
  file[28] = 24;
  put32(34, dataSize);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = &file[54 + static_cast<size_t>(h - 1 - y) * rowBytes];
    for (int x = 0; x < w; ++x) {
      uint32_t c = colour(x, y);
      row[x * 3 + 0] = static_cast<uint8_t>(c);
      row[x * 3 + 1] = static_cast<uint8_t>(c >> 8);
      row[x * 3 + 2] = static_cast<uint8_t>(c >> 16);
    }
  }
  std::filesystem::create_directories(path.parent_path().empty() ? "." : path.parent_path());
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

inline void WriteSolidBmp(const std::filesystem::path& path, int w, int h, uint32_t rgb) {
  WriteBmp(path, w, h, [rgb](int, int) { return rgb; });
}

}  // namespace shelltest
