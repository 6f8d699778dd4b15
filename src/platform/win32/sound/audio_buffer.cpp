#include "platform/win32/sound/audio_buffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr uint32_t DSBLOCK_ENTIREBUFFER = 0x2;
constexpr uint32_t kMaxBufferBytes = 0x10000000;  // 256 MiB

bool ValidFormat(const WAVEFORMATEX* f) {
  return f && f->wFormatTag == WAVE_FORMAT_PCM && (f->nChannels == 1 || f->nChannels == 2) &&
         (f->wBitsPerSample == 8 || f->wBitsPerSample == 16) && f->nSamplesPerSec >= 100 &&
         f->nSamplesPerSec <= 200000;
}

WAVEFORMATEX Normalised(const WAVEFORMATEX& f) {
  WAVEFORMATEX n = f;
  n.nBlockAlign = static_cast<uint16_t>(n.nChannels * n.wBitsPerSample / 8);
  n.nAvgBytesPerSec = n.nSamplesPerSec * n.nBlockAlign;
  n.cbSize = 0;
  return n;
}

// Band-limited interpolation for a sound played slower than the device runs (the game's
// 22050 Hz effects on a 44100 Hz device): a Kaiser-windowed sinc over 32 neighbours.
// Drawing straight lines between samples instead leaves mirror images of every partial
// between the sound's own top and the device's (a bell at 2.6 kHz comes back near 19.4 kHz),
// 15 to 50 dB down: a thin fizz over the bells and the pops.
constexpr int kHalfTaps = 16;   // neighbours on each side
constexpr int kPhases = 512;    // fractional positions the kernel is kept for
constexpr double kCutoff = 0.84;  // of the sound's own top frequency: flat to about 0.68
constexpr double kKaiserBeta = 8.0;  // about 80 dB down past the sound's top

double BesselI0(double x) {
  double sum = 1, term = 1;
  for (int k = 1; k < 30; ++k) {
    term *= (x / (2 * k)) * (x / (2 * k));
    sum += term;
  }
  return sum;
}

// kPhases + 1 rows of 2 * kHalfTaps weights, for taps at -(kHalfTaps - 1) .. kHalfTaps
// around the sample before the position; each row sums to one.
const std::vector<float>& InterpolationKernel() {
  static const std::vector<float> table = [] {
    std::vector<float> t(static_cast<size_t>(kPhases + 1) * 2 * kHalfTaps);
    const double pi = 3.14159265358979323846;
    for (int p = 0; p <= kPhases; ++p) {
      float* row = t.data() + static_cast<size_t>(p) * 2 * kHalfTaps;
      double sum = 0;
      for (int j = 0; j < 2 * kHalfTaps; ++j) {
        const double x = (j - (kHalfTaps - 1)) - static_cast<double>(p) / kPhases;
        const double r = x / kHalfTaps;
        const double window = std::fabs(r) >= 1 ? 0 : BesselI0(kKaiserBeta * std::sqrt(1 - r * r));
        const double sinc = x == 0 ? 1 : std::sin(pi * kCutoff * x) / (pi * kCutoff * x);
        row[j] = static_cast<float>(sinc * window);
        sum += row[j];
      }
      for (int j = 0; j < 2 * kHalfTaps; ++j) row[j] = static_cast<float>(row[j] / sum);
    }
    return t;
  }();
  return table;
}

}  // namespace

// The notification interface of one buffer; holds a reference on it.
class SoundBuffer::Notify final : public IDirectSoundNotify {
 public:
  explicit Notify(SoundBuffer* owner) : owner_(owner) {}
  HRESULT SetNotificationPositions(uint32_t count, const DSBPOSITIONNOTIFY* positions) override {
    std::lock_guard<std::mutex> guard(AudioLock());
    return owner_->SetNotifications(count, positions);
  }
  uint32_t AddRef() override {
    std::lock_guard<std::mutex> guard(AudioLock());
    return ++refs_;
  }
  uint32_t Release() override {
    uint32_t left;
    {
      std::lock_guard<std::mutex> guard(AudioLock());
      left = --refs_;
      if (left == 0) owner_->notify_ = nullptr;
    }
    if (left == 0) {
      owner_->Release();
      delete this;
    }
    return left;
  }
  uint32_t refs_ = 1;  // under AudioLock

 private:
  SoundBuffer* owner_;
};

SoundBuffer::SoundBuffer(uint32_t flags, std::shared_ptr<SoundData> data)
    : flags_(flags), data_(std::move(data)) {}

