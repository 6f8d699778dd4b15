// What the harness and the tests see of the display library.
#pragma once

#include "platform/video/shown_diff.h"

// The picture the last DalkFlip showed (empty before the first).
const ShownPicture& LastShownPicture();
// Back to the state before DalkInitDirectX (frees what a run left behind).
void ResetDisplay();
