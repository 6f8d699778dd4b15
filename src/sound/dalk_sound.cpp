// The library's device, tables, file hooks and call-back thread.
#include "sound/dalk_sound.h"

#include <cstring>
#include <thread>

#include "sound/sound_lock.h"

DALK_EXPORT_DATA LPDIRECTSOUND DalkSound::g_lpDSound = nullptr;
DALK_EXPORT_DATA LPDIRECTSOUNDBUFFER DalkSound::g_lpSoundBuffer = nullptr;
DALK_EXPORT_DATA _DSCAPS DalkSound::g_DSCaps;
DALK_EXPORT_DATA HGLOBAL DalkSound::g_MemHandle = nullptr;
DALK_EXPORT_DATA int DalkSound::g_nMaxSampleCount = 0;
DALK_EXPORT_DATA int DalkSound::g_nMaxEventCount = 0;
DALK_EXPORT_DATA HANDLE* DalkSound::g_CallBackHandles = nullptr;
DALK_EXPORT_DATA _SNDEvent* DalkSound::g_EventList = nullptr;
DALK_EXPORT_DATA SNDSample* DalkSound::g_SampleList = nullptr;
DALK_EXPORT_DATA SNDSample* DalkSound::g_pEndSample = nullptr;
DALK_EXPORT_DATA SNDSample* DalkSound::g_pLastSample = nullptr;
DALK_EXPORT_DATA HANDLE (*DalkSound::g_pOpenFile)(char*) = nullptr;
DALK_EXPORT_DATA int (*DalkSound::g_pCloseFile)(HANDLE) = nullptr;
DALK_EXPORT_DATA HANDLE DalkSound::g_CallBackThread = nullptr;
DALK_EXPORT_DATA std::atomic<int> DalkSound::g_nCallBackThreadActive{0};

DALK_EXPORT_DATA DalkSound g_DalkSound;

std::recursive_mutex& SoundLibraryLock() {
  static std::recursive_mutex lock;
  return lock;
}

namespace {
// Far more slots than any game needs; keeps the table's size computation small.
constexpr int kMaxSlots = 1 << 20;
}  // namespace

DalkSound::DalkSound(HWND window, int maxSamples) { Init(window, maxSamples); }

int DalkSound::Init(HWND window, int maxSamples) {
  // A second Init first shuts the first one down: its thread waits on the old tables.
  if (g_lpDSound || g_CallBackThread || g_MemHandle) Exit();
  SOUND_LOCKED();
  m_nMusicVolume = 0x8000;
  m_nMusicEnabled = 1;
  m_nSFXEnabled = 1;
  g_nMaxSampleCount = maxSamples;
  if (!AllocSampleBuffers()) return 0;
  if (FAILED(DirectSoundCreate(nullptr, &g_lpDSound, nullptr))) {
    g_lpDSound = nullptr;
    free_sample_buffers();
    return 0;
  }
  if (FAILED(g_lpDSound->SetCooperativeLevel(window, DSSCL_EXCLUSIVE))) {
    g_lpDSound->Release();
    g_lpDSound = nullptr;
    free_sample_buffers();
    return 0;
  }
  g_DSCaps = _DSCAPS{};
  if (SUCCEEDED(g_lpDSound->GetCaps(&g_DSCaps))) debug_dsound_caps(&g_DSCaps);
  if (!CreateMainBuffer()) {
    // The device would otherwise stay open with nothing able to use it.
    g_lpDSound->Release();
    g_lpDSound = nullptr;
    free_sample_buffers();
    return 0;
  }
  SetFileOpenFunc(nullptr);
  SetFileCloseFunc(nullptr);
  setup_callback();
  return 1;
}

void DalkSound::Exit() {
  // Unlike StopStream this ignores the music switch: a stream must not outlive the tables.
  EndStreamForExit();
  // Samples go before the call-back thread's events: stopping a chained sample signals
  // its event, which must still exist then.
  {
    SOUND_LOCKED();
    if (g_SampleList) {
      for (SNDSample* s = g_SampleList; s < g_pLastSample; ++s)
        if (s->flags & SNDSample::InUse) FreeSample(s);
    }
  }
  close_callback();
  SOUND_LOCKED();
  free_sample_buffers();
  if (g_lpSoundBuffer) {
    g_lpSoundBuffer->Stop();
    g_lpSoundBuffer->Release();
    g_lpSoundBuffer = nullptr;
  }
  if (g_lpDSound) {
    g_lpDSound->Release();
    g_lpDSound = nullptr;
  }
}

void DalkSound::debug_dsound_caps(_DSCAPS*) {}

void DalkSound::MemCleanup() {
  SOUND_LOCKED();
  if (g_lpDSound) g_lpDSound->Compact();
}

void DalkSound::SetFileOpenFunc(HANDLE (*open)(char*)) {
  SOUND_LOCKED();
  g_pOpenFile = open ? open : DefaultOpenFile;
}

void DalkSound::SetFileCloseFunc(int (*close)(HANDLE)) {
  SOUND_LOCKED();
  g_pCloseFile = close ? close : DefaultCloseFile;
}

