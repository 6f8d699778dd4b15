#include "shell/sound_switches.h"

#include "platform/win32/sound/mmsystem.h"
#include "shell/app.h"
#include "sound/sound_bank.h"

namespace {

int musicOn = 0;
int effectsOn = 0;

// "repeat" loops the tune inside the player, without the gap a restart would leave;
// "notify" still reports a file that stops for good, so it can be opened again.
void StartMusic() {
  mciSendString("open .\\sounds\\music.mp3 alias music", nullptr, 0, nullptr);
  mciSendString("play music repeat notify", nullptr, 0, MainWindow);
}

}  // namespace

void StartSoundSwitches(int music, int effects) {
  musicOn = music;
  effectsOn = effects;
  SoundBank::EnableMusic(music);
  SoundBank::EnableSFX(effects);
  if (music) StartMusic();
}

void ToggleMusic() {
  musicOn = !musicOn;
  SoundBank::EnableMusic(musicOn);
  if (!musicOn) {
    mciSendString("pause music", nullptr, 0, nullptr);
  } else if (mciSendString("resume music", nullptr, 0, nullptr) != 0) {
    StartMusic();  // switched off in the options file: it was never opened
  }
}

void ToggleEffects() {
  effectsOn = !effectsOn;
  SoundBank::EnableSFX(effectsOn);
}

int MusicOn() { return musicOn; }
int EffectsOn() { return effectsOn; }

void MusicEnded() {
  mciSendString("close music", nullptr, 0, nullptr);
  if (musicOn) StartMusic();
}
