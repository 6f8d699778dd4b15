// A notice in a window of our own, for desktops where SDL's message box cannot appear (it
// needs either zenity or X core fonts, and a bare X server has neither).
#pragma once

// Shows the caption and the text (wrapped, "\n" starts a new line) in a small window drawn
// with the game's 8x8 font, until the player closes it, presses a key or clicks. false when
// no window could be made.
bool ShowNoticeWindow(const char* caption, const char* text);
