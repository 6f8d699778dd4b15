// The sound library: sound effects from WAV files ("samples") in a fixed table of slots,
// overlapping duplicates, chains started by a call-back thread, and one streamed WAV played
// as music by a fill thread. Its classes and class-wide data are exported by name from the
// program file.
//
// Every operation takes the library lock (SoundLibraryLock), so the game thread, the
// call-back thread and the fill thread never touch the tables at the same time.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/win32/kernel/kernel.h"
#include "platform/win32/sound/dsound.h"
#include "platform/win32/window/win.h"

#define DALK_EXPORT __attribute__((visibility("default")))
#define DALK_EXPORT_DATA __attribute__((visibility("default"), used))

class SNDSample;

// One event record: the event the call-back thread waits on and the sample whose end it
// reports (null while free).
struct _SNDEvent {
  HANDLE hEvent;
  SNDSample* pSample;
};

struct _ChunkHeader {
  uint32_t id;
  uint32_t size;
};

constexpr uint32_t RIFF_ID_FMT = 0x20746D66;   // "fmt "
constexpr uint32_t RIFF_ID_SMPL = 0x6C706D73;  // "smpl"
constexpr uint32_t RIFF_ID_DATA = 0x61746164;  // "data"

class DALK_EXPORT SNDSample {
 public:
  enum : uint32_t {
    InUse = 0x1,
    Reserved = 0x2,
    Duplicate = 0x4,
    Looped = 0x8,
    FormatRead = 0x10,
    Paused = 0x100,
    EndArmed = 0x400,
  };

  void Reset();

  int LoadSample(char* file, unsigned long id);
  HANDLE OpenSoundFile(char* file);
  int IsWavFile(HANDLE handle);
  static int FindRiffChunk(HANDLE handle, long id, _ChunkHeader* header, unsigned long start);
  int AllocDSBuffer(unsigned long size);

  SNDSample* DupeSample();
  static SNDSample* ChainSample(SNDSample* first, SNDSample* next);

  int PlaySample(long volume, long pan);
  int StopSample();
  int PauseSample();
  int UnPauseSample();
  int SamplePlaying();
  long GetSampleStatus();
  int SetVolume(int volume);
  int SetPan(int pan);
  int SetPitch(int frequency);

  // Plain data: copying copies every field; Reset zeroes all but the end notification.
  uint32_t flags;
  uint32_t id;
  uint32_t dataSize;
  uint32_t frequency;
  uint32_t bits;
  uint32_t channels;
  uint32_t pausePosition;
  int32_t volume;
  int32_t pan;
  int32_t pitch;
  uint32_t loopStart;
  uint32_t loopEnd;
  IDirectSoundBuffer* buffer;
  DSBPOSITIONNOTIFY endNotify;
  SNDSample* next;

 private:
  int play_buffer();
  void release_buffer();
};

// The one stream. Flags: 0x1 loaded, 0x2 playing, 0x4 loop, 0x8 paused, 0x10 the fill
// thread runs, 0x80000000 primed.
struct _SNDStream {
  enum : uint32_t {
    Loaded = 0x1,
    Playing = 0x2,
    Loop = 0x4,
    Paused = 0x8,
    ThreadRuns = 0x10,
    Primed = 0x80000000,
  };
  uint32_t flags;
  HANDLE file;
  uint32_t dataStart;
  uint32_t segmentSize;
  uint32_t bufferSize;
  uint32_t remaining;
  SNDSample* sample;
  void (*nextStream)(unsigned long id);
  IDirectSoundNotify* notify;
  DSBPOSITIONNOTIFY positions[9];
};

class DALK_EXPORT DalkSound {
 public:
  DalkSound() = default;
  DalkSound(HWND window, int maxSamples);

  int Init(HWND window, int maxSamples);
  void Exit();

  static int GetLIBVersion() { return 1; }
  static const char* GetLIBDate() { return "Fri May  5 06:51:24 2000"; }

  void debug_dsound_caps(_DSCAPS* caps);
  void MemCleanup();
  static LPDIRECTSOUND GetDSObject() { return g_lpDSound; }
  static LPDIRECTSOUNDBUFFER GetDSPrimaryBuffer() { return g_lpSoundBuffer; }

  static void SetFileOpenFunc(HANDLE (*open)(char* name));
  static void SetFileCloseFunc(int (*close)(HANDLE handle));
  static HANDLE DefaultOpenFile(char* name);
  static int DefaultCloseFile(HANDLE handle);

  // Slots.
  static SNDSample* AllocSample();
  static void ClearSample(SNDSample* sample);
  static void ClearSampleList();

  int LoadSample(char* file, unsigned long id);
  SNDSample* FindSample(unsigned long id);
  void FreeSample(unsigned long id);
  void FreeSample(SNDSample* sample);
  void FlushSamples();

  SNDSample* PlaySample(long id, long volume, long pan);
  int PlaySampleIDOnce(long id, long volume, long pan);
  void EnableSFX(int on);
  int SFXEnabled() const { return m_nSFXEnabled; }

  static int MapVolume(int volume);
  static int MapPan(int pan);

  static _SNDEvent* AllocSoundEvent();
  static void FreeSoundEvent(_SNDEvent* event);
  static unsigned long CallBack(void* parameter);

  // Streamed music.
  int LoadStream(char* file, unsigned long id);
  int PlayStream(int flags);
  int StopStream();
  int PauseStream();
  void EnableMusic(int on);
  int MusicEnabled() const { return m_nMusicEnabled; }
  void FadeMusic(int from, int to, unsigned long milliseconds);
  void FadeMusicIn(unsigned long milliseconds);
  void FadeMusicOut(unsigned long milliseconds);
  static void SetStreamVolume(int volume);
  static int GetStreamVolume();
  static unsigned long GetStreamID();
  static _SNDStream* GetStreamInfoPtr() { return &g_StreamInfo; }
  using NextStreamFunc = void (*)(unsigned long id);
  NextStreamFunc SetStreamNextFunc(NextStreamFunc function);
  NextStreamFunc GetStreamNextFunc();
  static void ClearStreamNextStreamFunc();
  static unsigned long FillStream(void* parameter);
  static int CleanupStream();

  // Class-wide data.
  static LPDIRECTSOUND g_lpDSound;
  static LPDIRECTSOUNDBUFFER g_lpSoundBuffer;
  static _DSCAPS g_DSCaps;
  static HGLOBAL g_MemHandle;
  static int g_nMaxSampleCount;
  static int g_nMaxEventCount;
  static HANDLE* g_CallBackHandles;
  static _SNDEvent* g_EventList;
  static SNDSample* g_SampleList;
  static SNDSample* g_pEndSample;
  static SNDSample* g_pLastSample;
  static HANDLE (*g_pOpenFile)(char* name);
  static int (*g_pCloseFile)(HANDLE handle);
  static HANDLE g_CallBackThread;
  static std::atomic<int> g_nCallBackThreadActive;
  static const int16_t g_VolumeTable[16384];
  static HANDLE g_FillThread;
  static DWORD g_FillThreadID;
  static _SNDStream g_StreamInfo;
  static HANDLE g_NotifyEvents[9];

  int m_nMusicVolume = 0;
  int m_nMusicEnabled = 0;
  int m_nSFXEnabled = 0;

 protected:
  int AllocSampleBuffers();
  int alloc_sample_buffers(int count);
  int free_sample_buffers();
  int CreateMainBuffer();
  void setup_callback();
  void close_callback();
  void init_stream_buffer();
};

// The program's one library object.
extern DalkSound g_DalkSound;
