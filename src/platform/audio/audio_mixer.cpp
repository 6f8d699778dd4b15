#include "platform/audio/audio_mixer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

#include "platform/audio/audio_wav_writer.h"

namespace {

// The voice list and its lock are never destroyed: voices belong to objects of every
// lifetime (the game's sound tables are globals), and a voice destroyed at exit, after
// the mixer's own statics would have gone, must still find them to take itself out.
std::vector<MixVoice*>& Voices() {
  static auto* voices = new std::vector<MixVoice*>;
  return *voices;
}

std::atomic<uint32_t> g_rate{44100};
std::atomic<bool> g_streamsWait{false};

float DecibelsToGain(int32_t hundredths) {
  if (hundredths <= -10000) return 0.0f;
  if (hundredths >= 0) return 1.0f;
  return static_cast<float>(std::pow(10.0, hundredths / 2000.0));
}

// Overlapping effects (a group bursting, the round's two "reveal"s) can sum past full
// scale. Hard clipping turns that into a harsh crackle; instead, everything above the knee
// is bent smoothly toward full scale, and quieter mixes pass untouched.
float SoftLimit(float x) {
  constexpr float knee = 0.75f;
  const float a = std::fabs(x);
  if (a <= knee) return x;
  const float bent = knee + (1.0f - knee) * std::tanh((a - knee) / (1.0f - knee));
  return std::copysign(bent, x);
}

}  // namespace

std::mutex& AudioLock() {
  static auto* lock = new std::mutex;  // never destroyed, as the voice list
  return *lock;
}

void MixerAddVoice(MixVoice* voice) {
  auto& v = Voices();
  if (std::find(v.begin(), v.end(), voice) == v.end()) v.push_back(voice);
}

void MixerRemoveVoice(MixVoice* voice) {
  auto& v = Voices();
  v.erase(std::remove(v.begin(), v.end(), voice), v.end());
}

bool MixerHasVoice(const MixVoice* voice) {
  auto& v = Voices();
  return std::find(v.begin(), v.end(), voice) != v.end();
}

uint32_t MixerRate() { return g_rate.load(); }
void MixerSetRate(uint32_t rate) { g_rate.store(rate ? rate : 44100); }

bool MixerStreamsWait() { return g_streamsWait.load(); }
void MixerSetStreamsWait(bool wait) { g_streamsWait.store(wait); }

void MixerGains(int32_t volume, int32_t pan, float* left, float* right) {
  float g = DecibelsToGain(volume);
  *left = g * (pan > 0 ? DecibelsToGain(-pan) : 1.0f);
  *right = g * (pan < 0 ? DecibelsToGain(pan) : 1.0f);
}

void MixerRender(int16_t* out, int frames) {
  if (frames <= 0) return;
  static thread_local std::vector<float> acc;
  acc.assign(static_cast<size_t>(frames) * 2, 0.0f);
  {
    std::lock_guard<std::mutex> guard(AudioLock());
    const uint32_t rate = MixerRate();
    // A voice may stop others or itself while mixing; work on a copy of the list.
    std::vector<MixVoice*> voices = Voices();
    for (MixVoice* voice : voices) {
      if (!MixerHasVoice(voice)) continue;
      if (!voice->MixInto(acc.data(), frames, rate)) {
        MixerRemoveVoice(voice);
        voice->Ended();
      }
    }
  }
  for (size_t i = 0; i < acc.size(); ++i) {
    out[i] = static_cast<int16_t>(std::lrint(SoftLimit(acc[i]) * 32767.0f));
  }
  AudioOutWrite(out, frames, MixerRate());
}
