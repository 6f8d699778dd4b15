// The shell's calls into the game's sound bank.
#include "shell/game_links.h"
#include "sound/sound_bank.h"

void StartSoundBank(HWND window, int maxSamples) { SoundBank::Init(window, maxSamples); }
void EnableGameMusic(int on) { SoundBank::EnableMusic(on); }
void EnableGameSFX(int on) { SoundBank::EnableSFX(on); }
void ShutdownSoundBank() { SoundBank::Exit(); }
