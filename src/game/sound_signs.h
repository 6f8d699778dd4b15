// The panel's signs for the music and the effects switched off (M, S).
#pragma once

class Sprite;
class Surface;

// Drawn every frame while a switch is off; once it is on again, the redraw list gives the
// panel back.
void DrawSoundSigns(Sprite* signs, Surface* surface);
