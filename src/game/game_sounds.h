// The game's sound calls in one place, over the sound bank: every sound is played at full
// volume, centred, and its result is not looked at.
#pragma once

void LoadGameSound(const char* file, const char* name);
void PlayGameSound(const char* name);
void FreeGameSounds();
