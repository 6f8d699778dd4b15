// The few kernel services the sound library uses: events and threads it can wait on,
// movable global memory, and read-only file handles on game paths.
#pragma once

#include <cstddef>
#include <cstdint>

using HANDLE = void*;
using HGLOBAL = void*;
using DWORD = uint32_t;
using BOOL = int;

inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;

// Events. Auto-reset events release one waiter and clear themselves; manual-reset events
// stay signalled until ResetEvent.
HANDLE CreateEventA(void* security, BOOL manualReset, BOOL initialState, const char* name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

// Waits on events and threads (a thread counts as signalled once it has returned). With
// waitAll 0, returns WAIT_OBJECT_0 + the index of the first signalled handle. More than 64
// handles, a null or closed handle, or waitAll set give WAIT_FAILED.
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD ms);
DWORD WaitForSingleObject(HANDLE handle, DWORD ms);

using LPTHREAD_START_ROUTINE = unsigned long (*)(void* parameter);
constexpr int THREAD_PRIORITY_LOWEST = -2;
constexpr int THREAD_PRIORITY_NORMAL = 0;

HANDLE CreateThread(void* security, size_t stackSize, LPTHREAD_START_ROUTINE start,
                    void* parameter, DWORD creationFlags, DWORD* threadId);
// Recorded only: the host schedules our threads as it likes.
BOOL SetThreadPriority(HANDLE thread, int priority);
BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode);

// Closing a thread handle joins the thread (threads are never killed, so a thread must be
// told to end first); a thread closing its own handle detaches itself.
BOOL CloseHandle(HANDLE handle);

// The working folder as an absolute host path; returns its length, or 0 (buffer empty)
// when it does not fit or cannot be read.
DWORD GetCurrentDirectoryA(DWORD size, char* buffer);

// Milliseconds of the platform clock (virtual when headless).
DWORD GetTickCount();
// Real time: sleeps. Virtual clock: moves game time on (call it from the game thread only).
void Sleep(DWORD ms);

// Global memory: one allocation per handle. GMEM_ZEROINIT fills it with zeros.
constexpr unsigned GMEM_FIXED = 0x0;
constexpr unsigned GMEM_MOVEABLE = 0x2;
constexpr unsigned GMEM_ZEROINIT = 0x40;
HGLOBAL GlobalAlloc(unsigned flags, size_t bytes);
void* GlobalLock(HGLOBAL memory);
BOOL GlobalUnlock(HGLOBAL memory);
// Null on success, the handle back on failure.
HGLOBAL GlobalFree(HGLOBAL memory);

// Files: read access only is supported, on game paths (MapPath).
constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD FILE_SHARE_READ = 0x1;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_BEGIN = 0;
constexpr DWORD FILE_CURRENT = 1;
constexpr DWORD FILE_END = 2;
constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFF;

HANDLE CreateFileA(const char* name, DWORD access, DWORD shareMode, void* security,
                   DWORD creation, DWORD attributes, HANDLE templateFile);
// Reads up to toRead bytes; *read gets the count (0 at the end of the file). 0 on failure.
BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read, void* overlapped);
// Returns the new position, or INVALID_SET_FILE_POINTER (a position before the start of the
// file fails and leaves the position unchanged). distanceHigh is not supported (must be
// null, 0 or -1).
DWORD SetFilePointer(HANDLE file, int32_t distance, int32_t* distanceHigh, DWORD method);
