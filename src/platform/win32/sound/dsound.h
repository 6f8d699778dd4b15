// The audio device as the sound library sees it: a device object, a primary buffer and
// secondary buffers that share or own their sound data, position notifications that signal
// kernel events. Everything is mixed in software into one host audio device.
#pragma once

#include <cstdint>

#include "platform/win32/kernel/kernel.h"
#include "platform/win32/window/win.h"

using HRESULT = int32_t;
constexpr HRESULT DS_OK = 0;
constexpr HRESULT DSERR_GENERIC = static_cast<HRESULT>(0x80004005);
constexpr HRESULT DSERR_INVALIDPARAM = static_cast<HRESULT>(0x80070057);
constexpr HRESULT DSERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT DSERR_NOINTERFACE = static_cast<HRESULT>(0x80004002);
constexpr HRESULT DSERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001);
constexpr HRESULT DSERR_NODRIVER = static_cast<HRESULT>(0x88780078);
constexpr HRESULT DSERR_INVALIDCALL = static_cast<HRESULT>(0x88780032);

inline bool SUCCEEDED(HRESULT r) { return r >= 0; }
inline bool FAILED(HRESULT r) { return r < 0; }

constexpr uint16_t WAVE_FORMAT_PCM = 1;

struct WAVEFORMATEX {
  uint16_t wFormatTag = 0;
  uint16_t nChannels = 0;
  uint32_t nSamplesPerSec = 0;
  uint32_t nAvgBytesPerSec = 0;
  uint16_t nBlockAlign = 0;
  uint16_t wBitsPerSample = 0;
  uint16_t cbSize = 0;
};

constexpr uint32_t DSBCAPS_PRIMARYBUFFER = 0x1;
constexpr uint32_t DSBCAPS_STATIC = 0x2;
constexpr uint32_t DSBCAPS_CTRLFREQUENCY = 0x20;
constexpr uint32_t DSBCAPS_CTRLPAN = 0x40;
constexpr uint32_t DSBCAPS_CTRLVOLUME = 0x80;
constexpr uint32_t DSBCAPS_CTRLPOSITIONNOTIFY = 0x100;

struct DSBUFFERDESC {
  uint32_t dwSize = 36;
  uint32_t dwFlags = 0;
  uint32_t dwBufferBytes = 0;
  uint32_t dwReserved = 0;
  WAVEFORMATEX* lpwfxFormat = nullptr;
};

struct DSBCAPS {
  uint32_t dwSize = 20;
  uint32_t dwFlags = 0;
  uint32_t dwBufferBytes = 0;
  uint32_t dwUnlockTransferRate = 0;
  uint32_t dwPlayCpuOverhead = 0;
};

constexpr uint32_t DSCAPS_PRIMARYMONO = 0x1;
constexpr uint32_t DSCAPS_PRIMARYSTEREO = 0x2;
constexpr uint32_t DSCAPS_PRIMARY8BIT = 0x4;
constexpr uint32_t DSCAPS_PRIMARY16BIT = 0x8;

// The device capabilities record: 24 32-bit fields, 96 bytes.
struct _DSCAPS {
  uint32_t dwSize = 96;
  uint32_t dwFlags = 0;
  uint32_t dwMinSecondarySampleRate = 0;
  uint32_t dwMaxSecondarySampleRate = 0;
  uint32_t dwOther[20] = {};
};
using DSCAPS = _DSCAPS;
static_assert(sizeof(_DSCAPS) == 96);

constexpr uint32_t DSSCL_EXCLUSIVE = 3;
constexpr uint32_t DSBPLAY_LOOPING = 0x1;
constexpr uint32_t DSBSTATUS_PLAYING = 0x1;
constexpr uint32_t DSBSTATUS_LOOPING = 0x4;
constexpr uint32_t DSBPN_OFFSETSTOP = 0xFFFFFFFF;
constexpr int32_t DSBVOLUME_MIN = -10000;
constexpr int32_t DSBVOLUME_MAX = 0;
constexpr int32_t DSBPAN_LEFT = -10000;
constexpr int32_t DSBPAN_RIGHT = 10000;

