// Streamed music: a two-second looping buffer refilled a quarter second at a time by the
// fill thread, woken by position notifications at the eight segment starts and on stop.
#include <cstring>
#include <thread>

#include "sound/dalk_sound.h"
#include "sound/sound_lock.h"

DALK_EXPORT_DATA HANDLE DalkSound::g_FillThread = nullptr;
DALK_EXPORT_DATA DWORD DalkSound::g_FillThreadID = 0;
DALK_EXPORT_DATA _SNDStream DalkSound::g_StreamInfo;
DALK_EXPORT_DATA HANDLE DalkSound::g_NotifyEvents[9];

namespace {

constexpr int kStopPosition = 8;

// Without the loop flag: the segment holding the last bytes of the file, or -1 while data
// remains. The stream stops once that segment has played, not before.
int g_endSegment = -1;

// Set while the library shuts down: LoadStream refuses, so no stream outlives the tables.
bool g_exiting = false;

// Set by EndStreamNow until the clean-up: the stream cannot be started or paused again, so
// its stop is surely its end.
bool g_ending = false;

// Clean-ups done so far, and those whose end function is still running (StopStream waits
// for them, so what an end function starts is in place when it returns).
uint32_t g_streamsEnded = 0;
int g_endFunctionsRunning = 0;
thread_local bool t_inEndFunction = false;

_SNDStream& Stream() { return DalkSound::g_StreamInfo; }

int CloseStreamFile(HANDLE handle) {
  return DalkSound::g_pCloseFile ? DalkSound::g_pCloseFile(handle)
                                 : DalkSound::DefaultCloseFile(handle);
}

uint8_t SilenceByte(const SNDSample* s) { return s->bits == 8 ? 0x80 : 0; }

DWORD ReadInto(HANDLE file, void* to, uint32_t bytes) {
  DWORD got = 0;
  if (bytes && !ReadFile(file, to, bytes, &got, nullptr)) got = 0;
  return got;
}

// Gives a slot back after a failed load: its buffer and the slot itself.
void GiveBack(SNDSample* slot) {
  if (slot->buffer) slot->buffer->Release();
  slot->buffer = nullptr;
  DalkSound::ClearSample(slot);
}

void CloseNotifyEvents() {
  for (int i = 0; i < 9; ++i) {
    if (DalkSound::g_NotifyEvents[i]) CloseHandle(DalkSound::g_NotifyEvents[i]);
    DalkSound::g_NotifyEvents[i] = nullptr;
    Stream().positions[i].hEventNotify = nullptr;
  }
}

// Refills the segment that has just played (the play cursor reached segment i).
void RefillAfter(int i) {
  _SNDStream& st = Stream();
  if (!(st.flags & _SNDStream::Primed)) {
    st.flags |= _SNDStream::Primed;
    // Only a notification at the very start has no played segment behind it.
    if (i == 0) return;
  }
  SNDSample* s = st.sample;
  if (!s || !s->buffer) return;
  const int k = i == 0 ? 7 : i - 1;
  const uint32_t seg = st.segmentSize;
  void* p1 = nullptr;
  void* p2 = nullptr;
  uint32_t b1 = 0, b2 = 0;
  if (FAILED(s->buffer->Lock(k * seg, seg, &p1, &b1, &p2, &b2, 0)) || b1 == 0) return;
  auto* out = static_cast<uint8_t*>(p1);
  const bool loop = st.flags & _SNDStream::Loop;
  if (st.remaining == 0 && !loop) {
    if (g_endSegment < 0 || k == g_endSegment) {
      s->buffer->Unlock(p1, 0, p2, 0);
      s->buffer->Stop();  // signals the stop position: the fill thread cleans up
      return;
    }
    std::memset(out, SilenceByte(s), seg);  // what is left of the buffer plays silence
    s->buffer->Unlock(p1, seg, p2, 0);
    return;
  }
  if (st.remaining <= seg) {
    DWORD got = ReadInto(st.file, out, st.remaining);
    uint32_t rest = seg - got;
    if (loop) {
      SetFilePointer(st.file, static_cast<int32_t>(st.dataStart), nullptr, FILE_BEGIN);
      // Never past the data: a file shorter than a segment must not read what follows it.
      uint32_t want = rest < s->dataSize ? rest : s->dataSize;
      DWORD again = ReadInto(st.file, out + got, want);
      std::memset(out + got + again, SilenceByte(s), rest - again);
      st.remaining = s->dataSize - again;
      g_endSegment = -1;
    } else {
      std::memset(out + got, SilenceByte(s), rest);
      st.remaining = 0;
      g_endSegment = k;
    }
    s->buffer->Unlock(p1, seg, p2, 0);
    return;
  }
  DWORD got = ReadInto(st.file, out, seg);
  st.remaining -= got;
  s->buffer->Unlock(p1, got, p2, 0);
}

}  // namespace

