// The one window and its message queue. Other threads (music notifications) may post, so
// the queue is locked; everything else about the window lives on the main thread.
#include <atomic>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>

#include "platform/runtime/clock.h"
#include "platform/runtime/clock_internal.h"
#include "platform/runtime/host_input.h"
#include "platform/runtime/quit_signals.h"
#include "platform/runtime/run_hooks.h"
#include "platform/video/backend.h"
#include "platform/win32/window/input.h"
#include "platform/win32/window/message_wait.h"
#include "platform/win32/window/win.h"
#include "platform/win32/window/window_internal.h"

struct WindowObject {
  WNDPROC proc = nullptr;
  std::string title;
  // Other threads post to the window (the music's end), so whether it lives is atomic.
  std::atomic<bool> alive{false};
  bool active = false;
};

namespace {

struct ClassEntry {
  std::string name;
  WNDPROC proc = nullptr;
};

struct Queue {
  std::mutex lock;
  std::deque<MSG> messages;
  bool quitPosted = false;
  int quitCode = 0;
};

WindowObject theWindow;
std::deque<ClassEntry> classes;
Queue queue;
uint64_t progress = 0;
uint64_t progressAtLastEmptyPeek = ~0ull;

bool IsLive(HWND window) { return window == &theWindow && theWindow.alive; }

void Push(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG msg;
  msg.hwnd = window;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = ClockNowMs();
  msg.pt = input::MousePosition();
  std::lock_guard<std::mutex> guard(queue.lock);
  queue.messages.push_back(msg);
}

bool TakeQueued(MSG* msg, bool remove) {
  std::lock_guard<std::mutex> guard(queue.lock);
  if (!queue.messages.empty()) {
    *msg = queue.messages.front();
    if (remove) queue.messages.pop_front();
    return true;
  }
  if (queue.quitPosted) {
    // WM_QUIT comes only once everything else has been taken, as on the original system.
    *msg = MSG{};
    msg->message = WM_QUIT;
    msg->wParam = static_cast<WPARAM>(queue.quitCode);
    if (remove) queue.quitPosted = false;
    return true;
  }
  return false;
}

// A loop that only polls an empty queue would spin for ever (virtual time never moves)
// or burn a core (real time); the second empty poll in a row without progress idles.
void IdleIfSpinning() {
  if (progress == progressAtLastEmptyPeek) {
    if (ClockIsVirtual()) {
      ClockAdvance(kTimerPeriodMs);
      DrainHostInput();  // a step, as the wait is in a window
    } else {
      WaitHostInput(static_cast<int>(kTimerPeriodMs));
    }
  }
  progressAtLastEmptyPeek = progress;
}

}  // namespace

HWND MainWindowHandle() { return theWindow.alive ? &theWindow : nullptr; }

void PostToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) {
  if (theWindow.alive) Push(&theWindow, message, wParam, lParam);
}

const char* MainWindowTitle() { return theWindow.title.c_str(); }

void NoteProgress() { ++progress; }

bool MainWindowActive() { return theWindow.alive && theWindow.active; }

void PostActivation(bool active) {
  if (!theWindow.alive || theWindow.active == active) return;
  theWindow.active = active;
  Push(&theWindow, WM_ACTIVATEAPP, active ? 1 : 0, 0);
  Push(&theWindow, WM_ACTIVATE, active ? WA_ACTIVE : WA_INACTIVE, 0);
}

void ResetWindowsAndMessages() {
  theWindow.alive = false;
  theWindow.proc = nullptr;
  theWindow.title.clear();
  theWindow.active = false;
  classes.clear();
  std::lock_guard<std::mutex> guard(queue.lock);
  queue.messages.clear();
  queue.quitPosted = false;
  queue.quitCode = 0;
  progressAtLastEmptyPeek = ~0ull;
}

int RegisterClass(const WNDCLASS* windowClass) {
  if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc) return 0;
  classes.push_back({windowClass->lpszClassName, windowClass->lpfnWndProc});
  return static_cast<int>(classes.size());
}

