// Secondary sound buffers: PCM data (shared between a buffer and its duplicates), a play
// cursor, volume, pan and frequency, and position notifications. A playing buffer is a
// voice of the mixer.
#pragma once

#include <memory>
#include <vector>

#include "platform/audio/audio_mixer.h"
#include "platform/win32/sound/dsound.h"

struct SoundData {
  WAVEFORMATEX format;
  std::vector<uint8_t> bytes;
};

class SoundBuffer final : public IDirectSoundBuffer, public MixVoice {
 public:
  SoundBuffer(uint32_t flags, std::shared_ptr<SoundData> data);

  // Checks a secondary buffer's description: PCM, 1 or 2 channels, 8 or 16 bits, a rate
  // the mixer can resample, and a size between 4 bytes and 256 MiB.
  static bool ValidDescription(const DSBUFFERDESC* desc);
  SoundBuffer* Duplicate();

  HRESULT GetCaps(DSBCAPS* caps) override;
  HRESULT GetFormat(WAVEFORMATEX* format, uint32_t size, uint32_t* written) override;
  HRESULT SetFormat(const WAVEFORMATEX* format) override;
  HRESULT Play(uint32_t reserved1, uint32_t priority, uint32_t flags) override;
  HRESULT Stop() override;
  HRESULT GetStatus(uint32_t* status) override;
  HRESULT GetCurrentPosition(uint32_t* play, uint32_t* write) override;
  HRESULT SetCurrentPosition(uint32_t position) override;
  HRESULT Lock(uint32_t offset, uint32_t bytes, void** part1, uint32_t* bytes1, void** part2,
               uint32_t* bytes2, uint32_t flags) override;
  HRESULT Unlock(void* part1, uint32_t bytes1, void* part2, uint32_t bytes2) override;
  HRESULT SetVolume(int32_t volume) override;
  HRESULT GetVolume(int32_t* volume) override;
  HRESULT SetPan(int32_t pan) override;
  HRESULT GetPan(int32_t* pan) override;
  HRESULT SetFrequency(uint32_t frequency) override;
  HRESULT GetFrequency(uint32_t* frequency) override;
  HRESULT QueryInterface(const GUID& iid, void** object) override;
  uint32_t AddRef() override;
  uint32_t Release() override;

  bool MixInto(float* acc, int frames, uint32_t rate) override;
  void Ended() override;

  // For the notification interface (under AudioLock).
  HRESULT SetNotifications(uint32_t count, const DSBPOSITIONNOTIFY* positions);

 private:
  ~SoundBuffer() override;
  uint32_t Bytes() const { return static_cast<uint32_t>(data_->bytes.size()); }
  uint32_t Frames() const { return Bytes() / data_->format.nBlockAlign; }
  uint32_t BytePosition() const;
  float SampleAt(uint32_t frame, int channel) const;
  // The sound between frame and the next, fraction of the way (32-bit fixed point).
  void Interpolate(uint32_t frame, uint32_t fraction, bool stereo, float* left,
                   float* right) const;
  void FireCrossed(uint32_t fromByte, uint32_t toByte, bool wrapped);
  void FireStop();

  class Notify;
  uint32_t flags_;
  std::shared_ptr<SoundData> data_;
  uint32_t refs_ = 1;  // under AudioLock
  bool playing_ = false;
  bool looping_ = false;
  uint64_t position_ = 0;  // frames, 32.32 fixed point
  int32_t volume_ = 0;
  int32_t pan_ = 0;
  uint32_t frequency_ = 0;  // 0: the data's own rate
  std::vector<DSBPOSITIONNOTIFY> notifications_;
  std::vector<uint8_t> lockScratch_;
  uint32_t lockOffset_ = 0;
  bool locked_ = false;
  Notify* notify_ = nullptr;
};

// The primary buffer: the device's own output. It keeps its format and play state for the
// caller but the mixer decides the real output format.
class PrimaryBuffer final : public IDirectSoundBuffer {
 public:
  PrimaryBuffer();
  HRESULT GetCaps(DSBCAPS* caps) override;
  HRESULT GetFormat(WAVEFORMATEX* format, uint32_t size, uint32_t* written) override;
  HRESULT SetFormat(const WAVEFORMATEX* format) override;
  HRESULT Play(uint32_t reserved1, uint32_t priority, uint32_t flags) override;
  HRESULT Stop() override;
  HRESULT GetStatus(uint32_t* status) override;
  HRESULT GetCurrentPosition(uint32_t* play, uint32_t* write) override;
  HRESULT SetCurrentPosition(uint32_t position) override;
  HRESULT Lock(uint32_t, uint32_t, void**, uint32_t*, void**, uint32_t*, uint32_t) override;
  HRESULT Unlock(void*, uint32_t, void*, uint32_t) override;
  HRESULT SetVolume(int32_t volume) override;
  HRESULT GetVolume(int32_t* volume) override;
  HRESULT SetPan(int32_t pan) override;
  HRESULT GetPan(int32_t* pan) override;
  HRESULT SetFrequency(uint32_t frequency) override;
  HRESULT GetFrequency(uint32_t* frequency) override;
  HRESULT QueryInterface(const GUID& iid, void** object) override;
  uint32_t AddRef() override;
  uint32_t Release() override;

 private:
  ~PrimaryBuffer() override = default;
  WAVEFORMATEX format_;
  uint32_t refs_ = 1;
  bool playing_ = false;
  int32_t volume_ = 0;
  int32_t pan_ = 0;
};
