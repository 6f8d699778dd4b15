#include "game/sound_signs.h"

#include <string>

#include "game/small_font.h"
#include "platform/replay/replay.h"
#include "shell/redraw_list.h"
#include "shell/sound_switches.h"
#include "sprites/sprite.h"
#include "surface/surface_helpers.h"

namespace {

// Under the clock, side by side as they lie in their picture: the music's, then the effects'.
constexpr float SignY = 298.0f;
constexpr float MusicSignX = 8.0f, EffectsSignX = 42.0f;
// Below them, across the panel.
constexpr int PlaybackSignX = 1, PlaybackSignY = 338;

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

void DrawPlaybackSign(Picture* plate, const SmallFont* font, Surface* surface) {
  const std::string text = ReplaySign();
  if (text.empty() || !plate || !plate->GetSurface() || !font || !font->Loaded()) return;
  int width = 0, height = 0;
  GetSurfaceSize(plate->GetSurface(), &width, &height);
  plate->Draw(surface, PlaybackSignX, PlaybackSignY);
  // Given back to the panel next frame, so a shorter text leaves nothing of a longer one.
  TheRedrawList.AddScreenRect(PlaybackSignX, PlaybackSignY, PlaybackSignX + width,
                              PlaybackSignY + height, RedrawOneShot, RedrawFromBackground);
  font->Draw(surface, text.c_str(), PlaybackSignX + (width - font->Measure(text.c_str())) / 2,
             PlaybackSignY + (height - font->Height()) / 2, width);
}