SoundBuffer::~SoundBuffer() = default;

bool SoundBuffer::ValidDescription(const DSBUFFERDESC* desc) {
  return desc && !(desc->dwFlags & DSBCAPS_PRIMARYBUFFER) && ValidFormat(desc->lpwfxFormat) &&
         desc->dwBufferBytes >= 4 && desc->dwBufferBytes <= kMaxBufferBytes;
}

SoundBuffer* SoundBuffer::Duplicate() {
  std::lock_guard<std::mutex> guard(AudioLock());
  auto* copy = new SoundBuffer(flags_, data_);
  copy->volume_ = volume_;
  copy->pan_ = pan_;
  copy->frequency_ = frequency_;
  return copy;
}

HRESULT SoundBuffer::GetCaps(DSBCAPS* caps) {
  if (!caps) return DSERR_INVALIDPARAM;
  caps->dwFlags = flags_;
  caps->dwBufferBytes = Bytes();
  return DS_OK;
}

HRESULT SoundBuffer::GetFormat(WAVEFORMATEX* format, uint32_t size, uint32_t* written) {
  if (!format || size < sizeof(WAVEFORMATEX)) {
    if (written) *written = sizeof(WAVEFORMATEX);
    return format ? DSERR_INVALIDPARAM : DS_OK;
  }
  *format = data_->format;
  if (written) *written = sizeof(WAVEFORMATEX);
  return DS_OK;
}

HRESULT SoundBuffer::SetFormat(const WAVEFORMATEX*) { return DSERR_INVALIDCALL; }

HRESULT SoundBuffer::Play(uint32_t, uint32_t, uint32_t flags) {
  std::lock_guard<std::mutex> guard(AudioLock());
  looping_ = (flags & DSBPLAY_LOOPING) != 0;
  if (!playing_) {
    playing_ = true;
    MixerAddVoice(this);
  }
  return DS_OK;
}

HRESULT SoundBuffer::Stop() {
  std::lock_guard<std::mutex> guard(AudioLock());
  if (playing_) {
    playing_ = false;
    MixerRemoveVoice(this);
    FireStop();
  }
  return DS_OK;
}

HRESULT SoundBuffer::GetStatus(uint32_t* status) {
  if (!status) return DSERR_INVALIDPARAM;
  std::lock_guard<std::mutex> guard(AudioLock());
  *status = playing_ ? (DSBSTATUS_PLAYING | (looping_ ? DSBSTATUS_LOOPING : 0)) : 0;
  return DS_OK;
}

uint32_t SoundBuffer::BytePosition() const {
  uint32_t frame = static_cast<uint32_t>(position_ >> 32);
  return std::min(frame * data_->format.nBlockAlign, Bytes());
}

HRESULT SoundBuffer::GetCurrentPosition(uint32_t* play, uint32_t* write) {
  std::lock_guard<std::mutex> guard(AudioLock());
  uint32_t p = BytePosition() % Bytes();
  if (play) *play = p;
  // The mixer reads about one device block ahead of what is heard.
  if (write) *write = (p + data_->format.nAvgBytesPerSec / 50) % Bytes();
  return DS_OK;
}

HRESULT SoundBuffer::SetCurrentPosition(uint32_t position) {
  std::lock_guard<std::mutex> guard(AudioLock());
  if (position >= Bytes()) return DSERR_INVALIDPARAM;
  position_ = static_cast<uint64_t>(position / data_->format.nBlockAlign) << 32;
  return DS_OK;
}

HRESULT SoundBuffer::Lock(uint32_t offset, uint32_t bytes, void** part1, uint32_t* bytes1,
                          void** part2, uint32_t* bytes2, uint32_t flags) {
  if (!part1 || !bytes1) return DSERR_INVALIDPARAM;
  std::lock_guard<std::mutex> guard(AudioLock());
  const uint32_t size = Bytes();
  if (flags & DSBLOCK_ENTIREBUFFER) {
    offset = 0;
    bytes = size;
  }
  if (offset >= size || bytes == 0 || bytes > size || locked_) return DSERR_INVALIDPARAM;
  const uint32_t first = std::min(bytes, size - offset);
  const uint32_t second = bytes - first;
  if (second && !part2) return DSERR_INVALIDPARAM;
  // The caller writes into a copy, so the mixer never reads memory being written.
  lockScratch_.resize(bytes);
  std::memcpy(lockScratch_.data(), data_->bytes.data() + offset, first);
  if (second) std::memcpy(lockScratch_.data() + first, data_->bytes.data(), second);
  lockOffset_ = offset;
  locked_ = true;
  *part1 = lockScratch_.data();
  *bytes1 = first;
  if (part2) *part2 = second ? lockScratch_.data() + first : nullptr;
  if (bytes2) *bytes2 = second;
  return DS_OK;
}

