// The software mixer behind the audio device: every playing voice is summed into one
// stereo 16-bit stream at the device's rate. The device backends (SDL, null, tests) pull
// frames with MixerRender.
#pragma once

#include <cstdint>
#include <mutex>

// Guards the mixer's voice list and every sound buffer's play state. Taken by the buffer
// calls and by MixerRender, so voices may be changed from any thread.
std::mutex& AudioLock();

// One source of sound. MixInto runs under AudioLock and adds `frames` stereo frames at
// `rate` Hz into acc (left, right interleaved, full scale 1.0). Returning false removes
// the voice from the mixer (it has ended).
class MixVoice {
 public:
  virtual ~MixVoice() = default;
  virtual bool MixInto(float* acc, int frames, uint32_t rate) = 0;
  // Called under AudioLock once the voice has been taken out because MixInto said so.
  virtual void Ended() {}
};

// Under AudioLock.
void MixerAddVoice(MixVoice* voice);
void MixerRemoveVoice(MixVoice* voice);
bool MixerHasVoice(const MixVoice* voice);

// The device rate, set by the backend that opened the device (44100 until then).
uint32_t MixerRate();
void MixerSetRate(uint32_t rate);

// True when nobody is listening in real time (the headless device, tests): a voice fed by
// a thread of its own then waits for the sound it needs instead of leaving a hole, so the
// same run always mixes the same bytes. A real device must never wait.
bool MixerStreamsWait();
void MixerSetStreamsWait(bool wait);

// Mixes `frames` stereo frames into out (interleaved int16) and passes them to the
// --audio-out writer. Takes AudioLock.
void MixerRender(int16_t* out, int frames);

// Gains from hundredths of a decibel and a pan (-10000 left only .. 10000 right only).
void MixerGains(int32_t volume, int32_t pan, float* left, float* right);
