// The balloon colours and the catalogue pictures each one uses.
#pragma once

struct BalloonColourPictures {
  const char* plain;
  const char* star;
  const char* big;
};

// Colour 4 is drawn from the blue pictures but keeps the name Orange in the catalogue.
inline constexpr BalloonColourPictures ColourPictures[5] = {
    {"Red", "RedStar", "BigRed"},
    {"Yellow", "YellowStar", "BigYellow"},
    {"Purple", "PurpleStar", "BigPurple"},
    {"Green", "GreenStar", "BigGreen"},
    {"Orange", "OrangeStar", "BigBlue"},
};
