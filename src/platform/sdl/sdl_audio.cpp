// The real audio device: SDL pulls blocks of at most 512 frames from the mixer, so a
// sound starts within about a dozen milliseconds of its Play.
#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include "platform/audio_device.h"
#include "platform/audio_mixer.h"

namespace {

SDL_AudioDeviceID g_device = 0;
bool g_initedSubsystem = false;

void Callback(void*, Uint8* stream, int len) {
  MixerRender(reinterpret_cast<int16_t*>(stream), len / 4);
}

// The sound system's own libraries print a page of diagnostics on standard error when a
// machine has no audio device. The game says so in one line of its own, so the probing
// runs with standard error pointed at /dev/null.
class QuietStderr {
 public:
  QuietStderr() : saved_(dup(STDERR_FILENO)) {
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, STDERR_FILENO);
      close(null);
    }
  }
  ~QuietStderr() {
    if (saved_ < 0) return;
    dup2(saved_, STDERR_FILENO);
    close(saved_);
  }
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int saved_;
};

}  // namespace

bool SdlAudioOpen(uint32_t* rate) {
  QuietStderr quiet;
  if (!SDL_WasInit(SDL_INIT_AUDIO)) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    g_initedSubsystem = true;
  }
  SDL_AudioSpec want{}, have{};
  want.freq = 44100;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 512;
  want.callback = Callback;
  g_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
  if (g_device == 0) {
    if (g_initedSubsystem) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    g_initedSubsystem = false;
    return false;
  }
  *rate = static_cast<uint32_t>(have.freq);
  SDL_PauseAudioDevice(g_device, 0);
  return true;
}

void SdlAudioClose() {
  if (g_device) SDL_CloseAudioDevice(g_device);
  g_device = 0;
  if (g_initedSubsystem) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  g_initedSubsystem = false;
}
