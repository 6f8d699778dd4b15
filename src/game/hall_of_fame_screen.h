// The hall-of-fame screen: the 20 entries of the table over the game, the current player's
// rows marked. Opened by a click on the HIGH SCORE card or F2; closed by a click, Escape,
// F2, or the keyboard's or pad's pop. It only reads the table.
#pragma once

class HighScoreTable;
class Sprite;
class SmallFont;
class Surface;

// Writes the table onto the card: ranks and scores with the digits, names with the font;
// rows whose text is the current player's entry text get the mark first.
void WriteHallOfFame(Surface* card, Surface* mark, const HighScoreTable& table,
                     const char* currentEntry, Sprite* digits, const SmallFont& font);

// Shows the screen modally. 0 when the application is closing.
int ShowHallOfFame();
// Keys the game takes before the shell: F2 opens the screen (on the next frame), and while
// it is open Escape and F2 close it instead of doing what they do in play. 1 when taken.
int HallOfFameKeyUp(int virtualKey);
// 1 once after F2 asked for the screen.
int TakeHallOfFameRequest();
// The screen while it is open, else null.
class DialogScreen;
DialogScreen* OpenHallOfFame();
