#include "sound/sound_bank.h"

#include <cstring>

#include "sound/dalk_sound.h"

SoundBank g_SoundBank;
PtrArray<SoundEntry>* SoundBank::s_list = nullptr;
unsigned long SoundBank::s_nextId = 10;

namespace {
constexpr unsigned long kFirstId = 10;
}  // namespace

void SoundBank::Init(HWND window, int maxSamples) {
  if (!s_list) s_list = new PtrArray<SoundEntry>(1);
  s_nextId = kFirstId + s_list->Count();
  g_DalkSound.Init(window, maxSamples);
}

SoundEntry* SoundBank::Load(char* file, char* name) {
  if (!s_list || !file || !name) return nullptr;
  // Normally the entry count + 10; after a Free the count falls but ids never go back.
  unsigned long id = kFirstId + s_list->Count();
  if (id < s_nextId) id = s_nextId;
  if (!g_DalkSound.LoadSample(file, id)) return nullptr;
  auto* entry = new SoundEntry{};
  entry->id = id;
  std::strncpy(entry->name, name, sizeof entry->name - 1);
  s_nextId = id + 1;
  s_list->Append(entry);
  return entry;
}

SoundEntry* SoundBank::Find(char* name) {
  if (!s_list || !name) return nullptr;
  for (int32_t i = 0; i < s_list->Count(); ++i) {
    SoundEntry* e = s_list->GetAt(i);
    if (e && std::strcmp(e->name, name) == 0) return e;
  }
  return nullptr;
}

SNDSample* SoundBank::Play(char* name, long volume, long pan) {
  SoundEntry* entry = Find(name);
  return entry ? PlayEntry(entry, volume, pan) : nullptr;
}

SNDSample* SoundBank::PlayIndex(int index, long volume, long pan) {
  if (!s_list) return nullptr;
  // GetAt gives null outside the list instead of reading past it.
  return PlayEntry(s_list->GetAt(index), volume, pan);
}

SNDSample* SoundBank::PlayEntry(SoundEntry* entry, long volume, long pan) {
  if (!entry) return nullptr;
  // The game plays every effect with pan 0 meaning "no pan"; on the library's scale 0 is
  // far right, so such sounds would be heard in one ear only. Centre them.
  if (pan == 0) pan = 0x8000;
  return g_DalkSound.PlaySample(static_cast<long>(entry->id), volume, pan);
}

void SoundBank::Free(char* name) {
  SoundEntry* entry = Find(name);
  if (!entry) return;
  g_DalkSound.FreeSample(entry->id);
  s_list->Remove(entry);
  delete entry;
}

void SoundBank::FreeAll() {
  if (s_list) {
    for (int32_t i = 0; i < s_list->Count(); ++i) {
      SoundEntry* e = s_list->GetAt(i);
      if (!e) continue;
      g_DalkSound.FreeSample(e->id);
      delete e;
      s_list->SetAt(nullptr, i);
    }
    // Remove the (now null) items so the count returns to 0 with the capacity kept.
    while (s_list->Count() > 0) s_list->Remove(nullptr);
  }
  s_nextId = kFirstId;
  g_DalkSound.StopStream();
  DalkSound::ClearSampleList();
}

void SoundBank::EnableMusic(int on) { g_DalkSound.EnableMusic(on); }
void SoundBank::EnableSFX(int on) { g_DalkSound.EnableSFX(on); }

void SoundBank::Exit() {
  if (s_list) {
    FreeAll();
    delete s_list;
    s_list = nullptr;
  }
  g_DalkSound.Exit();
}
