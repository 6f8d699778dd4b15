#include "platform/win32/display/picture_read_ahead.h"

#include <malloc.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/runtime/trace.h"
#include "platform/video/bitmap.h"

namespace {

constexpr int kReadAheadBits = 16;

enum class Stage { Waiting, Reading, Read, Taken };

struct Entry {
  std::string path;
  Stage stage = Stage::Waiting;
  Surface* picture = nullptr;  // Read: ours until the read-ahead ends; the game gets copies
};

struct ReadAhead {
  std::mutex lock;
  std::condition_variable read;  // an entry left Reading
  std::vector<Entry> entries;
  bool stopping = false;
  std::thread thread;
  ~ReadAhead() {
    if (thread.joinable()) thread.join();
  }
};

ReadAhead& State() {
  static ReadAhead state;
  return state;
}

void ReadAll(ReadAhead* s) {
  for (size_t i = 0;; ++i) {
    std::string path;
    {
      std::lock_guard<std::mutex> guard(s->lock);
      if (s->stopping || i >= s->entries.size()) break;
      Entry& e = s->entries[i];
      if (e.stage != Stage::Waiting) continue;  // the game read it itself
      e.stage = Stage::Reading;
      path = e.path;
    }
    Surface* picture = LoadBitmapFromPath(path, kReadAheadBits);
    {
      std::lock_guard<std::mutex> guard(s->lock);
      s->entries[i].picture = picture;
      s->entries[i].stage = Stage::Read;
    }
    s->read.notify_all();
  }
  TraceStep("pictures read ahead");
  EndBitmapThread();
}

// The game changes some of its pictures (it draws into its backdrop), and asks for some files
// more than once (a cloud for every row, the backdrop twice): each request gets a picture of
// its own, as reading the file again would give it, only without reading and converting.
Surface* Copy(const Surface& from) {
  Surface* copy = Surface::Create(from.width(), from.height(), from.bitsPerPixel());
  if (copy)
    std::memcpy(copy->pixels(), from.pixels(), static_cast<size_t>(from.pitch()) * from.height());
  return copy;
}

}  // namespace

void StartPictureReadAhead(std::vector<std::string> paths) {
  EndPictureReadAhead();
  ReadAhead& s = State();
  {
    std::lock_guard<std::mutex> guard(s.lock);
    s.stopping = false;
    s.entries.clear();
    for (std::string& path : paths) s.entries.push_back(Entry{std::move(path)});
  }
  s.thread = std::thread(ReadAll, &s);
}

Surface* TakePictureReadAhead(const std::string& hostPath, int bitsPerPixel) {
  ReadAhead& s = State();
  std::unique_lock<std::mutex> guard(s.lock);
  auto e = std::find_if(s.entries.begin(), s.entries.end(),
                        [&hostPath](const Entry& entry) { return entry.path == hostPath; });
  if (e == s.entries.end()) {
    // The first screen's list has fallen behind what the game loads for it.
    if (!s.entries.empty()) TraceTally("pictures asked for that were not read ahead", 0.0);
    return nullptr;
  }
  if (bitsPerPixel != kReadAheadBits || e->stage == Stage::Taken) return nullptr;
  if (e->stage == Stage::Waiting) {
    e->stage = Stage::Taken;  // read by the caller now; the thread passes it by
    return nullptr;
  }
  s.read.wait(guard, [&e] { return e->stage != Stage::Reading; });
  const Surface* read = e->picture;
  // A read picture no longer changes, and it goes only when this thread ends the read-ahead.
  guard.unlock();
  // Null for a file that could not be read (or no memory for the copy): the caller reads.
  return read ? Copy(*read) : nullptr;
}

void EndPictureReadAhead() {
  ReadAhead& s = State();
  {
    std::lock_guard<std::mutex> guard(s.lock);
    s.stopping = true;
  }
  if (s.thread.joinable()) s.thread.join();
  bool released = false;
  {
    std::lock_guard<std::mutex> guard(s.lock);
    for (Entry& e : s.entries) {
      if (e.picture) e.picture->Release();
      released = released || e.picture;
    }
    s.entries.clear();
  }
#ifdef __GLIBC__
  // The heap keeps freed blocks for reuse; these would stay resident for nothing.
  if (released) malloc_trim(0);
#endif
}
