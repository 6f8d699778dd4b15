// Kernel objects on the standard library: events and threads share one mutex and one
// condition variable, so a wait on any mix of them is a simple check-and-sleep loop.
#include "platform/win32/kernel/kernel.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <atomic>
#include <mutex>
#include <thread>

#include <unistd.h>

#include "platform/files/paths.h"
#include "platform/runtime/clock.h"

namespace {

enum class Kind { Event, Thread, File };

struct KernelObject {
  explicit KernelObject(Kind k) : kind(k) {}
  virtual ~KernelObject() = default;
  Kind kind;
};

struct EventObject : KernelObject {
  EventObject(bool manual, bool initial) : KernelObject(Kind::Event), manualReset(manual),
                                           signalled(initial) {}
  bool manualReset;
  bool signalled;  // guarded by WaitMutex()
};

struct ThreadObject : KernelObject {
  ThreadObject() : KernelObject(Kind::Thread) {}
  std::thread thread;
  bool finished = false;  // guarded by WaitMutex()
  bool closedByItself = false;  // guarded by WaitMutex(): the wrapper frees the object
  DWORD exitCode = 0;     // guarded by WaitMutex()
  int priority = 0;
};

struct FileObject : KernelObject {
  FileObject() : KernelObject(Kind::File) {}
  ~FileObject() override {
    if (file) std::fclose(file);
  }
  FILE* file = nullptr;
  std::mutex lock;
};

// Never destroyed: a thread that is still waiting when the process exits (a library left
// running by its user) would otherwise hang the exit in the condition's destructor.
std::mutex& WaitMutex() {
  static auto* m = new std::mutex;
  return *m;
}
std::condition_variable& WaitCondition() {
  static auto* c = new std::condition_variable;
  return *c;
}

KernelObject* Object(HANDLE h) {
  if (!h || h == INVALID_HANDLE_VALUE) return nullptr;
  return static_cast<KernelObject*>(h);
}

// Under WaitMutex(): is this handle signalled (consuming an auto-reset event)?
bool TakeSignal(KernelObject* object) {
  if (object->kind == Kind::Event) {
    auto* e = static_cast<EventObject*>(object);
    if (!e->signalled) return false;
    if (!e->manualReset) e->signalled = false;
    return true;
  }
  if (object->kind == Kind::Thread) return static_cast<ThreadObject*>(object)->finished;
  return false;
}

FileObject* AsFile(HANDLE h) {
  KernelObject* o = Object(h);
  return o && o->kind == Kind::File ? static_cast<FileObject*>(o) : nullptr;
}

}  // namespace

HANDLE CreateEventA(void*, BOOL manualReset, BOOL initialState, const char*) {
  return new EventObject(manualReset != 0, initialState != 0);
}

BOOL SetEvent(HANDLE event) {
  KernelObject* o = Object(event);
  if (!o || o->kind != Kind::Event) return 0;
  {
    std::lock_guard<std::mutex> guard(WaitMutex());
    static_cast<EventObject*>(o)->signalled = true;
  }
  WaitCondition().notify_all();
  return 1;
}

BOOL ResetEvent(HANDLE event) {
  KernelObject* o = Object(event);
  if (!o || o->kind != Kind::Event) return 0;
  std::lock_guard<std::mutex> guard(WaitMutex());
  static_cast<EventObject*>(o)->signalled = false;
  return 1;
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD ms) {
  if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles || waitAll) return WAIT_FAILED;
  for (DWORD i = 0; i < count; ++i) {
    KernelObject* o = Object(handles[i]);
    if (!o || (o->kind != Kind::Event && o->kind != Kind::Thread)) return WAIT_FAILED;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  std::unique_lock<std::mutex> lock(WaitMutex());
  for (;;) {
    for (DWORD i = 0; i < count; ++i)
      if (TakeSignal(Object(handles[i]))) return WAIT_OBJECT_0 + i;
    if (ms == INFINITE) {
      WaitCondition().wait(lock);
    } else if (WaitCondition().wait_until(lock, deadline) == std::cv_status::timeout) {
      for (DWORD i = 0; i < count; ++i)
        if (TakeSignal(Object(handles[i]))) return WAIT_OBJECT_0 + i;
      return WAIT_TIMEOUT;
    }
  }
}

DWORD WaitForSingleObject(HANDLE handle, DWORD ms) {
  return WaitForMultipleObjects(1, &handle, 0, ms);
}

HANDLE CreateThread(void*, size_t, LPTHREAD_START_ROUTINE start, void* parameter, DWORD,
                    DWORD* threadId) {
  if (!start) return nullptr;
  static std::atomic<DWORD> nextId{1};
  auto* t = new ThreadObject();
  if (threadId) *threadId = nextId.fetch_add(1);
  t->thread = std::thread([t, start, parameter] {
    DWORD code = static_cast<DWORD>(start(parameter));
    bool orphan;
    {
      std::lock_guard<std::mutex> guard(WaitMutex());
      t->finished = true;
      t->exitCode = code;
      orphan = t->closedByItself;
    }
    WaitCondition().notify_all();
    if (orphan) delete t;  // nobody else holds the handle any more
  });
  return t;
}

