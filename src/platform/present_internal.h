// What the harness and the tests see of the display library.
#pragma once

#include <cstdint>
#include <vector>

struct ShownPicture {
  int width = 0, height = 0;
  std::vector<uint16_t> pixels;  // RGB565, row after row
};

// The picture the last DalkFlip showed (empty before the first).
const ShownPicture& LastShownPicture();
// Back to the state before DalkInitDirectX (frees what a run left behind).
void ResetDisplay();
// Called by DalkFlip after each present (the script player's screenshots and dumps).
void HarnessAfterPresent();