HANDLE DalkSound::DefaultOpenFile(char* name) {
  return CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

int DalkSound::DefaultCloseFile(HANDLE handle) { return CloseHandle(handle); }

int DalkSound::AllocSampleBuffers() {
  free_sample_buffers();
  if (!alloc_sample_buffers(g_nMaxSampleCount)) return 0;
  g_pLastSample = g_SampleList;
  g_pEndSample = g_SampleList + g_nMaxSampleCount;
  return 1;
}

int DalkSound::alloc_sample_buffers(int count) {
  if (count < 0 || count > kMaxSlots) return 0;
  int events = count + 1;
  if (events > static_cast<int>(MAXIMUM_WAIT_OBJECTS)) events = MAXIMUM_WAIT_OBJECTS;
  g_nMaxEventCount = events;
  const size_t bytes = events * sizeof(HANDLE) + events * sizeof(_SNDEvent) +
                       static_cast<size_t>(count) * sizeof(SNDSample);
  g_MemHandle = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  if (!g_MemHandle) return 0;
  auto* block = static_cast<unsigned char*>(GlobalLock(g_MemHandle));
  if (!block) {
    free_sample_buffers();
    return 0;
  }
  g_CallBackHandles = reinterpret_cast<HANDLE*>(block);
  g_EventList = reinterpret_cast<_SNDEvent*>(block + events * sizeof(HANDLE));
  g_SampleList = reinterpret_cast<SNDSample*>(block + events * sizeof(HANDLE) +
                                              events * sizeof(_SNDEvent));
  return 1;
}

int DalkSound::free_sample_buffers() {
  if (g_MemHandle) {
    GlobalUnlock(g_MemHandle);
    if (GlobalFree(g_MemHandle) != nullptr) return 0;
  }
  g_MemHandle = nullptr;
  g_CallBackHandles = nullptr;
  g_EventList = nullptr;
  g_SampleList = nullptr;
  // The walks run from the table to these marks: with no table they must visit nothing.
  g_pLastSample = nullptr;
  g_pEndSample = nullptr;
  return 1;
}

int DalkSound::CreateMainBuffer() {
  DSBUFFERDESC desc;
  desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
  if (FAILED(g_lpDSound->CreateSoundBuffer(&desc, &g_lpSoundBuffer, nullptr))) {
    g_lpSoundBuffer = nullptr;
    return 0;
  }
  WAVEFORMATEX format;
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nSamplesPerSec = 22050;
  format.nChannels = (g_DSCaps.dwFlags & DSCAPS_PRIMARYSTEREO) ? 2 : 1;
  format.wBitsPerSample = (g_DSCaps.dwFlags & DSCAPS_PRIMARY16BIT) ? 16 : 8;
  format.nBlockAlign = static_cast<uint16_t>(format.nChannels * format.wBitsPerSample / 8);
  format.nAvgBytesPerSec = 22050 * format.nBlockAlign;
  format.cbSize = 0;
  g_lpSoundBuffer->SetFormat(&format);
  DSBCAPS caps;
  if (SUCCEEDED(g_lpSoundBuffer->GetCaps(&caps))) {
    WAVEFORMATEX actual;
    g_lpSoundBuffer->GetFormat(&actual, 18, nullptr);
  }
  if (FAILED(g_lpSoundBuffer->Play(0, 0, DSBPLAY_LOOPING))) {
    g_lpSoundBuffer->Release();
    g_lpSoundBuffer = nullptr;
    return 0;
  }
  return 1;
}

void DalkSound::setup_callback() {
  for (int i = 0; i < g_nMaxEventCount; ++i) {
    g_EventList[i].hEvent = CreateEventA(nullptr, 0, 0, nullptr);
    g_CallBackHandles[i] = g_EventList[i].hEvent;
  }
  // Marked active before the thread runs, so a quick Exit still signals and joins it.
  g_nCallBackThreadActive = 1;
  g_CallBackThread = CreateThread(nullptr, 0, CallBack, nullptr, 0, nullptr);
  if (!g_CallBackThread) g_nCallBackThreadActive = 0;
}

void DalkSound::close_callback() {
  if (g_CallBackThread) {
    SetEvent(g_CallBackHandles[0]);
    while (g_nCallBackThreadActive.load() == 1) std::this_thread::yield();
    CloseHandle(g_CallBackThread);  // joins
    g_CallBackThread = nullptr;
  }
  SOUND_LOCKED();
  for (int i = 0; i < g_nMaxEventCount; ++i) {
    if (!g_CallBackHandles || !g_CallBackHandles[i]) continue;
    CloseHandle(g_CallBackHandles[i]);
    g_EventList[i].hEvent = nullptr;
    g_CallBackHandles[i] = nullptr;
    g_EventList[i].pSample = nullptr;
  }
}

_SNDEvent* DalkSound::AllocSoundEvent() {
  SOUND_LOCKED();
  if (!g_EventList) return nullptr;
  for (int i = 1; i < g_nMaxEventCount; ++i)
    if (!g_EventList[i].pSample) return &g_EventList[i];
  return nullptr;
}

void DalkSound::FreeSoundEvent(_SNDEvent* event) {
  SOUND_LOCKED();
  if (event) event->pSample = nullptr;
}

unsigned long DalkSound::CallBack(void*) {
  g_nCallBackThreadActive = 1;
  unsigned long result = 0;
  // Set before this thread started and only released after it has been joined.
  const int count = g_nMaxEventCount;
  HANDLE* handles = g_CallBackHandles;
  for (;;) {
    DWORD r = WaitForMultipleObjects(count, handles, 0, INFINITE);
    if (r == WAIT_OBJECT_0) break;
    if (r == WAIT_FAILED || r >= WAIT_OBJECT_0 + count) {
      result = 1;
      break;
    }
    SOUND_LOCKED();
    _SNDEvent* record = &g_EventList[r - WAIT_OBJECT_0];
    SNDSample* sample = record->pSample;
    // A signal left over from a record's earlier use finds its new sample still playing.
    if (!sample || sample->SamplePlaying()) continue;
    FreeSoundEvent(record);
    sample->flags &= ~SNDSample::EndArmed;
    if (sample->next) sample->next->PlaySample(sample->volume, sample->pan);
  }
  g_nCallBackThreadActive = 0;
  return result;
}
