// The host audio device, shared by the sound buffers and the MCI music: opened on first
// use, closed when the last user lets go. Headless runs use a null device that consumes
// the mix at the virtual clock's pace.
#pragma once

#include <cstdint>

// True when the device is open, or is being opened. The host's device is opened on a
// thread of its own, as probing the sound system can take a tenth of a second: buffers
// are made and played meanwhile, and are heard from where they are once it is open. A
// host with no device prints one line on standard error and the game plays on silently.
// The headless and the tests' manual devices open at once; when they cannot, false.
bool AudioDeviceAcquire();
void AudioDeviceRelease();
// The end of a run, however it ended: the music still open is closed and the device stops
// pulling the mix even if the game never let go of it, so that no thread mixes while the
// program's objects are destroyed. Releases that come later do nothing.
void AudioEndOfRun();
// Closes every MCI music device still open (mci.cpp).
void CloseAllMusic();

// Tests: a device that nobody pulls; the test calls MixerRender itself.
void AudioUseManualDevice(bool manual);

// The host's device, or a stand-in from a test (all three set, or all null for the
// host's own). Open runs on the opening thread and reports the device rate; the device
// starts pulling the mix only at Start.
struct HostAudio {
  bool (*open)(uint32_t* rate) = nullptr;
  void (*start)() = nullptr;
  void (*close)() = nullptr;
};
void AudioUseHostDevice(const HostAudio& host);
// The system's own device (SDL's), installed before main.
void AudioSetSystemDevice(const HostAudio& host);

// The null device of headless runs. Open reports the device rate.
bool NullAudioOpen(uint32_t* rate);
void NullAudioClose();
