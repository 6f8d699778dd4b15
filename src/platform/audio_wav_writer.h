// Writes stereo 16-bit PCM to a WAV file, keeping the header's sizes right after every
// block so the file is complete even if the program ends abruptly.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class WavWriter {
 public:
  WavWriter() = default;
  ~WavWriter() { Close(); }
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  bool Open(const std::string& path, uint32_t rate);
  void Write(const int16_t* frames, int count);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }
  uint32_t Rate() const { return rate_; }

 private:
  void WriteHeader();
  FILE* file_ = nullptr;
  uint32_t rate_ = 0;
  uint32_t dataBytes_ = 0;
};

// The --audio-out file: opened on first use when the option is given; every frame the
// mixer produces goes there.
void AudioOutWrite(const int16_t* frames, int count, uint32_t rate);
