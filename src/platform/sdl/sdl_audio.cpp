// The real audio device: SDL pulls blocks of at most 512 frames from the mixer, so a
// sound starts within about a dozen milliseconds of its Play. Opened on a thread of its
// own (see audio_device.cpp), so nothing here may touch the game's state.
#include <SDL.h>

#include <mutex>

#include "platform/audio/audio_device.h"
#include "platform/audio/audio_mixer.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_handles.h"
#include "platform/sdl/quiet_alsa.h"

namespace {

// Set by the opening thread before the game's thread may read them (it joins that thread
// first).
SDL_AudioDeviceID g_device = 0;
bool g_initedSubsystem = false;

void Callback(void*, Uint8* stream, int len) {
  MixerRender(reinterpret_cast<int16_t*>(stream), len / 4);
}

bool InitAudio() {
  std::lock_guard<std::mutex> guard(SdlSubsystemLock());
  if (SDL_WasInit(SDL_INIT_AUDIO)) return true;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  g_initedSubsystem = true;
  return true;
}

void QuitAudio() {
  std::lock_guard<std::mutex> guard(SdlSubsystemLock());
  if (g_initedSubsystem) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  g_initedSubsystem = false;
}

}  // namespace

bool SdlAudioOpen(uint32_t* rate) {
  QuietAlsa quiet;
  if (!InitAudio()) {
    SDL_TLSCleanup();
    return false;
  }
  SDL_AudioSpec want{}, have{};
  want.freq = 44100;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 512;
  want.callback = Callback;
  g_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
  // With no device the subsystem stays up: stopping it waits up to a tenth of a second for
  // ALSA's hot-plug thread (which otherwise only wakes now and then), and would hold up
  // the game's own SDL starts meanwhile; a later try then opens at once.
  const bool opened = g_device != 0;
  if (opened) *rate = static_cast<uint32_t>(have.freq);
  // Runs on the opening thread, which SDL did not make: its per-thread state (the error
  // text) would otherwise outlive the thread.
  SDL_TLSCleanup();
  return opened;
}

void SdlAudioStart() {
  if (g_device) SDL_PauseAudioDevice(g_device, 0);
}

void SdlAudioClose() {
  if (g_device) SDL_CloseAudioDevice(g_device);
  g_device = 0;
  QuitAudio();
}
