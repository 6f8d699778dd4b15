// WAV acceptance on arbitrary bytes: never reads past the file, never allocates what the
// file does not hold, and a load either succeeds with a buffer or leaves the slot free.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "platform/audio_device.h"
#include "sound/dalk_sound.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool started = [] {
    AudioUseManualDevice(true);
    return g_DalkSound.Init(nullptr, 4) == 1;
  }();
  if (!started) return 0;
  static const std::string path = "/tmp/zorbit_fuzz_wav_" + std::to_string(getpid()) + ".wav";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  if (g_DalkSound.LoadSample(const_cast<char*>(path.c_str()), 1)) {
    SNDSample* s = g_DalkSound.FindSample(1);
    if (!s || !s->buffer || s->dataSize > size) __builtin_trap();
    g_DalkSound.FreeSample(s);
  } else if (DalkSound::g_SampleList[0].flags != 0) {
    __builtin_trap();
  }
  return 0;
}
