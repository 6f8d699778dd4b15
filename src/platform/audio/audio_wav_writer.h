// Writes stereo 16-bit PCM to a WAV file. The file is built beside its name, with the
// header's sizes kept right after every block, and put in place whole on Close: an earlier
// file of that name stays as it was until then, and a failed run never leaves half a file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/files/file_replace.h"

class WavWriter {
 public:
  WavWriter() = default;
  ~WavWriter() { Close(); }
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  bool Open(const std::string& path, uint32_t rate);
  void Write(const int16_t* frames, int count);
  // Puts the file in place; false when anything failed on the way (nothing is replaced).
  bool Close();
  bool IsOpen() const { return file_ != nullptr; }
  int Error() const { return error_; }
  uint32_t Rate() const { return rate_; }

 private:
  void WriteHeader();
  std::unique_ptr<FileReplacement> file_;
  int error_ = 0;
  uint32_t rate_ = 0;
  uint32_t dataBytes_ = 0;
};

// The --audio-out file: opened on first use when the option is given; every frame the
// mixer produces goes there.
void AudioOutWrite(const int16_t* frames, int count, uint32_t rate);
// Puts the --audio-out file in place at the end of a run. False (with a message) when it
// could not be written whole.
bool AudioOutFinish();