BOOL SetThreadPriority(HANDLE thread, int priority) {
  KernelObject* o = Object(thread);
  if (!o || o->kind != Kind::Thread) return 0;
  static_cast<ThreadObject*>(o)->priority = priority;
  return 1;
}

BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode) {
  KernelObject* o = Object(thread);
  if (!o || o->kind != Kind::Thread || !exitCode) return 0;
  std::lock_guard<std::mutex> guard(WaitMutex());
  auto* t = static_cast<ThreadObject*>(o);
  *exitCode = t->finished ? t->exitCode : 259;  // STILL_ACTIVE
  return 1;
}

BOOL CloseHandle(HANDLE handle) {
  KernelObject* o = Object(handle);
  if (!o) return 0;
  if (o->kind == Kind::Thread) {
    auto* t = static_cast<ThreadObject*>(o);
    if (t->thread.get_id() == std::this_thread::get_id()) {
      // The thread's own wrapper still touches the object when it returns; it frees it then.
      {
        std::lock_guard<std::mutex> guard(WaitMutex());
        t->closedByItself = true;
      }
      t->thread.detach();
      return 1;
    }
    if (t->thread.joinable()) t->thread.join();
  }
  delete o;
  return 1;
}

DWORD GetCurrentDirectoryA(DWORD size, char* buffer) {
  if (!buffer || size == 0) return 0;
  if (!::getcwd(buffer, size)) {
    buffer[0] = '\0';
    return 0;
  }
  return static_cast<DWORD>(std::strlen(buffer));
}

DWORD GetTickCount() { return ClockNowMs(); }

void Sleep(DWORD ms) { ClockSleepMs(ms); }

// Global memory: plain heap blocks; moveable blocks never move here.
HGLOBAL GlobalAlloc(unsigned flags, size_t bytes) {
  if (bytes == 0) bytes = 1;
  void* p = (flags & GMEM_ZEROINIT) ? std::calloc(1, bytes) : std::malloc(bytes);
  return p;
}

void* GlobalLock(HGLOBAL memory) { return memory; }
BOOL GlobalUnlock(HGLOBAL memory) { return memory != nullptr; }

HGLOBAL GlobalFree(HGLOBAL memory) {
  std::free(memory);
  return nullptr;
}

HANDLE CreateFileA(const char* name, DWORD access, DWORD, void*, DWORD creation, DWORD,
                   HANDLE) {
  if (!name || !(access & GENERIC_READ) || (access & ~GENERIC_READ) ||
      creation != OPEN_EXISTING)
    return INVALID_HANDLE_VALUE;
  FILE* f = OpenFile(name, "rb");
  if (!f) return INVALID_HANDLE_VALUE;
  auto* file = new FileObject();
  file->file = f;
  return file;
}

BOOL ReadFile(HANDLE handle, void* buffer, DWORD toRead, DWORD* read, void*) {
  FileObject* file = AsFile(handle);
  if (read) *read = 0;
  if (!file || (!buffer && toRead)) return 0;
  std::lock_guard<std::mutex> guard(file->lock);
  size_t got = toRead ? std::fread(buffer, 1, toRead, file->file) : 0;
  if (got < toRead && std::ferror(file->file)) {
    std::clearerr(file->file);
    return 0;
  }
  std::clearerr(file->file);
  if (read) *read = static_cast<DWORD>(got);
  return 1;
}

DWORD SetFilePointer(HANDLE handle, int32_t distance, int32_t* distanceHigh, DWORD method) {
  FileObject* file = AsFile(handle);
  if (!file || (distanceHigh && *distanceHigh != 0 && *distanceHigh != -1) || method > 2)
    return INVALID_SET_FILE_POINTER;
  std::lock_guard<std::mutex> guard(file->lock);
  const long here = std::ftell(file->file);
  long base = method == FILE_CURRENT ? here : 0;
  if (method == FILE_END) {
    if (std::fseek(file->file, 0, SEEK_END) != 0) return INVALID_SET_FILE_POINTER;
    base = std::ftell(file->file);
  }
  const long target = base + distance;
  if (here < 0 || base < 0 || target < 0 || target >= 0xFFFFFFFFL ||
      std::fseek(file->file, target, SEEK_SET) != 0) {
    std::fseek(file->file, here, SEEK_SET);  // a failed move leaves the position alone
    return INVALID_SET_FILE_POINTER;
  }
  return static_cast<DWORD>(target);
}
