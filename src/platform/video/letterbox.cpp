#include "platform/video/letterbox.h"

#include <algorithm>
#include <cstdint>

PictureBox FitPicture(int outputWidth, int outputHeight, int pictureWidth, int pictureHeight) {
  PictureBox box;
  if (outputWidth <= 0 || outputHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0)
    return box;
  // Compare the aspects in integers: the wider output gets bars left and right.
  int64_t byWidth = int64_t{outputWidth} * pictureHeight;
  int64_t byHeight = int64_t{outputHeight} * pictureWidth;
  if (byWidth > byHeight) {
    box.height = outputHeight;
    box.width = static_cast<int>(byHeight / pictureHeight);
  } else {
    box.width = outputWidth;
    box.height = static_cast<int>(byWidth / pictureWidth);
  }
  box.x = (outputWidth - box.width) / 2;
  box.y = (outputHeight - box.height) / 2;
  return box;
}

int SharpFactor(int boxSize, int pictureSize) {
  if (boxSize <= pictureSize || pictureSize <= 0) return 1;
  return (boxSize + pictureSize - 1) / pictureSize;
}

SharpTap SharpTapFor(int out, int outSize, int inSize, int factor) {
  // Pixel centres mapped linearly onto the enlarged picture, clamped at its edges.
  const int64_t big = int64_t{inSize} * factor;
  int64_t pos = ((int64_t{2} * out + 1) * big * 256) / (int64_t{2} * outSize) - 128;
  pos = std::clamp<int64_t>(pos, 0, (big - 1) * 256);
  const int64_t cell = pos >> 8;
  const int index = static_cast<int>(cell / factor);
  // Inside one enlarged pixel both neighbours are the same picture pixel: no blend.
  const bool edge = (cell + 1) / factor != index && index + 1 < inSize;
  return SharpTap{index, edge ? static_cast<uint32_t>(pos & 255) : 0u};
}

std::vector<uint32_t> BarShades(const uint32_t* pixels, int width, int height, int pitch) {
  std::vector<uint32_t> rows;
  if (!pixels || width <= 0 || height <= 0) return rows;
  const int margin = std::min(width, 48);
  std::vector<uint32_t> middle(static_cast<size_t>(height));
  std::vector<uint32_t> row(static_cast<size_t>(margin));
  auto light = [](uint32_t p) { return ((p >> 16) & 255) * 3 + ((p >> 8) & 255) * 6 + (p & 255); };
  for (int y = 0; y < height; ++y) {
    const uint32_t* from = pixels + static_cast<size_t>(y) * pitch + (width - margin);
    row.assign(from, from + margin);
    std::nth_element(row.begin(), row.begin() + margin / 2, row.end(),
                     [&](uint32_t a, uint32_t b) { return light(a) < light(b); });
    middle[static_cast<size_t>(y)] = row[static_cast<size_t>(margin / 2)] & 0xFFFFFF;
  }
  constexpr int kReach = 24;
  rows.resize(static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    uint32_t sum[3] = {0, 0, 0}, n = 0;
    for (int k = std::max(0, y - kReach); k <= std::min(height - 1, y + kReach); ++k, ++n)
      for (int c = 0; c < 3; ++c) sum[c] += (middle[static_cast<size_t>(k)] >> (16 - 8 * c)) & 255;
    rows[static_cast<size_t>(y)] = (sum[0] / n) << 16 | (sum[1] / n) << 8 | (sum[2] / n);
  }
  return rows;
}

void OutputToPicture(const PictureBox& box, int x, int y, int pictureWidth, int pictureHeight,
                     int* pictureX, int* pictureY) {
  if (box.width <= 0 || box.height <= 0) {
    *pictureX = *pictureY = 0;
    return;
  }
  int64_t px = (int64_t{x} - box.x) * pictureWidth / box.width;
  int64_t py = (int64_t{y} - box.y) * pictureHeight / box.height;
  if (x < box.x) px = 0;
  if (y < box.y) py = 0;
  *pictureX = static_cast<int>(std::clamp<int64_t>(px, 0, pictureWidth - 1));
  *pictureY = static_cast<int>(std::clamp<int64_t>(py, 0, pictureHeight - 1));
}
