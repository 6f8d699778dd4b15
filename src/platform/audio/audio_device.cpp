#include "platform/audio/audio_device.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>

#include "platform/audio/audio_mixer.h"
#include "platform/runtime/run_options.h"
#include "platform/runtime/trace.h"

namespace {

enum class Backend { None, Host, Null, Manual };

struct DeviceState {
  std::mutex lock;  // all but `hostOpen`, which the opening thread sets
  int users = 0;
  Backend backend = Backend::None;
  bool manual = false;
  HostAudio host;    // as the tests set it
  HostAudio active;  // the one opened
  std::thread opener;
  std::atomic<bool> hostOpen{false};
  std::atomic<bool> reported{false};
  // A user that never let go must not leave the thread to be destroyed while joinable.
  ~DeviceState() {
    if (opener.joinable()) opener.join();
  }
};

DeviceState& State() {
  static DeviceState state;
  return state;
}

// Installed before main, read afterwards.
HostAudio systemDevice;

HostAudio Host(const DeviceState& s) {
  if (s.host.open && s.host.start && s.host.close) return s.host;
  return systemDevice;
}

void ReportNoDevice(DeviceState& s) {
  if (!s.reported.exchange(true))
    std::fprintf(stderr, "zorbit: no audio device, playing without sound\n");
}

// On the opening thread. The rate is in place before the device pulls its first block.
void OpenHost(DeviceState* s, HostAudio host) {
  uint32_t rate = 44100;
  if (!host.open(&rate)) {
    ReportNoDevice(*s);
    TraceStep("no audio device (found on its own thread)");
    return;
  }
  MixerSetRate(rate);
  s->hostOpen.store(true);
  host.start();
  TraceStep("audio device opened (on its own thread)");
}

}  // namespace

void AudioUseManualDevice(bool manual) {
  std::lock_guard<std::mutex> guard(State().lock);
  State().manual = manual;
}

void AudioSetSystemDevice(const HostAudio& host) { systemDevice = host; }

void AudioUseHostDevice(const HostAudio& host) {
  std::lock_guard<std::mutex> guard(State().lock);
  State().host = host;
}

bool AudioDeviceAcquire() {
  DeviceState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  if (s.users > 0) {
    ++s.users;
    return true;
  }
  uint32_t rate = 44100;
  bool opened = true;
  if (s.manual) {
    s.backend = Backend::Manual;
  } else if (GetPlatformOptions().headless) {
    s.backend = Backend::Null;
    opened = NullAudioOpen(&rate);
  } else {
    s.backend = Backend::Host;
    s.hostOpen.store(false);
    s.active = Host(s);
    s.opener = std::thread(OpenHost, &s, s.active);
  }
  if (!opened) {
    s.backend = Backend::None;
    ReportNoDevice(s);
    return false;
  }
  if (s.backend != Backend::Host) MixerSetRate(rate);
  MixerSetStreamsWait(s.backend != Backend::Host);
  s.users = 1;
  return true;
}

namespace {

// Under the state's lock.
void CloseDevice(DeviceState& s) {
  s.users = 0;
  if (s.backend == Backend::Host) {
    // The opening thread takes no lock of ours, so waiting for it here cannot deadlock.
    if (s.opener.joinable()) s.opener.join();
    if (s.hostOpen.exchange(false)) s.active.close();
  }
  if (s.backend == Backend::Null) NullAudioClose();
  s.backend = Backend::None;
}

}  // namespace

void AudioDeviceRelease() {
  DeviceState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  if (s.users == 0 || --s.users > 0) return;
  CloseDevice(s);
}

void AudioEndOfRun() {
  CloseAllMusic();
  DeviceState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  if (s.users > 0) CloseDevice(s);
}
