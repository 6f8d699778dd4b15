// Fitting the fixed-size picture into a window of any size, aspect kept, and mapping
// window positions back to picture pixels.
#pragma once

struct PictureBox {
  int x = 0, y = 0, width = 0, height = 0;
};

// The largest box of the picture's aspect centred in the output.
PictureBox FitPicture(int outputWidth, int outputHeight, int pictureWidth, int pictureHeight);
// The picture pixel under (x, y) of the output, clamped onto the picture.
void OutputToPicture(const PictureBox& box, int x, int y, int pictureWidth, int pictureHeight,
                     int* pictureX, int* pictureY);
