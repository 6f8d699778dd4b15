// WAV acceptance on arbitrary bytes: never reads past the file, never allocates what the
// file does not hold, and a load either succeeds with a buffer or leaves the slot free.
#include <cstdint>
#include <cstdio>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "platform/audio/audio_device.h"
#include "sound/dalk_sound.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool started = [] {
    AudioUseManualDevice(true);
    return g_DalkSound.Init(nullptr, 4) == 1;
  }();
  if (!started) return 0;
  // In memory, so that a long run leaves no file behind.
  static const int fd = ::memfd_create("zorbit-fuzz-wav", MFD_CLOEXEC);
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);
  if (fd < 0 || ::ftruncate(fd, 0) != 0) return 0;
  if (size > 0 && ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;
  if (g_DalkSound.LoadSample(const_cast<char*>(path.c_str()), 1)) {
    SNDSample* s = g_DalkSound.FindSample(1);
    if (!s || !s->buffer || s->dataSize > size) __builtin_trap();
    g_DalkSound.FreeSample(s);
  } else if (DalkSound::g_SampleList[0].flags != 0) {
    __builtin_trap();
  }
  return 0;
}
