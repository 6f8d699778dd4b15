// The host audio device, shared by the sound buffers and the MCI music: opened on first
// use, closed when the last user lets go. Headless runs use a null device that consumes
// the mix at the virtual clock's pace.
#pragma once

#include <cstdint>

// True when the device is open (or was opened by this call). No device: one line on
// standard error, false, and the caller stays silent.
bool AudioDeviceAcquire();
void AudioDeviceRelease();

// Tests: a device that nobody pulls; the test calls MixerRender itself.
void AudioUseManualDevice(bool manual);

// The backends, one per file. Open reports the device rate.
bool SdlAudioOpen(uint32_t* rate);
void SdlAudioClose();
bool NullAudioOpen(uint32_t* rate);
void NullAudioClose();
