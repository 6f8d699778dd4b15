// The slot table: allocation and the mark, lookups with duplicates, freeing, playing by id.
#include "sound/dalk_sound.h"
#include "sound/sound_lock.h"

SNDSample* DalkSound::AllocSample() {
  SOUND_LOCKED();
  if (!g_SampleList) return nullptr;
  for (SNDSample* s = g_SampleList; s < g_pEndSample; ++s) {
    if (s->flags & SNDSample::InUse) continue;
    s->flags |= SNDSample::InUse;
    if (s >= g_pLastSample) g_pLastSample = s + 1;
    return s;
  }
  return nullptr;
}

void DalkSound::ClearSample(SNDSample* sample) {
  SOUND_LOCKED();
  if (!sample) return;
  sample->Reset();
  SNDSample* highest = nullptr;
  for (SNDSample* s = sample; s < g_pLastSample; ++s)
    if (s->flags & SNDSample::InUse) highest = s;
  if (highest) g_pLastSample = highest + 1;
}

void DalkSound::ClearSampleList() {
  SOUND_LOCKED();
  if (!g_SampleList) return;
  // Records still armed for these slots would start chains of whatever moves in next.
  for (int i = 1; i < g_nMaxEventCount; ++i) g_EventList[i].pSample = nullptr;
  for (int i = 0; i < g_nMaxSampleCount; ++i) {
    SNDSample* s = &g_SampleList[i];
    // A cleared slot forgets its buffer: release it here or it plays on and leaks.
    if (s->buffer && s != g_StreamInfo.sample) {
      s->buffer->Stop();
      s->buffer->Release();
    }
    if (s != g_StreamInfo.sample) ClearSample(s);
  }
  g_pLastSample = g_SampleList;
  g_pEndSample = g_SampleList + g_nMaxSampleCount;
}

int DalkSound::LoadSample(char* file, unsigned long id) {
  SOUND_LOCKED();
  if (FindSample(id)) return 1;
  SNDSample* slot = AllocSample();
  if (!slot) return 0;
  if (slot->LoadSample(file, id)) return 1;
  ClearSample(slot);
  return 0;
}

SNDSample* DalkSound::FindSample(unsigned long id) {
  SOUND_LOCKED();
  if (!g_SampleList) return nullptr;
  SNDSample* result = nullptr;
  SNDSample* spare = nullptr;
  for (SNDSample* s = g_SampleList; s < g_pLastSample; ++s) {
    const uint32_t f = s->flags;
    if ((f & SNDSample::InUse) && s->id == static_cast<uint32_t>(id)) {
      if (!(f & SNDSample::Reserved) && !s->SamplePlaying()) {
        result = s;
        break;
      }
      if (!spare && !(f & SNDSample::Duplicate)) spare = s;
    } else if ((f & SNDSample::Duplicate) && !(f & SNDSample::Reserved) && !s->SamplePlaying()) {
      FreeSample(s);
    }
  }
  if (!result && spare) result = spare->DupeSample();
  if (result) result->flags |= SNDSample::Reserved;
  return result;
}

void DalkSound::FreeSample(SNDSample* sample) {
  SOUND_LOCKED();
  if (!sample || !sample->buffer) return;
  // Disarm first: the stop below signals the end event, and the call-back thread must
  // not start a chain from a slot that is being cleared (and may be reused).
  if (sample->flags & SNDSample::EndArmed) {
    for (int i = 1; i < g_nMaxEventCount; ++i)
      if (g_EventList[i].pSample == sample) g_EventList[i].pSample = nullptr;
  }
  uint32_t status = 0;
  if (SUCCEEDED(sample->buffer->GetStatus(&status)) && (status & DSBSTATUS_PLAYING))
    sample->buffer->Stop();
  sample->buffer->Release();
  sample->buffer = nullptr;
  ClearSample(sample);
}

void DalkSound::FreeSample(unsigned long id) {
  SOUND_LOCKED();
  if (SNDSample* s = FindSample(id)) FreeSample(s);
}

void DalkSound::FlushSamples() {
  SOUND_LOCKED();
  if (!g_SampleList) return;
  for (SNDSample* s = g_SampleList; s < g_pEndSample; ++s) {
    const uint32_t f = s->flags;
    if ((f & SNDSample::InUse) && !(f & SNDSample::Reserved) && (f & SNDSample::Duplicate) &&
        !s->SamplePlaying())
      FreeSample(s);
  }
}

SNDSample* DalkSound::PlaySample(long id, long volume, long pan) {
  SOUND_LOCKED();
  SNDSample* s = FindSample(static_cast<unsigned long>(id));
  if (s) s->PlaySample(volume, pan);
  return s;
}

int DalkSound::PlaySampleIDOnce(long id, long volume, long pan) {
  SOUND_LOCKED();
  if (!m_nSFXEnabled) return 1;
  SNDSample* s = FindSample(static_cast<unsigned long>(id));
  if (!s || !s->buffer) return 0;
  if (s->SamplePlaying()) return 0;
  s->SetPan(pan);
  s->SetVolume(volume);
  s->flags &= ~SNDSample::Reserved;
  return s->buffer->Play(0, 0, (s->flags & SNDSample::Looped) ? DSBPLAY_LOOPING : 0) == DS_OK;
}

void DalkSound::EnableSFX(int on) {
  SOUND_LOCKED();
  m_nSFXEnabled = on;
}

int DalkSound::MapVolume(int volume) {
  int index = volume > 0xFFFF ? 16383 : volume < 0 ? 0 : volume >> 2;
  return g_VolumeTable[index];
}

int DalkSound::MapPan(int pan) {
  if (pan > 0xFFFF) return -10000;
  if (pan >= 0x8000) return g_VolumeTable[16383 - (((pan - 0x8000) >> 1) & 0x3FFF)];
  if (pan >= 1) return -g_VolumeTable[(pan >> 1) & 0x3FFF];
  return 10000;
}
