// The device object: makes the buffers and holds the host device open while it lives.
#include <cstdio>
#include <memory>

#include "platform/audio/audio_device.h"
#include "platform/runtime/trace.h"
#include "platform/win32/sound/audio_buffer.h"
#include "platform/win32/sound/dsound.h"

namespace {

class DirectSoundDevice final : public IDirectSound {
 public:
  HRESULT SetCooperativeLevel(HWND, uint32_t level) override {
    return level >= 1 && level <= 3 ? DS_OK : DSERR_INVALIDPARAM;
  }

  HRESULT GetCaps(DSCAPS* caps) override {
    if (!caps || caps->dwSize != sizeof(DSCAPS)) return DSERR_INVALIDPARAM;
    caps->dwFlags = DSCAPS_PRIMARYMONO | DSCAPS_PRIMARYSTEREO | DSCAPS_PRIMARY8BIT |
                    DSCAPS_PRIMARY16BIT;
    caps->dwMinSecondarySampleRate = 100;
    caps->dwMaxSecondarySampleRate = 200000;
    return DS_OK;
  }

  HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer,
                            void*) override {
    if (!buffer) return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    if (!desc) return DSERR_INVALIDPARAM;
    if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
      if (desc->dwBufferBytes != 0 || desc->lpwfxFormat) return DSERR_INVALIDPARAM;
      *buffer = new PrimaryBuffer();
      return DS_OK;
    }
    if (!SoundBuffer::ValidDescription(desc)) return DSERR_INVALIDPARAM;
    auto data = std::make_shared<SoundData>();
    data->format = *desc->lpwfxFormat;
    data->format.nBlockAlign =
        static_cast<uint16_t>(data->format.nChannels * data->format.wBitsPerSample / 8);
    data->format.nAvgBytesPerSec = data->format.nSamplesPerSec * data->format.nBlockAlign;
    data->format.cbSize = 0;
    // Silence, so a buffer that is played before it is filled makes no noise.
    const uint8_t silence = data->format.wBitsPerSample == 8 ? 0x80 : 0;
    data->bytes.assign(desc->dwBufferBytes,
                       silence);
    *buffer = new SoundBuffer(desc->dwFlags, std::move(data));
    return DS_OK;
  }

  HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original,
                               IDirectSoundBuffer** duplicate) override {
    if (!duplicate) return DSERR_INVALIDPARAM;
    *duplicate = nullptr;
    auto* source = dynamic_cast<SoundBuffer*>(original);
    if (!source) return DSERR_INVALIDPARAM;
    *duplicate = source->Duplicate();
    return DS_OK;
  }

  HRESULT Compact() override { return DS_OK; }
  uint32_t AddRef() override { return ++refs_; }
  uint32_t Release() override {
    uint32_t left = --refs_;
    if (left == 0) {
      AudioDeviceRelease();
      delete this;
    }
    return left;
  }

 private:
  ~DirectSoundDevice() override = default;
  uint32_t refs_ = 1;
};

}  // namespace

HRESULT DirectSoundCreate(const GUID*, LPDIRECTSOUND* object, void*) {
  if (!object) return DSERR_INVALIDPARAM;
  *object = nullptr;
  const bool acquired = AudioDeviceAcquire();
  TraceStep(acquired ? "sound device made" : "no audio device");
  if (!acquired) return DSERR_NODRIVER;
  *object = new DirectSoundDevice();
  return DS_OK;
}