HWND CreateWindowEx(uint32_t, const char* className, const char* title, uint32_t style, int,
                    int, int, int, HWND, void*, HINSTANCE, void*) {
  if (!className || theWindow.alive) return nullptr;  // one window per run
  const ClassEntry* found = nullptr;
  for (const ClassEntry& entry : classes) {
    if (entry.name == className) found = &entry;
  }
  if (!found) return nullptr;
  theWindow.proc = found->proc;
  theWindow.title = title ? title : "";
  theWindow.alive = true;
  // A visible window becomes the active one; the frame loop runs only once it hears so.
  if (style & WS_VISIBLE) ShowWindow(&theWindow, SW_SHOWNORMAL);
  return &theWindow;
}

int ShowWindow(HWND window, int) {
  if (!IsLive(window)) return 0;
  PostActivation(true);
  return 1;
}

int UpdateWindow(HWND window) { return IsLive(window) ? 1 : 0; }

HWND SetFocus(HWND window) { return IsLive(window) ? window : nullptr; }

int SetWindowText(HWND window, const char* text) {
  if (!IsLive(window)) return 0;
  theWindow.title = text ? text : "";
  Video().SetTitle(theWindow.title);
  return 1;
}

int ClientToScreen(HWND window, POINT* point) {
  // The picture is the whole client area and is scaled by the platform: game pixels are
  // the only coordinates the game ever sees.
  return IsLive(window) && point ? 1 : 0;
}

int DestroyWindow(HWND window) {
  if (!IsLive(window)) return 0;
  WNDPROC proc = theWindow.proc;
  RunBeforeTeardown();
  proc(window, WM_DESTROY, 0, 0);
  theWindow.alive = false;
  Video().CloseDisplay();
  std::lock_guard<std::mutex> guard(queue.lock);
  std::erase_if(queue.messages, [window](const MSG& m) { return m.hwnd == window; });
  return 1;
}

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) Push(window, WM_CLOSE, 0, 0);
      return 0;
    default:
      return 0;
  }
}

int PeekMessage(MSG* msg, HWND, UINT, UINT, uint32_t removeFlags) {
  if (!msg) return 0;
  bool remove = (removeFlags & PM_REMOVE) != 0;
  ClockPoll();
  if (TakeQueued(msg, remove)) return 1;
  DrainHostInput();
  if (TakeQueued(msg, remove)) return 1;
  IdleIfSpinning();
  return TakeQueued(msg, remove) ? 1 : 0;
}

unsigned long long HostInputsDelivered() { return HostInputCount(); }

int WaitForMessageOrTimeout(int ms) {
  ClockPoll();
  auto waiting = [] {
    std::lock_guard<std::mutex> guard(queue.lock);
    return !queue.messages.empty() || queue.quitPosted || HostInputQueued() || QuitSignalled();
  };
  if (waiting()) return 1;
  if (ClockIsVirtual() || ms <= 0) return 0;
  const bool event = Video().WaitForEvent(ms);
  ClockPoll();
  return event || waiting() ? 1 : 0;
}

bool MessageWaitSleeps() { return !ClockIsVirtual(); }

int TranslateMessage(const MSG* msg) {
  return msg && (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP) ? 1 : 0;
}

LRESULT DispatchMessage(const MSG* msg) {
  if (!msg || !IsLive(msg->hwnd)) return 0;
  return theWindow.proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

int PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window && !IsLive(window)) return 0;
  Push(window, message, wParam, lParam);
  return 1;
}

void PostQuitMessage(int exitCode) {
  std::lock_guard<std::mutex> guard(queue.lock);
  queue.quitPosted = true;
  queue.quitCode = exitCode;
}

int16_t GetAsyncKeyState(int virtualKey) {
  return input::VirtualKeyDown(virtualKey) ? static_cast<int16_t>(0x8000) : 0;
}

int GetCursorPos(POINT* point) {
  if (!point) return 0;
  *point = input::MousePosition();
  return 1;
}

int GetSystemMetrics(int index) {
  int width = 800, height = 600;
  switch (index) {
    case SM_CXSCREEN:
      Video().ScreenSize(&width, &height);
      return width;
    case SM_CYSCREEN:
      Video().ScreenSize(&width, &height);
      return height;
    default:
      // No frame or caption lies inside the picture: the game's client area is the picture.
      return 0;
  }
}

int MessageBox(HWND, const char* text, const char* caption, uint32_t) {
  Video().ShowMessage(caption ? caption : "", text ? text : "");
  return IDOK;
}