namespace {

// Closes the thread of a stream that has ended by itself, outside the lock (the thread may
// still need it to finish). From that thread's own end function this detaches it.
void CloseFinishedFillThread() {
  HANDLE finished = nullptr;
  {
    SOUND_LOCKED();
    if (DalkSound::g_StreamInfo.sample) return;
    finished = DalkSound::g_FillThread;
    DalkSound::g_FillThread = nullptr;
  }
  if (finished) CloseHandle(finished);
}

}  // namespace

int DalkSound::LoadStream(char* file, unsigned long id) {
  CloseFinishedFillThread();
  SOUND_LOCKED();
  if (!m_nMusicEnabled || !g_SampleList || g_exiting) return 0;
  // One stream at a time: overwriting a live one would orphan its thread and buffer.
  if (g_StreamInfo.sample) return 0;
  SNDSample* slot = AllocSample();
  if (!slot) return 0;
  HANDLE handle = slot->OpenSoundFile(file);
  if (handle == INVALID_HANDLE_VALUE) {
    GiveBack(slot);
    return 0;
  }
  if (id != 0xFFFFFFFFul) slot->id = static_cast<uint32_t>(id);
  const uint32_t align = slot->bits * slot->channels / 8;
  const uint32_t perSecond = slot->frequency * align;
  uint32_t segment = perSecond * 2000 / 8000;
  if (segment % align) segment += align - segment % align;
  const uint32_t bufferSize = 8 * segment;
  IDirectSoundNotify* notify = nullptr;
  if (((slot->flags & SNDSample::Looped) && slot->loopEnd - slot->loopStart < segment) ||
      !slot->AllocDSBuffer(bufferSize) ||
      FAILED(slot->buffer->QueryInterface(IID_IDirectSoundNotify,
                                          reinterpret_cast<void**>(&notify)))) {
    CloseStreamFile(handle);
    GiveBack(slot);
    return 0;
  }
  for (int i = 0; i < 9; ++i) {
    g_NotifyEvents[i] = CreateEventA(nullptr, 0, 0, nullptr);
    g_StreamInfo.positions[i].dwOffset = i < 8 ? i * segment : DSBPN_OFFSETSTOP;
    g_StreamInfo.positions[i].hEventNotify = g_NotifyEvents[i];
  }
  notify->SetNotificationPositions(9, g_StreamInfo.positions);
  g_StreamInfo.dataStart = SetFilePointer(handle, 0, nullptr, FILE_CURRENT);
  g_StreamInfo.flags |= _SNDStream::Loaded | _SNDStream::ThreadRuns;
  g_StreamInfo.sample = slot;
  g_StreamInfo.file = handle;
  g_StreamInfo.notify = notify;
  g_StreamInfo.segmentSize = segment;
  g_StreamInfo.bufferSize = bufferSize;
  init_stream_buffer();
  // The thread starts last, once the events it waits on exist.
  g_FillThread = CreateThread(nullptr, 0, FillStream, nullptr, 0, &g_FillThreadID);
  if (!g_FillThread) {
    notify->Release();
    g_StreamInfo.notify = nullptr;
    CloseStreamFile(handle);
    GiveBack(slot);
    CloseNotifyEvents();
    g_StreamInfo.flags &= 0x7FFFFFE0;
    g_StreamInfo.sample = nullptr;
    g_StreamInfo.file = nullptr;
    return 0;
  }
  SetThreadPriority(g_FillThread, THREAD_PRIORITY_LOWEST);
  return 1;
}

void DalkSound::init_stream_buffer() {
  SOUND_LOCKED();
  SNDSample* s = g_StreamInfo.sample;
  if (!(g_StreamInfo.flags & _SNDStream::Loaded) || !s || !s->buffer) return;
  void* p1 = nullptr;
  void* p2 = nullptr;
  uint32_t b1 = 0, b2 = 0;
  if (FAILED(s->buffer->Lock(0, g_StreamInfo.bufferSize, &p1, &b1, &p2, &b2, 0))) return;
  const uint32_t want = b1 < s->dataSize ? b1 : s->dataSize;
  DWORD got = ReadInto(g_StreamInfo.file, p1, want);
  std::memset(static_cast<uint8_t*>(p1) + got, SilenceByte(s), b1 - got);
  g_StreamInfo.remaining = s->dataSize - got;
  g_endSegment = -1;
  if (g_StreamInfo.remaining == 0)
    g_endSegment = got ? static_cast<int>((got - 1) / g_StreamInfo.segmentSize) : 0;
  s->buffer->Unlock(p1, b1, p2, b2);
}

