#include "platform/audio_wav_writer.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/harness.h"

namespace {

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

}  // namespace

bool WavWriter::Open(const std::string& path, uint32_t rate) {
  Close();
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) return false;
  rate_ = rate;
  dataBytes_ = 0;
  WriteHeader();
  return true;
}

void WavWriter::WriteHeader() {
  uint8_t h[44];
  std::memcpy(h, "RIFF", 4);
  Put32(h + 4, 36 + dataBytes_);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  Put32(h + 16, 16);
  Put16(h + 20, 1);
  Put16(h + 22, 2);
  Put32(h + 24, rate_);
  Put32(h + 28, rate_ * 4);
  Put16(h + 32, 4);
  Put16(h + 34, 16);
  std::memcpy(h + 36, "data", 4);
  Put32(h + 40, dataBytes_);
  std::fseek(file_, 0, SEEK_SET);
  std::fwrite(h, 1, sizeof h, file_);
  std::fseek(file_, 0, SEEK_END);
}

void WavWriter::Write(const int16_t* frames, int count) {
  if (!file_ || count <= 0) return;
  const uint32_t bytes = static_cast<uint32_t>(count) * 4;
  if (dataBytes_ > 0xFFFFFFFFu - 64 - bytes) return;  // a WAV cannot grow past 4 GiB
  uint8_t block[4096];
  for (int i = 0; i < count;) {
    int n = std::min(count - i, static_cast<int>(sizeof block / 4));
    for (int j = 0; j < n * 2; ++j) Put16(block + 2 * j, static_cast<uint16_t>(frames[2 * i + j]));
    std::fwrite(block, 1, static_cast<size_t>(n) * 4, file_);
    i += n;
  }
  dataBytes_ += bytes;
  WriteHeader();
  std::fflush(file_);
}

void WavWriter::Close() {
  if (!file_) return;
  WriteHeader();
  std::fclose(file_);
  file_ = nullptr;
}

void AudioOutWrite(const int16_t* frames, int count, uint32_t rate) {
  static std::mutex lock;
  static WavWriter writer;
  static bool tried = false;
  std::lock_guard<std::mutex> guard(lock);
  if (!tried) {
    tried = true;
    const std::string& path = GetPlatformOptions().audioOut;
    if (!path.empty() && !writer.Open(path, rate))
      std::fprintf(stderr, "zorbit: cannot write audio to %s\n", path.c_str());
  }
  writer.Write(frames, count);
}
