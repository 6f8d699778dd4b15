// The mouse state, the drawn-cursor hooks and the key queue.
#include "shell/mouse_state.h"

#include "platform/win32/display/dalk.h"
#include "sprites/sprite.h"
#include "surface/surface_helpers.h"

MouseState TheMouseState;

MouseState::MouseState() = default;

MouseState::~MouseState() { Release(); }

int MouseState::Init(const char* pictureFile) {
  if (pictureFile) {
    auto* picture = new Picture(pictureFile);
    if (picture->GetSurface()) {
      cursorPictures.Append(picture);
      cursorWidth = picture->width;
      cursorHeight = picture->height;
      for (Surface*& save : saveUnder) {
        if (save) save->Release();
        save = CreateOffscreenSurface(cursorWidth, cursorHeight);
      }
    } else {
      delete picture;
    }
  }
  bufferIndex = 0;
  savedX[0] = savedX[1] = savedY[0] = savedY[1] = -1;
  visible = 0;
  flipping = 0;
  return 1;
}

void MouseState::SelectCursor(int index) {
  cursor = (index >= 0 && index < cursorPictures.Count()) ? cursorPictures.GetAt(index) : nullptr;
}

void MouseState::MoveTo(int newX, int newY) {
  x = newX;
  y = newY;
}

void MouseState::GetState(int* outX, int* outY, int* outButtons, int*, int*) const {
  if (outX) *outX = x;
  if (outY) *outY = y;
  if (outButtons) {
    *outButtons = seen;
    seenUnread = false;
  }
}

int MouseState::TakeButtons() {
  if (seenUnread) return seen;  // the frame has not read the last change yet
  const int polled = buttons.fetch_and(~kUnread);
  return (polled & kUnread) ? (polled & ~kUnread) : seen;
}

void MouseState::ShowButtons(int bits) {
  if (bits == seen) return;
  seen = bits;
  seenUnread = true;
}

void MouseState::PollButtons() {
  if (pollEnabled.load() != 1) return;
  // Only this thread sets kUnread, so a clear by the frame between here and the store
  // below cannot be lost.
  const int held = buttons.load();
  if (held & kUnread) return;
  int dx = 0, dy = 0, bits = 0;
  DalkGetMouseData(&dx, &dy, &bits);
  if (bits != held) buttons.store(bits | kUnread);
}

// The drawn cursor: before the flip the area under it is saved for the buffer being drawn,
// after the flip that buffer's area is put back once it is the back surface again.
void MouseState::DrawCursor(Surface* surface) {
  if (!visible || !cursor || !surface) return;
  Surface* save = saveUnder[bufferIndex];
  if (!save) return;
  ClippedBltRect(surface, x, y, cursorWidth, cursorHeight, save, 0, 0, 0x1000000);
  savedX[bufferIndex] = x;
  savedY[bufferIndex] = y;
  cursor->Draw(surface, x, y);
}

void MouseState::EraseCursor(Surface* surface) {
  if (flipping) bufferIndex = 1 - bufferIndex;
  if (!surface || savedX[bufferIndex] < 0) return;
  Surface* save = saveUnder[bufferIndex];
  if (save) ClippedBlt(save, surface, savedX[bufferIndex], savedY[bufferIndex], 0x1000000);
  savedX[bufferIndex] = savedY[bufferIndex] = -1;
}

void MouseState::Release() {
  cursor = nullptr;
  cursorPictures.DeleteAll();
  for (Surface*& save : saveUnder) {
    if (save) save->Release();
    save = nullptr;
  }
  savedX[0] = savedX[1] = savedY[0] = savedY[1] = -1;
}

// --- Key queue (main thread only).

namespace {

constexpr int kRingSize = 256;
constexpr int kLeftShift = 42;
constexpr int kRightShift = 54;

bool keyDown[256] = {};
int ring[kRingSize] = {};
int writeIndex = 0;
int readIndex = 0;

}  // namespace

void PushKey(int value) {
  ring[writeIndex] = value;
  writeIndex = (writeIndex + 1) % kRingSize;
}

int NextKey() {
  if (readIndex == writeIndex) return 0;
  int value = ring[readIndex];
  readIndex = (readIndex + 1) % kRingSize;
  return value;
}

void ClearKeys() { writeIndex = readIndex = 0; }

void LatchKeys(const unsigned char* keys) {
  if (!keys) return;
  int shift = (keys[kLeftShift] != 0 || keyDown[kRightShift]) ? 1 : 0;
  for (int code = 0; code < 256; ++code) {
    if (keys[code] & 0x80) {
      if (!keyDown[code]) PushKey(code | shift * 256);
      keyDown[code] = true;
    } else {
      keyDown[code] = false;
    }
  }
}

void ResetKeyLatch() {
  for (bool& down : keyDown) down = false;
}