unsigned long DalkSound::FillStream(void*) {
  HANDLE events[9];
  {
    SOUND_LOCKED();
    std::memcpy(events, g_NotifyEvents, sizeof events);
  }
  for (;;) {
    DWORD r = WaitForMultipleObjects(9, events, 0, INFINITE);
    if (r == WAIT_FAILED) {
      std::this_thread::yield();
      continue;
    }
    const int index = static_cast<int>(r - WAIT_OBJECT_0);
    if (index < kStopPosition) {
      SOUND_LOCKED();
      RefillAfter(index);
      continue;
    }
    if (index == kStopPosition) {
      {
        SOUND_LOCKED();
        // A pause stops the buffer too: the stream lives on. So does a buffer that was
        // started again before this signal was handled.
        SNDSample* s = g_StreamInfo.sample;
        uint32_t status = 0;
        if (!s || (!g_ending && ((g_StreamInfo.flags & _SNDStream::Paused) ||
                                 (s->buffer && SUCCEEDED(s->buffer->GetStatus(&status)) &&
                                  (status & DSBSTATUS_PLAYING)))))
          continue;
      }
      CleanupStream();
      break;
    }
  }
  SOUND_LOCKED();
  if (!g_StreamInfo.sample) g_StreamInfo.flags &= ~_SNDStream::ThreadRuns;
  return 0;
}

int DalkSound::CleanupStream() {
  NextStreamFunc next = nullptr;
  unsigned long id = 0;
  {
    SOUND_LOCKED();
    SNDSample* s = g_StreamInfo.sample;
    if (!(g_StreamInfo.flags & _SNDStream::Loaded) || !s || !s->buffer) return 1;
    id = s->id;
    s->buffer->Release();
    s->buffer = nullptr;
    ClearSample(s);
    g_StreamInfo.sample = nullptr;
    if (g_StreamInfo.notify) g_StreamInfo.notify->Release();
    g_StreamInfo.notify = nullptr;
    CloseNotifyEvents();  // the buffer is gone: nothing can signal them any more
    if (g_StreamInfo.file) CloseStreamFile(g_StreamInfo.file);
    g_StreamInfo.file = nullptr;
    g_StreamInfo.flags &= 0x7FFFFFF0;
    g_StreamInfo.remaining = 0;
    g_StreamInfo.bufferSize = 0;
    g_StreamInfo.segmentSize = 0;
    next = g_StreamInfo.nextStream;
    g_ending = false;
    ++g_streamsEnded;
    ++g_endFunctionsRunning;
  }
  // Outside the lock: the function may load the next stream or wait for other threads.
  if (next) {
    t_inEndFunction = true;
    next(id);
    t_inEndFunction = false;
  }
  SOUND_LOCKED();
  --g_endFunctionsRunning;
  return 1;
}

int DalkSound::PlayStream(int flags) {
  SOUND_LOCKED();
  if (!m_nMusicEnabled) return 1;
  SNDSample* s = g_StreamInfo.sample;
  if ((g_StreamInfo.flags & _SNDStream::Loaded) && !(g_StreamInfo.flags & _SNDStream::Playing) &&
      s && s->buffer && !g_ending) {
    g_StreamInfo.flags |= static_cast<uint32_t>(flags);
    s->buffer->SetCurrentPosition(1);
    s->buffer->Play(0, 0, DSBPLAY_LOOPING);
    g_StreamInfo.flags |= _SNDStream::Playing;
  }
  return 1;
}

namespace {

// Under the lock: stops the loaded stream and marks it ending. False when there is none.
bool StopLoadedStream() {
  _SNDStream& st = Stream();
  SNDSample* s = st.sample;
  if (!(st.flags & _SNDStream::Loaded) || !s || !s->buffer) return false;
  g_ending = true;
  st.flags &= ~_SNDStream::Paused;
  uint32_t status = 0;
  s->buffer->GetStatus(&status);
  s->buffer->Stop();
  // A paused or never started buffer sends no stop signal of its own.
  if (!(status & DSBSTATUS_PLAYING)) SetEvent(DalkSound::g_NotifyEvents[kStopPosition]);
  return true;
}

// Under the lock: the stream stopped has been cleaned up and no end function runs (other
// than the one this thread may be in).
bool EndIsOver(bool stopped, uint32_t endedBefore) {
  const int others = g_endFunctionsRunning - (t_inEndFunction ? 1 : 0);
  return (!stopped || g_streamsEnded != endedBefore) && others == 0;
}

}  // namespace

