#include "game/sound_signs.h"

#include "shell/sound_switches.h"
#include "sprites/sprite.h"

namespace {

// Under the clock, side by side as they lie in their picture: the music's, then the effects'.
constexpr float SignY = 298.0f;
constexpr float MusicSignX = 8.0f, EffectsSignX = 42.0f;

void DrawSign(Sprite* signs, int frame, float x, Surface* surface) {
  signs->SetCurrentFrame(frame);
  signs->x = x;
  signs->y = SignY;
  signs->DrawTo(surface);
}

}  // namespace

void DrawSoundSigns(Sprite* signs, Surface* surface) {
  if (!signs) return;
  if (!MusicOn()) DrawSign(signs, 0, MusicSignX, surface);
  if (!EffectsOn()) DrawSign(signs, 1, EffectsSignX, surface);
}