HRESULT SoundBuffer::Unlock(void* part1, uint32_t bytes1, void* part2, uint32_t bytes2) {
  std::lock_guard<std::mutex> guard(AudioLock());
  if (!locked_ || part1 != lockScratch_.data()) return DSERR_INVALIDPARAM;
  const uint32_t size = Bytes();
  const uint32_t first = std::min<uint32_t>(static_cast<uint32_t>(lockScratch_.size()),
                                            size - lockOffset_);
  const uint32_t second = static_cast<uint32_t>(lockScratch_.size()) - first;
  locked_ = false;
  if (bytes1 > first || bytes2 > second || (bytes2 && part2 != lockScratch_.data() + first))
    return DSERR_INVALIDPARAM;
  std::memcpy(data_->bytes.data() + lockOffset_, lockScratch_.data(), bytes1);
  if (bytes2) std::memcpy(data_->bytes.data(), lockScratch_.data() + first, bytes2);
  return DS_OK;
}

HRESULT SoundBuffer::SetVolume(int32_t volume) {
  if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
  std::lock_guard<std::mutex> guard(AudioLock());
  volume_ = volume;
  return DS_OK;
}

HRESULT SoundBuffer::GetVolume(int32_t* volume) {
  if (!volume) return DSERR_INVALIDPARAM;
  std::lock_guard<std::mutex> guard(AudioLock());
  *volume = volume_;
  return DS_OK;
}

HRESULT SoundBuffer::SetPan(int32_t pan) {
  if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
  std::lock_guard<std::mutex> guard(AudioLock());
  pan_ = pan;
  return DS_OK;
}

HRESULT SoundBuffer::GetPan(int32_t* pan) {
  if (!pan) return DSERR_INVALIDPARAM;
  std::lock_guard<std::mutex> guard(AudioLock());
  *pan = pan_;
  return DS_OK;
}

HRESULT SoundBuffer::SetFrequency(uint32_t frequency) {
  if (frequency != 0 && (frequency < 100 || frequency > 200000)) return DSERR_INVALIDPARAM;
  std::lock_guard<std::mutex> guard(AudioLock());
  frequency_ = frequency;
  return DS_OK;
}

HRESULT SoundBuffer::GetFrequency(uint32_t* frequency) {
  if (!frequency) return DSERR_INVALIDPARAM;
  std::lock_guard<std::mutex> guard(AudioLock());
  *frequency = frequency_ ? frequency_ : data_->format.nSamplesPerSec;
  return DS_OK;
}

HRESULT SoundBuffer::QueryInterface(const GUID& iid, void** object) {
  if (!object) return DSERR_INVALIDPARAM;
  *object = nullptr;
  if (!(iid == IID_IDirectSoundNotify) || !(flags_ & DSBCAPS_CTRLPOSITIONNOTIFY))
    return DSERR_NOINTERFACE;
  std::lock_guard<std::mutex> guard(AudioLock());
  if (notify_) {
    ++notify_->refs_;
  } else {
    notify_ = new Notify(this);
    ++refs_;  // the notification interface keeps its buffer alive
  }
  *object = static_cast<IDirectSoundNotify*>(notify_);
  return DS_OK;
}

uint32_t SoundBuffer::AddRef() {
  std::lock_guard<std::mutex> guard(AudioLock());
  return ++refs_;
}

uint32_t SoundBuffer::Release() {
  uint32_t left;
  {
    std::lock_guard<std::mutex> guard(AudioLock());
    left = --refs_;
    if (left == 0) {
      playing_ = false;
      MixerRemoveVoice(this);
    }
  }
  if (left == 0) delete this;
  return left;
}

HRESULT SoundBuffer::SetNotifications(uint32_t count, const DSBPOSITIONNOTIFY* positions) {
  if (playing_ || (count && !positions)) return DSERR_INVALIDCALL;
  for (uint32_t i = 0; i < count; ++i)
    if (positions[i].dwOffset != DSBPN_OFFSETSTOP && positions[i].dwOffset >= Bytes())
      return DSERR_INVALIDPARAM;
  notifications_.assign(positions, positions + count);
  return DS_OK;
}

