// Pictures read ahead for a game in a window. Its start-up reads the pictures one after
// another on the game's thread, after SDL's video start, which mostly waits for the display
// server; a thread of its own reads the ones the game names for its first screen meanwhile,
// in the order it will ask for them and as it asks for them most (16 bits), and every
// request of the game for one gets a copy of it. They are let go once the first picture is
// shown. Headless runs read nothing ahead.
#pragma once

#include <string>
#include <vector>

#include "platform/video/ddraw.h"

// Starts reading the files (host paths) in this order.
void StartPictureReadAhead(std::vector<std::string> paths);
// A copy of the picture read from hostPath, the caller's; null when it was not read ahead
// (the caller reads it itself). Waits for a picture being read at that moment. Called on the
// thread that ends the read-ahead.
Surface* TakePictureReadAhead(const std::string& hostPath, int bitsPerPixel);
// Stops the thread after the picture it is reading and releases the pictures read.
void EndPictureReadAhead();
