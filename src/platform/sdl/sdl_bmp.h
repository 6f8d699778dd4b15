// SDL's BMP reading, for video/bitmap.h.
#pragma once

#include "platform/video/bitmap.h"

BitmapReader SdlBitmapReader();
