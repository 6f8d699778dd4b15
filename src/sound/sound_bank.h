// The game's sound effects by name: a thin layer over the sound library that gives each
// loaded sound an id and passes the options file's switches on.
#pragma once

#include "platform/win32/window/win.h"
#include "shell/ptr_array.h"

class SNDSample;

struct SoundEntry {
  unsigned long id;
  char name[32];
};

// One global bank (g_SoundBank). Its operations are class-wide, so both
// SoundBank::Play("pop1", 0xFFFF, 0) and g_SoundBank.Play(...) work.
class SoundBank {
 public:
  static void Init(HWND window, int maxSamples);
  static SoundEntry* Load(char* file, char* name);
  static SoundEntry* Find(char* name);
  static SNDSample* Play(char* name, long volume, long pan);
  static SNDSample* PlayIndex(int index, long volume, long pan);
  static SNDSample* PlayEntry(SoundEntry* entry, long volume, long pan);
  static void Free(char* name);
  static void FreeAll();
  static void EnableMusic(int on);
  static void EnableSFX(int on);
  static void Exit();

  // Const-friendly spellings for callers holding string literals.
  static SoundEntry* Load(const char* file, const char* name) {
    return Load(const_cast<char*>(file), const_cast<char*>(name));
  }
  static SoundEntry* Find(const char* name) { return Find(const_cast<char*>(name)); }
  static SNDSample* Play(const char* name, long volume, long pan) {
    return Play(const_cast<char*>(name), volume, pan);
  }
  static void Free(const char* name) { Free(const_cast<char*>(name)); }

  static PtrArray<SoundEntry>* List() { return s_list; }

 private:
  static PtrArray<SoundEntry>* s_list;
  // Ids keep growing after a Free, so a new sound never takes an id still loaded.
  static unsigned long s_nextId;
};

extern SoundBank g_SoundBank;
