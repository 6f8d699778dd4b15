// The headless audio device: every advance of the virtual clock mixes the frames that the
// elapsed time holds, so positions, notifications and the --audio-out file follow game time.
#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/audio/audio_device.h"
#include "platform/audio/audio_mixer.h"
#include "platform/runtime/clock.h"

namespace {

constexpr uint32_t kRate = 44100;

struct NullDevice {
  std::mutex lock;
  int listener = -1;
  bool started = false;
  uint32_t startMs = 0;
  uint64_t framesDone = 0;
};

NullDevice& Device() {
  static NullDevice device;
  return device;
}

void Advance(uint32_t nowMs) {
  NullDevice& d = Device();
  std::lock_guard<std::mutex> guard(d.lock);
  if (!d.started) return;
  const uint64_t due = static_cast<uint64_t>(nowMs - d.startMs) * kRate / 1000;
  std::vector<int16_t> block(512 * 2);
  while (d.framesDone < due) {
    int n = static_cast<int>(std::min<uint64_t>(512, due - d.framesDone));
    MixerRender(block.data(), n);
    d.framesDone += n;
  }
}

}  // namespace

bool NullAudioOpen(uint32_t* rate) {
  NullDevice& d = Device();
  {
    std::lock_guard<std::mutex> guard(d.lock);
    d.started = true;
    d.startMs = ClockNowMs();
    d.framesDone = 0;
  }
  d.listener = ClockAddListener(Advance);
  *rate = kRate;
  return true;
}

void NullAudioClose() {
  NullDevice& d = Device();
  if (d.listener >= 0) ClockRemoveListener(d.listener);
  d.listener = -1;
  std::lock_guard<std::mutex> guard(d.lock);
  d.started = false;
}