float SoundBuffer::SampleAt(uint32_t frame, int channel) const {
  const WAVEFORMATEX& f = data_->format;
  const uint8_t* p = data_->bytes.data() + static_cast<size_t>(frame) * f.nBlockAlign;
  if (f.nChannels == 2) p += channel * (f.wBitsPerSample / 8);
  if (f.wBitsPerSample == 8) return (static_cast<int>(p[0]) - 128) / 128.0f;
  return static_cast<int16_t>(p[0] | (p[1] << 8)) / 32768.0f;
}

void SoundBuffer::Interpolate(uint32_t frame, uint32_t fraction, bool stereo, float* left,
                              float* right) const {
  const uint32_t total = Frames();
  // The nearest of the kept phases; the last row is the next frame's first.
  static_assert(kPhases == 1 << 9, "the phase is the fraction's top 9 bits");
  const size_t phase = (static_cast<uint64_t>(fraction) + (1u << 22)) >> 23;
  const float* weights = InterpolationKernel().data() + phase * 2 * kHalfTaps;
  float l = 0, r = 0;
  for (int j = 0; j < 2 * kHalfTaps; ++j) {
    int64_t at = static_cast<int64_t>(frame) + j - (kHalfTaps - 1);
    if (at < 0 || at >= total) {
      if (!looping_) continue;  // silence before the start and after the end
      at = ((at % total) + total) % total;
    }
    l += weights[j] * SampleAt(static_cast<uint32_t>(at), 0);
    if (stereo) r += weights[j] * SampleAt(static_cast<uint32_t>(at), 1);
  }
  *left = l;
  *right = stereo ? r : l;
}

void SoundBuffer::FireCrossed(uint32_t fromByte, uint32_t toByte, bool wrapped) {
  for (const DSBPOSITIONNOTIFY& n : notifications_) {
    if (n.dwOffset == DSBPN_OFFSETSTOP) continue;
    bool crossed = wrapped ? (n.dwOffset > fromByte || n.dwOffset <= toByte)
                           : (n.dwOffset > fromByte && n.dwOffset <= toByte);
    if (crossed) SetEvent(n.hEventNotify);
  }
}

void SoundBuffer::FireStop() {
  for (const DSBPOSITIONNOTIFY& n : notifications_)
    if (n.dwOffset == DSBPN_OFFSETSTOP) SetEvent(n.hEventNotify);
}

bool SoundBuffer::MixInto(float* acc, int frames, uint32_t rate) {
  const uint32_t total = Frames();
  if (total == 0 || rate == 0) return false;
  const uint32_t freq = frequency_ ? frequency_ : data_->format.nSamplesPerSec;
  const uint64_t step = (static_cast<uint64_t>(freq) << 32) / rate;
  const uint64_t end = static_cast<uint64_t>(total) << 32;
  const bool stereo = data_->format.nChannels == 2;
  // Played faster than the device runs, a sound has nothing above the device's top to
  // mirror; straight lines do there.
  const bool smooth = freq < rate;
  float gl, gr;
  MixerGains(volume_, pan_, &gl, &gr);
  if (position_ >= end) position_ = looping_ ? 0 : end;
  const uint32_t startByte = BytePosition();
  bool wrapped = false, ended = false;
  for (int i = 0; i < frames && !ended; ++i) {
    const uint32_t idx = static_cast<uint32_t>(position_ >> 32);
    const uint32_t fraction = static_cast<uint32_t>(position_ & 0xFFFFFFFFu);
    float left, right;
    if (smooth) {
      Interpolate(idx, fraction, stereo, &left, &right);
    } else {
      const float frac = static_cast<float>(fraction) / 4294967296.0f;
      uint32_t nxt = idx + 1;
      if (nxt >= total) nxt = looping_ ? 0 : idx;
      float l0 = SampleAt(idx, 0), l1 = SampleAt(nxt, 0);
      left = l0 + (l1 - l0) * frac;
      right = left;
      if (stereo) {
        float r0 = SampleAt(idx, 1), r1 = SampleAt(nxt, 1);
        right = r0 + (r1 - r0) * frac;
      }
    }
    acc[2 * i] += left * gl;
    acc[2 * i + 1] += right * gr;
    position_ += step;
    if (position_ >= end) {
      if (looping_) {
        position_ -= end;
        wrapped = true;
      } else {
        ended = true;
      }
    }
  }
  if (ended) {
    FireCrossed(startByte, Bytes(), false);
    position_ = 0;
    playing_ = false;
    return false;
  }
  FireCrossed(startByte, BytePosition(), wrapped);
  return true;
}

