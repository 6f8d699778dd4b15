#include "platform/audio_device.h"

#include <cstdio>
#include <mutex>

#include "platform/audio_mixer.h"
#include "platform/harness.h"

namespace {

enum class Backend { None, Sdl, Null, Manual };

struct DeviceState {
  std::mutex lock;
  int users = 0;
  Backend backend = Backend::None;
  bool manual = false;
  bool reported = false;
};

DeviceState& State() {
  static DeviceState state;
  return state;
}

}  // namespace

void AudioUseManualDevice(bool manual) {
  std::lock_guard<std::mutex> guard(State().lock);
  State().manual = manual;
}

bool AudioDeviceAcquire() {
  DeviceState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  if (s.users > 0) {
    ++s.users;
    return true;
  }
  uint32_t rate = 44100;
  bool opened;
  if (s.manual) {
    s.backend = Backend::Manual;
    opened = true;
  } else if (GetPlatformOptions().headless) {
    s.backend = Backend::Null;
    opened = NullAudioOpen(&rate);
  } else {
    s.backend = Backend::Sdl;
    opened = SdlAudioOpen(&rate);
  }
  if (!opened) {
    s.backend = Backend::None;
    if (!s.reported) std::fprintf(stderr, "zorbit: no audio device, playing without sound\n");
    s.reported = true;
    return false;
  }
  MixerSetRate(rate);
  MixerSetStreamsWait(s.backend != Backend::Sdl);
  s.users = 1;
  return true;
}

void AudioDeviceRelease() {
  DeviceState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  if (s.users == 0 || --s.users > 0) return;
  if (s.backend == Backend::Sdl) SdlAudioClose();
  if (s.backend == Backend::Null) NullAudioClose();
  s.backend = Backend::None;
}
