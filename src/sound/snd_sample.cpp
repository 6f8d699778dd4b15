// One sample: loading its sound into a buffer, duplicates, chains, play and controls.
#include <cstring>

#include "sound/dalk_sound.h"
#include "sound/sound_lock.h"

namespace {

int CloseSoundFile(HANDLE handle) {
  return DalkSound::g_pCloseFile ? DalkSound::g_pCloseFile(handle)
                                 : DalkSound::DefaultCloseFile(handle);
}

}  // namespace

void SNDSample::Reset() {
  DSBPOSITIONNOTIFY keep = endNotify;
  std::memset(static_cast<void*>(this), 0, sizeof *this);
  endNotify = keep;
}

void SNDSample::release_buffer() {
  if (buffer) buffer->Release();
  buffer = nullptr;
}

int SNDSample::LoadSample(char* file, unsigned long newId) {
  SOUND_LOCKED();
  HANDLE handle = OpenSoundFile(file);
  if (handle == INVALID_HANDLE_VALUE) return 0;
  if (!AllocDSBuffer(0)) {
    CloseSoundFile(handle);
    return 0;
  }
  void* part1 = nullptr;
  void* part2 = nullptr;
  uint32_t bytes1 = 0, bytes2 = 0;
  if (FAILED(buffer->Lock(0, dataSize, &part1, &bytes1, &part2, &bytes2, 0))) {
    CloseSoundFile(handle);
    release_buffer();  // not left behind in a slot that is about to be cleared
    return 0;
  }
  DWORD got = 0;
  if (!ReadFile(handle, part1, dataSize, &got, nullptr) || got < dataSize) {
    buffer->Unlock(part1, 0, part2, 0);
    CloseSoundFile(handle);
    release_buffer();
    return 0;
  }
  if (newId != 0xFFFFFFFFul) id = static_cast<uint32_t>(newId);
  buffer->Unlock(part1, bytes1, part2, bytes2);
  CloseSoundFile(handle);
  return 1;
}

int SNDSample::AllocDSBuffer(unsigned long size) {
  SOUND_LOCKED();
  if (!DalkSound::g_lpDSound) return 0;
  WAVEFORMATEX format;
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = static_cast<uint16_t>(channels);
  format.nSamplesPerSec = frequency;
  format.wBitsPerSample = static_cast<uint16_t>(bits);
  format.nBlockAlign = static_cast<uint16_t>(channels * bits / 8);
  format.nAvgBytesPerSec = frequency * format.nBlockAlign;
  format.cbSize = 0;
  DSBUFFERDESC desc;
  desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRLPOSITIONNOTIFY;
  desc.dwBufferBytes = size ? static_cast<uint32_t>(size) : dataSize;
  desc.lpwfxFormat = &format;
  IDirectSoundBuffer* made = nullptr;
  if (FAILED(DalkSound::g_lpDSound->CreateSoundBuffer(&desc, &made, nullptr))) return 0;
  buffer = made;
  return 1;
}

SNDSample* SNDSample::DupeSample() {
  SOUND_LOCKED();
  if (!buffer) return nullptr;
  SNDSample* d = DalkSound::AllocSample();
  if (!d) return nullptr;
  if (FAILED(DalkSound::g_lpDSound->DuplicateSoundBuffer(buffer, &d->buffer))) {
    d->buffer = nullptr;
    DalkSound::ClearSample(d);
    return nullptr;
  }
  d->id = id;
  d->dataSize = dataSize;
  d->frequency = frequency;
  d->bits = bits;
  d->channels = channels;
  d->next = nullptr;
  d->flags |= Duplicate;
  if (flags & Looped) {
    d->loopStart = loopStart;
    d->loopEnd = loopEnd;
    d->flags |= Looped;  // an overlapping copy sounds like its original
  }
  return d;
}

SNDSample* SNDSample::ChainSample(SNDSample* first, SNDSample* next) {
  SOUND_LOCKED();
  if (!next) return nullptr;
  if (!first) return next;
  // A chain that already loops has no end to append to, and walking it would never stop;
  // a second pointer at twice the pace meets the first one inside any loop.
  SNDSample* last = first;
  SNDSample* fast = first;
  while (last->next) {
    last = last->next;
    fast = fast->next && fast->next->next ? fast->next->next : nullptr;
    if (fast == last) return first;
  }
  last->next = next;
  return first;
}

int SNDSample::play_buffer() {
  return buffer->Play(0, 0, (flags & Looped) ? DSBPLAY_LOOPING : 0) == DS_OK;
}

int SNDSample::PlaySample(long newVolume, long newPan) {
  SOUND_LOCKED();
  if (!g_DalkSound.m_nSFXEnabled) return 1;
  if (!buffer) return 0;
  SetPan(static_cast<int>(newPan));
  SetVolume(static_cast<int>(newVolume));
  if (next && !(flags & EndArmed)) {
    if (_SNDEvent* e = DalkSound::AllocSoundEvent()) {
      IDirectSoundNotify* notify = nullptr;
      if (SUCCEEDED(buffer->QueryInterface(IID_IDirectSoundNotify,
                                           reinterpret_cast<void**>(&notify)))) {
        e->pSample = this;
        endNotify.dwOffset = DSBPN_OFFSETSTOP;
        endNotify.hEventNotify = e->hEvent;
        flags |= EndArmed;
        notify->SetNotificationPositions(1, &endNotify);
        notify->Release();  // the positions stay with the buffer
      }
    }
  }
  flags &= ~Reserved;
  return play_buffer();
}

int SNDSample::StopSample() {
  SOUND_LOCKED();
  if (!buffer) return 0;
  return buffer->Stop() == DS_OK;
}

int SNDSample::PauseSample() {
  SOUND_LOCKED();
  if (!buffer) return 0;
  if (FAILED(buffer->Stop())) return 0;
  if (FAILED(buffer->GetCurrentPosition(&pausePosition, nullptr))) return 0;
  flags |= Paused;
  return 1;
}

int SNDSample::UnPauseSample() {
  SOUND_LOCKED();
  if (!buffer || !(flags & Paused)) return 0;
  if (FAILED(buffer->SetCurrentPosition(pausePosition))) return 0;
  flags &= ~Paused;
  return play_buffer();
}

long SNDSample::GetSampleStatus() {
  SOUND_LOCKED();
  if (!buffer) return static_cast<long>(static_cast<uint32_t>(DSERR_INVALIDPARAM));
  uint32_t status = 0;
  if (FAILED(buffer->GetStatus(&status)))
    return static_cast<long>(static_cast<uint32_t>(DSERR_INVALIDPARAM));
  return static_cast<long>(status);
}

int SNDSample::SamplePlaying() {
  long status = GetSampleStatus();
  if (status == static_cast<long>(static_cast<uint32_t>(DSERR_INVALIDPARAM))) return 0;
  return static_cast<int>(status & 1);
}

int SNDSample::SetVolume(int v) {
  SOUND_LOCKED();
  if (!buffer) return 0;
  volume = v;
  return buffer->SetVolume(DalkSound::MapVolume(v)) == DS_OK;
}

int SNDSample::SetPan(int p) {
  SOUND_LOCKED();
  if (!buffer) return 0;
  pan = p;
  return buffer->SetPan(DalkSound::MapPan(p)) == DS_OK;
}

int SNDSample::SetPitch(int f) {
  SOUND_LOCKED();
  if (!buffer) return 0;
  pitch = f;
  return f >= 0 && buffer->SetFrequency(static_cast<uint32_t>(f)) == DS_OK;
}
