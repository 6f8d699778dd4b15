// The player's sound switches. The options file's "music" and "SFX" say how a run starts;
// M and S turn the music or the effects off and on again until the game is closed. The
// options file stays the player's: nothing here is written back.
#pragma once

// At start-up, once the sound bank is ready: the switches from the options file.
void StartSoundSwitches(int music, int effects);
void ToggleMusic();
void ToggleEffects();
int MusicOn();
int EffectsOn();
// The music reported its end (MM_MCINOTIFY): it starts again while it is switched on.
void MusicEnded();
