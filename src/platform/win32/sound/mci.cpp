// MCI music: "open FILE alias NAME", "play NAME [notify] [repeat]", "pause NAME", "resume
// NAME", "close NAME". An MP3 is decoded by a thread of its own into a short queue that the
// mixer drains, so the game thread never waits on the decoder (only a mixer that nobody
// hears in real time waits for it, to stay repeatable); when the music has been heard to
// its end, MM_MCINOTIFY goes to the window that asked for it.
#include <mpg123.h>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/audio_device.h"
#include "platform/audio/audio_mixer.h"
#include "platform/files/paths.h"
#include "platform/runtime/trace.h"
#include "platform/win32/sound/mmsystem.h"

namespace {

constexpr uint32_t MCIERR_UNRECOGNIZED_COMMAND = 261;
constexpr uint32_t MCIERR_INVALID_DEVICE_NAME = 263;
constexpr uint32_t MCIERR_FILE_NOT_FOUND = 275;
constexpr uint32_t MCIERR_DEVICE_OPEN = 265;
constexpr uint32_t MCIERR_HARDWARE = 262;

class Music final : public MixVoice {
 public:
  Music(mpg123_handle* decoder, long rate, int channels, uint32_t deviceId)
      : decoder_(decoder), rate_(rate), channels_(channels), deviceId_(deviceId) {}
  ~Music() override {
    Stop();
    mpg123_close(decoder_);
    mpg123_delete(decoder_);
  }

  void Play(HWND notifyWindow, bool notify, bool repeat) {
    Stop();
    mpg123_seek(decoder_, 0, SEEK_SET);
    {
      std::lock_guard<std::mutex> guard(lock_);
      queue_.clear();
      stopping_ = false;
      decoded_ = false;
      finished_ = false;
    }
    frac_ = 0;
    window_ = notifyWindow;
    notify_ = notify;
    repeat_ = repeat;
    {
      std::lock_guard<std::mutex> guard(AudioLock());
      MixerAddVoice(this);
    }
    thread_ = std::thread([this] { Decode(); });
  }

  // Out of the mix and back, where it was; the decoder keeps its place meanwhile.
  void Pause() {
    std::lock_guard<std::mutex> guard(AudioLock());
    MixerRemoveVoice(this);
  }
  void Resume() {
    std::lock_guard<std::mutex> guard(AudioLock());
    bool over;
    {
      std::lock_guard<std::mutex> inner(lock_);
      over = finished_ || stopping_;
    }
    if (thread_.joinable() && !over) MixerAddVoice(this);
  }