int EndStreamNow() {
  HANDLE thread;
  uint32_t endedBefore;
  bool stopped;
  {
    SOUND_LOCKED();
    thread = DalkSound::g_FillThread;
    endedBefore = g_streamsEnded;
    stopped = StopLoadedStream();
  }
  // The fill thread releases the buffer; only the record is polled, never the buffer.
  for (;;) {
    {
      SOUND_LOCKED();
      if (EndIsOver(stopped, endedBefore)) break;
    }
    std::this_thread::yield();
  }
  {
    SOUND_LOCKED();
    // Gone already when the end function loaded another stream (it closed this one).
    if (!thread || DalkSound::g_FillThread != thread) return 1;
    DalkSound::g_FillThread = nullptr;
  }
  // Joined outside the lock: the thread takes the lock once more before it ends.
  CloseHandle(thread);
  return 1;
}

void EndStreamForExit() {
  {
    SOUND_LOCKED();
    g_exiting = true;
  }
  EndStreamNow();
  SOUND_LOCKED();
  g_exiting = false;
}

int DalkSound::StopStream() {
  {
    SOUND_LOCKED();
    if (!m_nMusicEnabled) return 1;
  }
  return EndStreamNow();
}

int DalkSound::PauseStream() {
  SOUND_LOCKED();
  SNDSample* s = g_StreamInfo.sample;
  if (!(g_StreamInfo.flags & _SNDStream::Loaded) || !(g_StreamInfo.flags & _SNDStream::Playing) ||
      !s || !s->buffer || g_ending)
    return 1;
  if (g_StreamInfo.flags & _SNDStream::Paused) {
    g_StreamInfo.flags &= ~_SNDStream::Paused;
    s->buffer->SetCurrentPosition(s->pausePosition);
    s->buffer->Play(0, 0, DSBPLAY_LOOPING);
  } else {
    g_StreamInfo.flags |= _SNDStream::Paused;
    s->buffer->GetCurrentPosition(&s->pausePosition, nullptr);
    s->buffer->Stop();
  }
  return 1;
}

void DalkSound::EnableMusic(int on) {
  if (on == 0) StopStream();
  SOUND_LOCKED();
  m_nMusicEnabled = on;
}

void DalkSound::FadeMusic(int from, int to, unsigned long milliseconds) {
  const DWORD start = GetTickCount();
  DWORD now = start;
  const DWORD end = start + static_cast<DWORD>(milliseconds);
  while (end > now) {
    int volume = from + static_cast<int>(static_cast<int64_t>(now - start) * (to - from) /
                                         static_cast<int64_t>(milliseconds));
    SetStreamVolume(volume);
    // A short sleep instead of spinning; it also lets the virtual clock move on.
    Sleep(1);
    now = GetTickCount();
  }
  SetStreamVolume(to);
}

void DalkSound::FadeMusicIn(unsigned long milliseconds) { FadeMusic(0, m_nMusicVolume, milliseconds); }
void DalkSound::FadeMusicOut(unsigned long milliseconds) { FadeMusic(m_nMusicVolume, 0, milliseconds); }

void DalkSound::SetStreamVolume(int volume) {
  SOUND_LOCKED();
  SNDSample* s = g_StreamInfo.sample;
  if ((g_StreamInfo.flags & _SNDStream::Loaded) && s && s->buffer) s->SetVolume(volume);
}

int DalkSound::GetStreamVolume() {
  SOUND_LOCKED();
  SNDSample* s = g_StreamInfo.sample;
  if ((g_StreamInfo.flags & _SNDStream::Loaded) && s && s->buffer) return s->volume;
  return 0;
}

unsigned long DalkSound::GetStreamID() {
  SOUND_LOCKED();
  SNDSample* s = g_StreamInfo.sample;
  return (g_StreamInfo.flags & _SNDStream::Loaded) && s ? s->id : 0;
}

DalkSound::NextStreamFunc DalkSound::SetStreamNextFunc(NextStreamFunc function) {
  SOUND_LOCKED();
  NextStreamFunc old = g_StreamInfo.nextStream;
  g_StreamInfo.nextStream = function;
  return old;
}

DalkSound::NextStreamFunc DalkSound::GetStreamNextFunc() {
  SOUND_LOCKED();
  return g_StreamInfo.nextStream;
}

void DalkSound::ClearStreamNextStreamFunc() {
  SOUND_LOCKED();
  g_StreamInfo.nextStream = nullptr;
}
