// The panel's signs under the clock: the music and the effects switched off (M, S), and
// while a replay plays, a plate saying so (and whether it is paused or sped up).
#pragma once

class Picture;
class SmallFont;
class Sprite;
class Surface;

// Drawn every frame while a switch is off; once it is on again, the redraw list gives the
// panel back.
void DrawSoundSigns(Sprite* signs, Surface* surface);

// Drawn every frame of a replay on the plate of the pop preview; nothing in a live round.
void DrawPlaybackSign(Picture* plate, const SmallFont* font, Surface* surface);
