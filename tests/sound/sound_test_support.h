// Shared helpers of the sound tests: WAV files made in memory, a library started on a
// device that only the test pulls, and rendering of the mix.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "platform/audio/audio_device.h"
#include "platform/audio/audio_mixer.h"
#include "sound/dalk_sound.h"

struct WavSpec {
  uint16_t tag = 1;
  uint16_t channels = 1;
  uint32_t rate = 22050;
  uint16_t bits = 16;
  uint32_t fmtSize = 16;
  std::vector<uint8_t> data;
  bool loop = false;
  uint32_t loopStart = 0, loopEnd = 0;
  std::vector<uint8_t> before;  // a chunk "junk" of this many bytes before "data"
  bool hasBefore = false;
  bool hasFmt = true;
  bool hasData = true;
};

inline void Put32(std::vector<uint8_t>& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}
inline void Put16(std::vector<uint8_t>& v, uint16_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}
inline void PutId(std::vector<uint8_t>& v, const char* id) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(id[i]));
}

inline std::vector<uint8_t> MakeWav(const WavSpec& s) {
  std::vector<uint8_t> v;
  v.reserve(64);
  PutId(v, "RIFF");
  Put32(v, 0);
  PutId(v, "WAVE");
  if (s.hasFmt) {
    PutId(v, "fmt ");
    Put32(v, s.fmtSize);
    const uint16_t align = static_cast<uint16_t>(s.channels * s.bits / 8);
    Put16(v, s.tag);
    Put16(v, s.channels);
    Put32(v, s.rate);
    Put32(v, s.rate * align);
    Put16(v, align);
    Put16(v, s.bits);
    for (uint32_t i = 16; i < s.fmtSize; ++i) v.push_back(0);
  }
  if (s.loop) {
    PutId(v, "smpl");
    Put32(v, 36 + 24);
    for (int i = 0; i < 7; ++i) Put32(v, 0);
    Put32(v, 1);  // loop count
    Put32(v, 0);
    Put32(v, 0);
    Put32(v, 0);
    Put32(v, s.loopStart);
    Put32(v, s.loopEnd);
    Put32(v, 0);
    Put32(v, 0);
  }
  if (s.hasBefore) {
    PutId(v, "junk");
    Put32(v, static_cast<uint32_t>(s.before.size()));
    v.insert(v.end(), s.before.begin(), s.before.end());
    if (s.before.size() % 2) v.push_back(0);  // RIFF pads odd chunks
  }
  if (s.hasData) {
    PutId(v, "data");
    Put32(v, static_cast<uint32_t>(s.data.size()));
    v.insert(v.end(), s.data.begin(), s.data.end());
  }
  uint32_t riff = static_cast<uint32_t>(v.size() - 8);
  for (int i = 0; i < 4; ++i) v[4 + i] = static_cast<uint8_t>(riff >> (8 * i));
  return v;
}

// 16-bit mono samples from a function of the frame index.
inline std::vector<uint8_t> Pcm16(size_t frames, const std::function<int16_t(size_t)>& f) {
  std::vector<uint8_t> v;
  for (size_t i = 0; i < frames; ++i) Put16(v, static_cast<uint16_t>(f(i)));
  return v;
}

inline std::vector<uint8_t> Tone(size_t frames, int16_t amplitude = 16000) {
  return Pcm16(frames, [amplitude](size_t i) {
    return static_cast<int16_t>(amplitude * std::sin(i * 2 * 3.14159265 * 441.0 / 22050));
  });
}

inline std::string WriteTemp(const std::string& name, const std::vector<uint8_t>& bytes) {
  // CTest runs tests in parallel processes: each gets files of its own.
  std::string path =
      testing::TempDir() + "zorbit_sound_" + std::to_string(getpid()) + "_" + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  return path;
}

inline std::vector<int16_t> Render(int frames) {
  std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
  for (int done = 0; done < frames; done += 512)
    MixerRender(out.data() + 2 * done, std::min(512, frames - done));
  return out;
}

// Root-mean-square of one channel (0 left, 1 right) of frames [from, to).
inline double Rms(const std::vector<int16_t>& s, int channel, size_t from, size_t to) {
  double sum = 0;
  to = std::min(to, s.size() / 2);
  if (to <= from) return 0;
  for (size_t i = from; i < to; ++i) sum += double(s[2 * i + channel]) * s[2 * i + channel];
  return std::sqrt(sum / double(to - from));
}

inline bool WaitFor(const std::function<bool()>& condition, int ms = 3000) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return condition();
}

// The library started on a device that only the test pulls (at 44100 Hz).
class SoundLibraryTest : public testing::Test {
 protected:
  void SetUp() override {
    AudioUseManualDevice(true);
    ASSERT_EQ(1, g_DalkSound.Init(nullptr, slots_));
  }
  void TearDown() override { g_DalkSound.Exit(); }
  int slots_ = 10;
  DalkSound& lib_ = g_DalkSound;
  static char* C(const std::string& s) { return const_cast<char*>(s.c_str()); }
};