  void Stop() {
    {
      std::lock_guard<std::mutex> guard(AudioLock());
      MixerRemoveVoice(this);
    }
    {
      std::lock_guard<std::mutex> guard(lock_);
      stopping_ = true;
    }
    room_.notify_all();
    filled_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

  // Under AudioLock: linear resampling from the file's rate to the device's.
  bool MixInto(float* acc, int frames, uint32_t rate) override {
    std::unique_lock<std::mutex> guard(lock_);
    pulled_ = true;
    const double step = static_cast<double>(rate_) / rate;
    for (int i = 0; i < frames; ++i) {
      if (queue_.size() < 4 && !decoded_ && MixerStreamsWait()) {
        room_.notify_all();
        filled_.wait(guard, [&] { return queue_.size() >= 4 || decoded_ || stopping_; });
      }
      if (queue_.size() < 4) {
        if (decoded_) return false;  // heard to the end
        break;                       // the decoder is behind: a moment of silence
      }
      const float a0 = queue_[0], a1 = queue_[1], b0 = queue_[2], b1 = queue_[3];
      const float f = static_cast<float>(frac_);
      acc[2 * i] += (a0 + (b0 - a0) * f) / 32768.0f;
      acc[2 * i + 1] += (a1 + (b1 - a1) * f) / 32768.0f;
      frac_ += step;
      while (frac_ >= 1.0 && queue_.size() >= 2) {
        queue_.pop_front();
        queue_.pop_front();
        frac_ -= 1.0;
      }
    }
    room_.notify_all();
    return true;
  }

  void Ended() override {
    {
      std::lock_guard<std::mutex> guard(lock_);
      finished_ = true;
    }
    room_.notify_all();
  }

 private:
  // One block from the decoder; with repeat, the end of the file runs on into its start
  // (the decoder drops the encoder's padding, so the join has no gap).
  int ReadBlock(std::vector<int16_t>* block, size_t* samples, bool* heardAny) {
    size_t bytes = 0;
    int r = mpg123_read(decoder_, reinterpret_cast<unsigned char*>(block->data()),
                        block->size() * sizeof(int16_t), &bytes);
    *samples = bytes / sizeof(int16_t);
    if (*samples) *heardAny = true;
    if (r == MPG123_DONE && repeat_ && *heardAny && mpg123_seek(decoder_, 0, SEEK_SET) >= 0) {
      *heardAny = false;  // a file that decodes to nothing must not spin here for ever
      return MPG123_OK;
    }
    return r;
  }

  // Under lock_. Heard in real time, the music is decoded from the mixer's first request
  // on: before the device is open nobody hears it, and decoding two seconds ahead would only
  // take the processor from the start-up (with no device at all it never runs). A mixer
  // that waits for its sound gets it decoded at once.
  bool Wanted() const { return pulled_ || MixerStreamsWait(); }

  void Decode() {
    std::vector<int16_t> block(8192);
    const size_t most = static_cast<size_t>(rate_) * 2 * 2;  // two seconds of stereo
    bool heardAny = false;
    for (;;) {
      {
        std::unique_lock<std::mutex> guard(lock_);
        room_.wait(guard, [&] { return stopping_ || (queue_.size() < most && Wanted()); });
        if (stopping_) return;
      }
      size_t samples = 0;
      const int r = ReadBlock(&block, &samples, &heardAny);
      const bool over = r != MPG123_OK && r != MPG123_NEW_FORMAT;
      {
        std::lock_guard<std::mutex> guard(lock_);
        for (size_t i = 0; i + channels_ <= samples; i += channels_) {
          queue_.push_back(block[i]);
          queue_.push_back(channels_ == 2 ? block[i + 1] : block[i]);
        }
        if (over) decoded_ = true;
      }
      filled_.notify_all();
      if (over) break;
    }
    // Wait until the mixer has played the rest, then tell the window.
    std::unique_lock<std::mutex> guard(lock_);
    room_.wait(guard, [&] { return stopping_ || finished_; });
    if (finished_ && !stopping_ && notify_ && window_)
      PostMessage(window_, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, deviceId_);
  }

  mpg123_handle* decoder_;
  long rate_;
  int channels_;
  uint32_t deviceId_;
  std::mutex lock_;
  std::condition_variable room_;    // the decoder waits here for space in the queue
  std::condition_variable filled_;  // a mixer that may wait, for sound in it
  std::deque<int16_t> queue_;       // interleaved stereo at the file's rate
  bool stopping_ = false;
  bool decoded_ = false;
  bool finished_ = false;
  bool pulled_ = false;  // the mixer has asked for sound
  double frac_ = 0;  // under AudioLock
  HWND window_ = nullptr;
  bool notify_ = false;
  bool repeat_ = false;  // set before the decoder starts
  std::thread thread_;
};

struct Device {
  std::unique_ptr<Music> music;
};

std::mutex& DevicesLock() {
  static std::mutex m;
  return m;
}
std::map<std::string, Device>& Devices() {
  static std::map<std::string, Device> devices;
  return devices;
}

uint32_t Open(const std::string& file, const std::string& alias) {
  static std::once_flag init;
  std::call_once(init, [] { mpg123_init(); });
  if (Devices().count(alias)) return MCIERR_DEVICE_OPEN;
  const std::string path = MapPath(file.c_str());
  mpg123_handle* decoder = mpg123_new(nullptr, nullptr);
  if (!decoder) return MCIERR_HARDWARE;
  mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_QUIET, 0);  // a missing file is not news
  long rate = 0;
  int channels = 0, encoding = 0;
  if (mpg123_open(decoder, path.c_str()) != MPG123_OK ||
      mpg123_getformat(decoder, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 ||
      (channels != 1 && channels != 2)) {
    mpg123_delete(decoder);
    return MCIERR_FILE_NOT_FOUND;
  }
  mpg123_format_none(decoder);
  mpg123_format(decoder, rate, channels, MPG123_ENC_SIGNED_16);
  if (!AudioDeviceAcquire()) {
    mpg123_close(decoder);
    mpg123_delete(decoder);
    return MCIERR_HARDWARE;
  }
  static uint32_t nextId = 1;
  Devices()[alias].music = std::make_unique<Music>(decoder, rate, channels, nextId++);
  TraceStepf("music %s opened", file.c_str());
  return 0;
}

Music* Find(const std::string& alias) {
  auto it = Devices().find(alias);
  return it == Devices().end() ? nullptr : it->second.music.get();
}

uint32_t Close(const std::string& alias) {
  auto it = Devices().find(alias);
  if (it == Devices().end()) return MCIERR_INVALID_DEVICE_NAME;
  it->second.music.reset();
  Devices().erase(it);
  AudioDeviceRelease();
  return 0;
}

}  // namespace

void CloseAllMusic() {
  std::lock_guard<std::mutex> guard(DevicesLock());
  while (!Devices().empty()) Close(Devices().begin()->first);
}

uint32_t mciSendString(const char* command, char* returnBuffer, uint32_t returnLength,
                       HWND callback) {
  if (returnBuffer && returnLength) returnBuffer[0] = '\0';
  if (!command) return MCIERR_UNRECOGNIZED_COMMAND;
  std::istringstream words(command);
  std::string verb, name, word;
  words >> verb >> name;
  std::lock_guard<std::mutex> guard(DevicesLock());
  if (verb == "open") {
    std::string alias;
    if (words >> word && word == "alias" && words >> alias) return Open(name, alias);
    return MCIERR_UNRECOGNIZED_COMMAND;
  }
  if (verb == "close") return Close(name);
  Music* music = Find(name);
  if (verb == "play") {
    bool notify = false, repeat = false;
    while (words >> word) {
      if (word == "notify") notify = true;
      if (word == "repeat") repeat = true;
    }
    if (!music) return MCIERR_INVALID_DEVICE_NAME;
    music->Play(callback, notify, repeat);
    return 0;
  }
  if (verb == "pause" || verb == "resume") {
    if (!music) return MCIERR_INVALID_DEVICE_NAME;
    if (verb == "pause") music->Pause();
    else music->Resume();
    return 0;
  }
  return MCIERR_UNRECOGNIZED_COMMAND;
}
