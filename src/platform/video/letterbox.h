// Fitting the fixed-size picture into a window of any size, aspect kept, and mapping
// window positions back to picture pixels.
#pragma once

#include <cstdint>
#include <vector>

struct PictureBox {
  int x = 0, y = 0, width = 0, height = 0;
};

// The largest box of the picture's aspect centred in the output.
PictureBox FitPicture(int outputWidth, int outputHeight, int pictureWidth, int pictureHeight);
// The whole factor the picture is first enlarged by, nearest-neighbour, before a linear
// filter takes it to the box: the factor at or above the box's scale, so that filter only
// ever shrinks, by less than one step, and a picture pixel stays sharp up to its edges.
int SharpFactor(int boxSize, int pictureSize);
// Where an output pixel of a box outSize wide samples a picture inSize wide, enlarged by the
// factor: the picture index and the weight (of 256) of the next one.
struct SharpTap {
  int index;
  uint32_t weight;
};
SharpTap SharpTapFor(int out, int outSize, int inSize, int factor);
// One colour (0xRRGGBB) a row for the bars beside a picture, from a background of that many
// rows (pixels 0xXXRRGGBB, pitch in pixels): the middle colour of its right margin, softened
// from row to row so that a cloud there leaves no stripe.
std::vector<uint32_t> BarShades(const uint32_t* pixels, int width, int height, int pitch);

// The picture pixel under (x, y) of the output, clamped onto the picture.
void OutputToPicture(const PictureBox& box, int x, int y, int pictureWidth, int pictureHeight,
                     int* pictureX, int* pictureY);
