#include "platform/audio/audio_wav_writer.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/runtime/run_options.h"

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
  file_ = std::make_unique<FileReplacement>(path);
  rate_ = rate;
  dataBytes_ = 0;
  WriteHeader();
  error_ = file_->Error();
  if (error_) file_.reset();
  return error_ == 0;
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
  if (dataBytes_ == 0) file_->Write(h, sizeof h);
  else file_->WriteAt(0, h, sizeof h);
}

void WavWriter::Write(const int16_t* frames, int count) {
  if (!file_ || count <= 0) return;
  const uint32_t bytes = static_cast<uint32_t>(count) * 4;
  if (dataBytes_ > 0xFFFFFFFFu - 64 - bytes) return;  // a WAV cannot grow past 4 GiB
  uint8_t block[4096];
  for (int i = 0; i < count;) {
    int n = std::min(count - i, static_cast<int>(sizeof block / 4));
    for (int j = 0; j < n * 2; ++j) Put16(block + 2 * j, static_cast<uint16_t>(frames[2 * i + j]));
    file_->Write(block, static_cast<size_t>(n) * 4);
    i += n;
  }
  dataBytes_ += bytes;
  WriteHeader();
}

bool WavWriter::Close() {
  if (!file_) return error_ == 0;
  if (dataBytes_ > 0) WriteHeader();
  file_->Commit();
  error_ = file_->Error();
  file_.reset();
  return error_ == 0;
}

namespace {

std::mutex audioOutLock;
WavWriter audioOut;
bool audioOutTried = false;

void ReportAudioOut(int error) {
  std::fprintf(stderr, "zorbit: cannot write audio to %s: %s\n",
               GetPlatformOptions().audioOut.c_str(), FileErrorText(error).c_str());
}

}  // namespace

void AudioOutWrite(const int16_t* frames, int count, uint32_t rate) {
  std::lock_guard<std::mutex> guard(audioOutLock);
  if (!audioOutTried) {
    audioOutTried = true;
    const std::string& path = GetPlatformOptions().audioOut;
    if (!path.empty() && !audioOut.Open(path, rate)) ReportAudioOut(audioOut.Error());
  }
  audioOut.Write(frames, count);
}

bool AudioOutFinish() {
  std::lock_guard<std::mutex> guard(audioOutLock);
  const bool tried = audioOutTried;
  audioOutTried = false;
  if (GetPlatformOptions().audioOut.empty()) return true;
  if (!tried) return true;  // no sound was mixed: there is nothing to keep
  if (audioOut.Close()) return true;
  ReportAudioOut(audioOut.Error());
  return false;
}
