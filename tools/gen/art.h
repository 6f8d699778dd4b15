// The game's pictures: palette, shared drawing and one maker per group of files.
#pragma once

#include "canvas.h"
#include "text.h"

#include <string>
#include <vector>

namespace gen {

// One picture file of the game's data; path relative to the data folder, '/' separated.
struct Picture {
    std::string path;
    Canvas art;
};

// The five balloon colours in the board's colour order (index 4 is drawn blue).
struct BalloonLook {
    const char* name;  // file stem: "red", "yellow", "purple", "green", "blue"
    Color base, dark, light, mark;
};
const BalloonLook& balloonLook(int colour);
constexpr int kColours = 5;

// The sky behind everything and the friendly outline colour used across the art.
Color skyTop();
Color skyBottom();
Color inkColor();

// A balloon of the board's cell shape scaled by s, its cell's top-left at origin.
void drawBalloon(Canvas& c, Vec origin, float s, int colour, bool star, bool withMark = true);
// The colour's own symbol (for colour-blind players), centred at c with the given half-size.
void drawMark(Canvas& c, int colour, Vec centre, float size, Color fill);
void drawStar(Canvas& c, Vec centre, float outer, Color edge);
void drawPuffCloud(Canvas& c, Box area, Color fill, Color shade, Color rim);
// A rounded card with a border and soft drop shadow, the base of every notice.
void drawCard(Canvas& c, Box box, float radius, Color top, Color bottom, Color border);
void drawSparkle(Canvas& c, Vec centre, float size, Color fill);

// The play screen's background, as "background.bmp" holds it.
Canvas makeBackground();
// Where the board's window sits on it, white frame and all: the pause page covers this.
struct PageBox {
    int x, y, width, height;
};
constexpr PageBox kBoardWindow{148, 1, 588, 572};

void addBalloonPictures(std::vector<Picture>& out);
void addScenePictures(std::vector<Picture>& out);
void addNoticePictures(std::vector<Picture>& out);
void addHelpPicture(std::vector<Picture>& out);
void addSoundSignPictures(std::vector<Picture>& out);
// "halloffame.bmp", "hallmark.bmp", "preview.bmp" and "smallfont.bmp".
void addHallPictures(std::vector<Picture>& out);

// Where the game writes on the hall-of-fame card (the game keeps the same numbers).
struct HallCardLayout {
    int width, height, firstRow, rowHeight, rankRight, scoreRight, nameLeft;
};
constexpr HallCardLayout kHallCard{480, 560, 78, 22, 64, 196, 222};
struct PlateSize {
    int width, height;
};
constexpr PlateSize kPreviewPlate{84, 24};
// "scorefont.bmp": ten digits and a comma, each in a cell this wide.
constexpr int kScoreDigitWidth = 9;
struct SmallFontLayout {
    int cellWidth, height;
};
constexpr SmallFontLayout kSmallFont{14, 16};

// The rules page's words, one heading and paragraph a rule, in the page's order.
struct HelpRule {
    const char* heading;
    const char* text;
};
std::vector<HelpRule> helpRules();
// What the game-over panels say at their foot: they close by themselves after a moment.
extern const char* const kGameOverHint;

// Pieces shared by the scene, the notices and the rules page.
Canvas makeCloudButtonFrame(int width, int state);
Canvas makeTimerFrame(int frame);

} // namespace gen
