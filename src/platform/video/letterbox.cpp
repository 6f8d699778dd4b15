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