struct DSBPOSITIONNOTIFY {
  uint32_t dwOffset = 0;
  HANDLE hEventNotify = nullptr;
};

struct GUID {
  uint32_t data1;
  uint16_t data2, data3;
  uint8_t data4[8];
};
inline bool operator==(const GUID& a, const GUID& b) {
  if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.data4[i] != b.data4[i]) return false;
  return true;
}
inline constexpr GUID IID_IDirectSoundNotify = {
    0xb0210783, 0x89cd, 0x11d0, {0xaf, 0x08, 0x00, 0xa0, 0xc9, 0x25, 0xcd, 0x16}};

// Position notifications of one secondary buffer. An offset of DSBPN_OFFSETSTOP fires when
// the buffer stops, by Stop or by reaching its end.
class IDirectSoundNotify {
 public:
  virtual HRESULT SetNotificationPositions(uint32_t count, const DSBPOSITIONNOTIFY* positions) = 0;
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

 protected:
  virtual ~IDirectSoundNotify() = default;
};

// A sound buffer. Volume in hundredths of a decibel (-10000..0), pan -10000 (left only) to
// 10000 (right only), frequency in Hz (0 = the buffer's own rate). Lock hands out the
// region as up to two parts when it wraps round the end of the ring; what is written
// there reaches the buffer at Unlock.
class IDirectSoundBuffer {
 public:
  virtual HRESULT GetCaps(DSBCAPS* caps) = 0;
  virtual HRESULT GetFormat(WAVEFORMATEX* format, uint32_t size, uint32_t* written) = 0;
  virtual HRESULT SetFormat(const WAVEFORMATEX* format) = 0;
  virtual HRESULT Play(uint32_t reserved1, uint32_t priority, uint32_t flags) = 0;
  virtual HRESULT Stop() = 0;
  virtual HRESULT GetStatus(uint32_t* status) = 0;
  virtual HRESULT GetCurrentPosition(uint32_t* play, uint32_t* write) = 0;
  virtual HRESULT SetCurrentPosition(uint32_t position) = 0;
  virtual HRESULT Lock(uint32_t offset, uint32_t bytes, void** part1, uint32_t* bytes1,
                       void** part2, uint32_t* bytes2, uint32_t flags) = 0;
  virtual HRESULT Unlock(void* part1, uint32_t bytes1, void* part2, uint32_t bytes2) = 0;
  virtual HRESULT SetVolume(int32_t volume) = 0;
  virtual HRESULT GetVolume(int32_t* volume) = 0;
  virtual HRESULT SetPan(int32_t pan) = 0;
  virtual HRESULT GetPan(int32_t* pan) = 0;
  virtual HRESULT SetFrequency(uint32_t frequency) = 0;
  virtual HRESULT GetFrequency(uint32_t* frequency) = 0;
  virtual HRESULT QueryInterface(const GUID& iid, void** object) = 0;
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

 protected:
  virtual ~IDirectSoundBuffer() = default;
};

class IDirectSound {
 public:
  virtual HRESULT SetCooperativeLevel(HWND window, uint32_t level) = 0;
  virtual HRESULT GetCaps(DSCAPS* caps) = 0;
  virtual HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer,
                                    void* outer) = 0;
  virtual HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original,
                                       IDirectSoundBuffer** duplicate) = 0;
  virtual HRESULT Compact() = 0;
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

 protected:
  virtual ~IDirectSound() = default;
};

using LPDIRECTSOUND = IDirectSound*;
using LPDIRECTSOUNDBUFFER = IDirectSoundBuffer*;
using LPDIRECTSOUNDNOTIFY = IDirectSoundNotify*;

// Opens the host audio device (null device when headless). No device: one line on standard
// error, DSERR_NODRIVER, and the game stays silent.
HRESULT DirectSoundCreate(const GUID* device, LPDIRECTSOUND* object, void* outer);
