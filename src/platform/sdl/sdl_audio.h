// SDL's audio device, for audio/audio_device.h. Open reports the device rate.
#pragma once

#include <cstdint>

bool SdlAudioOpen(uint32_t* rate);
void SdlAudioStart();
void SdlAudioClose();
