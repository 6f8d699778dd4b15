// The game's sound calls over the sound bank.
#include "game/game_sounds.h"

#include "sound/sound_bank.h"

namespace {
constexpr long FullVolume = 0xFFFF;
constexpr long Centre = 0;
}  // namespace

void PlayGameSound(const char* name) { SoundBank::Play(name, FullVolume, Centre); }