void SoundBuffer::Ended() { FireStop(); }

// --- The primary buffer.

PrimaryBuffer::PrimaryBuffer() {
  format_.wFormatTag = WAVE_FORMAT_PCM;
  format_.nChannels = 2;
  format_.nSamplesPerSec = 22050;
  format_.wBitsPerSample = 16;
  format_ = Normalised(format_);
}

HRESULT PrimaryBuffer::GetCaps(DSBCAPS* caps) {
  if (!caps) return DSERR_INVALIDPARAM;
  caps->dwFlags = DSBCAPS_PRIMARYBUFFER;
  caps->dwBufferBytes = format_.nAvgBytesPerSec / 10;
  return DS_OK;
}

HRESULT PrimaryBuffer::GetFormat(WAVEFORMATEX* format, uint32_t size, uint32_t* written) {
  if (written) *written = sizeof(WAVEFORMATEX);
  if (!format) return DS_OK;
  if (size < 16) return DSERR_INVALIDPARAM;
  // A caller may pass a record without the trailing cbSize field.
  std::memcpy(format, &format_, std::min<size_t>(size, sizeof(WAVEFORMATEX)));
  return DS_OK;
}

HRESULT PrimaryBuffer::SetFormat(const WAVEFORMATEX* format) {
  if (!ValidFormat(format)) return DSERR_INVALIDPARAM;
  format_ = Normalised(*format);
  return DS_OK;
}

HRESULT PrimaryBuffer::Play(uint32_t, uint32_t, uint32_t flags) {
  if (!(flags & DSBPLAY_LOOPING)) return DSERR_INVALIDPARAM;
  playing_ = true;
  return DS_OK;
}

HRESULT PrimaryBuffer::Stop() {
  playing_ = false;
  return DS_OK;
}

HRESULT PrimaryBuffer::GetStatus(uint32_t* status) {
  if (!status) return DSERR_INVALIDPARAM;
  *status = playing_ ? (DSBSTATUS_PLAYING | DSBSTATUS_LOOPING) : 0;
  return DS_OK;
}

HRESULT PrimaryBuffer::GetCurrentPosition(uint32_t* play, uint32_t* write) {
  if (play) *play = 0;
  if (write) *write = 0;
  return DS_OK;
}

HRESULT PrimaryBuffer::SetCurrentPosition(uint32_t) { return DSERR_INVALIDCALL; }
HRESULT PrimaryBuffer::Lock(uint32_t, uint32_t, void**, uint32_t*, void**, uint32_t*, uint32_t) {
  return DSERR_INVALIDCALL;
}
HRESULT PrimaryBuffer::Unlock(void*, uint32_t, void*, uint32_t) { return DSERR_INVALIDCALL; }

HRESULT PrimaryBuffer::SetVolume(int32_t volume) {
  if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
  volume_ = volume;
  return DS_OK;
}
HRESULT PrimaryBuffer::GetVolume(int32_t* volume) {
  if (!volume) return DSERR_INVALIDPARAM;
  *volume = volume_;
  return DS_OK;
}
HRESULT PrimaryBuffer::SetPan(int32_t pan) {
  if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
  pan_ = pan;
  return DS_OK;
}
HRESULT PrimaryBuffer::GetPan(int32_t* pan) {
  if (!pan) return DSERR_INVALIDPARAM;
  *pan = pan_;
  return DS_OK;
}
HRESULT PrimaryBuffer::SetFrequency(uint32_t) { return DSERR_INVALIDCALL; }
HRESULT PrimaryBuffer::GetFrequency(uint32_t* frequency) {
  if (!frequency) return DSERR_INVALIDPARAM;
  *frequency = format_.nSamplesPerSec;
  return DS_OK;
}
HRESULT PrimaryBuffer::QueryInterface(const GUID&, void** object) {
  if (object) *object = nullptr;
  return DSERR_NOINTERFACE;
}
uint32_t PrimaryBuffer::AddRef() { return ++refs_; }
uint32_t PrimaryBuffer::Release() {
  uint32_t left = --refs_;
  if (left == 0) delete this;
  return left;
}
