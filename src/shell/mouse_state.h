// The mouse for the whole game: the position from window messages (main thread), the
// button bits polled from the display library every 10 ms (timer thread). Also the hooks
// of a drawn cursor, which the game keeps hidden, and the queue of newly pressed keys.
#pragma once

#include <atomic>

#include "platform/video/ddraw.h"
#include "shell/ptr_array.h"

class Picture;

constexpr int MouseLeft = 0x1;
constexpr int MouseRight = 0x2;

class MouseState {
 public:
  MouseState();
  ~MouseState();
  MouseState(const MouseState&) = delete;
  MouseState& operator=(const MouseState&) = delete;

  // With a file: loads it as the cursor picture and makes the two save-under surfaces.
  int Init(const char* pictureFile);
  void SelectCursor(int index);
  void HideCursor() { visible = 0; }
  void ShowCursor() { visible = 1; }
  void SetFlipping(int value) { flipping = value & 0xFF; }
  void MoveTo(int newX, int newY);
  // Every non-null out gets its value; the last two are unused and left alone. Reading the
  // buttons lets the next poll take the next change.
  void GetState(int* outX, int* outY, int* outButtons, int* unused1 = nullptr,
                int* unused2 = nullptr) const;
  // Timer thread: reads the buttons from the display library while polling is enabled. A
  // change no frame has read yet is kept, so a frame slower than the poll misses no click.
  void PollButtons();
  void SetPollEnabled(int enabled) { pollEnabled.store(enabled); }
  // Main thread, at each view of the timer: the buttons the view takes (a polled change, once
  // the frame has read the one before), and the buttons it shows to GetState from then on.
  int TakeButtons();
  void ShowButtons(int bits);
  void DrawCursor(Surface* surface);
  void EraseCursor(Surface* surface);
  // Deletes the cursor pictures and releases the save-under surfaces.
  void Release();

  Picture* cursor = nullptr;
  PtrArray<Picture> cursorPictures;
  Surface* saveUnder[2] = {nullptr, nullptr};
  int bufferIndex = 0;
  int savedX[2] = {-1, -1};
  int savedY[2] = {-1, -1};
  int cursorWidth = 0, cursorHeight = 0;
  int visible = 0;
  int flipping = 0;
  int x = 0, y = 0;
  // The button bits, plus kUnread while no one has read the latest change; written by the
  // timer thread, read (and marked read) by the frame.
  static constexpr int kUnread = 0x100;
  std::atomic<int> buttons{0};
  // What GetState gives (main thread), and whether a frame has read it yet.
  int seen = 0;
  mutable bool seenUnread = false;
  std::atomic<int> pollEnabled{1};
};

extern MouseState TheMouseState;

// The key queue: every newly pressed key that the message pump sees, as its scan code,
// plus 256 while a shift key is held. A ring of 256 entries without an overflow check.
void PushKey(int value);
int NextKey();  // 0 when empty
void ClearKeys();
// 256 key bytes by scan code (bit 7 = held); queues each key on its press only.
void LatchKeys(const unsigned char* keys);
// Forgets which keys are held (tests, and a fresh start).
void ResetKeyLatch();
