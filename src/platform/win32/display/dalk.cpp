// The display and input library over the active video backend: a two-buffer flip chain in
// memory, mouse and keyboard state, the rate text.
#include "platform/win32/display/dalk.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/runtime/clock.h"
#include "platform/runtime/clock_internal.h"
#include "platform/runtime/run_hooks.h"
#include "platform/runtime/trace.h"
#include "platform/video/backend.h"
#include "platform/video/font8x8.h"
#include "platform/video/shown_diff.h"
#include "platform/win32/display/picture_read_ahead.h"
#include "platform/win32/display/present_internal.h"
#include "platform/win32/window/input.h"
#include "platform/win32/window/window_internal.h"

namespace {

struct Display {
  bool open = false;
  Surface* front = nullptr;
  Surface* back = nullptr;
  bool keyboard = false;
  bool mouseAcquired = false;
  int windowX = 0, windowY = 0;
  std::string lastError;
  // Frame rate over the last half second or more.
  uint32_t fpsStartMs = 0;
  int fpsFrames = 0;
  float fps = 0.0f;
  uint64_t advancesAtLastPresent = 0;
};

Display display;
// What the window shows: kept up to date area by area at each flip, so a flip knows what
// changed and screenshots need no copy of their own.
ShownPicture shown;

void CountFrame() {
  uint32_t now = ClockNowMs();
  if (display.fpsFrames == 0) display.fpsStartMs = now;
  ++display.fpsFrames;
  uint32_t elapsed = now - display.fpsStartMs;
  if (elapsed >= 500) {
    display.fps = static_cast<float>(display.fpsFrames - 1) * 1000.0f / static_cast<float>(elapsed);
    display.fpsFrames = 1;
    display.fpsStartMs = now;
  }
}

void ReleaseSurfaces() {
  if (display.front) display.front->Release();
  if (display.back) display.back->Release();
  display.front = display.back = nullptr;
}

int InitDisplay(HWND window, int width, int height, bool fullScreen) {
  if (display.open || width <= 0 || height <= 0) return 0;
  std::string title = window == MainWindowHandle() ? MainWindowTitle() : "";
  if (!Video().OpenDisplay(fullScreen, width, height, title)) {
    display.lastError = Video().LastError();
    return 0;
  }
  display.front = Surface::Create(width, height, 16);
  display.back = Surface::Create(width, height, 16);
  if (!display.front || !display.back) {
    ReleaseSurfaces();
    Video().CloseDisplay();
    display.lastError = "out of memory for the display surfaces";
    return 0;
  }
  display.front->TrackDamage(true);
  display.back->TrackDamage(true);
  shown = ShownPicture{};  // a new window shows nothing yet
  display.open = true;
  display.advancesAtLastPresent = ClockAdvanceCount();
  return 1;
}

}  // namespace

const ShownPicture& LastShownPicture() { return shown; }

void ResetDisplay() {
  ReleaseSurfaces();
  display = Display{};
  shown = ShownPicture{};
}

int DalkSetInstance(HINSTANCE) { return 1; }

void DalkDebugEnable(int) {}

int DalkInitDirectX(HWND window, int width, int height, int) {
  return InitDisplay(window, width, height, true);
}

int DalkInitDirectX(HWND window, int width, int height) {
  return InitDisplay(window, width, height, false);
}

void DalkPrintError() {
  std::string text = "The display could not be started";
  if (!display.lastError.empty()) text += ": " + display.lastError;
  Video().ShowMessage("Zorbit", text.c_str());
}

void DalkSetViewport(int, int, int, int) {}

void DalkGetDDInfo(Surface** front, Surface** back) {
  if (front) *front = display.front;
  if (back) *back = display.back;
}

int DalkInitMouse() { return 1; }

int DalkInitFont(HWND) { return 1; }

int DalkInitKeyboard() {
  display.keyboard = true;
  return 1;
}

int DalkFlip() {
  if (!display.open) return 0;
  static bool drawnOnce = false;
  const bool first = !drawnOnce;
  if (first) TraceStep("first picture drawn");
  drawnOnce = true;
  // Drawing that only repeated what the back buffer holds is dropped here: then only the
  // areas where the picture shown since differs from it are compared.
  Surface::EndFrames();
  std::vector<Rect> changed = UpdateShownPicture(*display.back, display.back->TakeDamage(), &shown);
  bool ok = Video().Show(*display.back, changed);
  // What the first picture did not need is let go (not before: that would hold it up).
  if (first) EndPictureReadAhead();
  // The shown picture moves to the front; the back now holds the one shown before it,
  // which differs from the window where this flip changed it.
  for (const Rect& area : changed) display.front->NoteDamage(area);
  display.back->SwapContents(*display.front);
  CountFrame();
  TraceFrame();
  NoteProgress();
  RunAfterPresent();
  // A loop that presents without ever waiting must still see time move.
  if (ClockIsVirtual() && ClockAdvanceCount() == display.advancesAtLastPresent) {
    ClockAdvance(kTimerPeriodMs);
  }
  display.advancesAtLastPresent = ClockAdvanceCount();
  return ok ? 1 : 0;
}

void DalkAcquireMouse(int acquire) { display.mouseAcquired = acquire != 0; }

void DalkGetMouseData(int* dx, int* dy, int* buttons) {
  if (dx) *dx = 0;
  if (dy) *dy = 0;
  if (buttons) *buttons = input::PollButtons();
}

unsigned char* DalkGetKeys() { return display.keyboard ? input::KeyBytes() : nullptr; }

void DalkSetWindowXY(int x, int y) {
  // The platform places and scales the picture itself; kept for completeness.
  display.windowX = x;
  display.windowY = y;
}

namespace {

// The locked area of the back buffer: `first` is its top-left pixel.
struct TextTarget {
  uint8_t* first;
  int pitch;
  Rect area;
};

void DrawGlyph(const TextTarget& to, const unsigned char* glyph, int left, int top,
               uint16_t colour) {
  for (int row = 0; row < kGlyphSize; ++row) {
    const int y = top + row;
    if (y < to.area.top || y >= to.area.bottom) continue;
    auto* line = reinterpret_cast<uint16_t*>(to.first + (y - to.area.top) * to.pitch);
    for (int col = 0; col < kGlyphSize; ++col) {
      const int x = left + col;
      if (x >= to.area.left && x < to.area.right && (glyph[row] & (0x80 >> col)))
        line[x - to.area.left] = colour;
    }
  }
}

}  // namespace

void DalkPrintString(const char* text, int x, int y) {
  Surface* target = display.back;
  if (!text || !target || target->bitsPerPixel() != 16) return;
  const int length = static_cast<int>(std::strlen(text));
  const Rect area{std::max(x, 0), std::max(y, 0),
                  std::min(x + length * kGlyphSize + 1, target->width()),
                  std::min(y + kGlyphSize + 1, target->height())};
  if (area.left >= area.right || area.top >= area.bottom) return;
  // Locked as one area: the surface then knows exactly what was written by hand.
  SurfaceDesc desc;
  if (target->Lock(&area, &desc, DDLOCK_WAIT, nullptr) != DD_OK) return;
  TextTarget to{static_cast<uint8_t*>(desc.memory), desc.pitch, area};
  // White with a dark shadow: readable on the light sky and on the balloons alike.
  for (int i = 0; text[i]; ++i) {
    const unsigned char* glyph = FontGlyph(static_cast<unsigned char>(text[i]));
    DrawGlyph(to, glyph, x + i * kGlyphSize + 1, y + 1, 0x0000);
  }
  for (int i = 0; text[i]; ++i) {
    const unsigned char* glyph = FontGlyph(static_cast<unsigned char>(text[i]));
    DrawGlyph(to, glyph, x + i * kGlyphSize, y, 0xFFFF);
  }
  target->Unlock(&area);
}

float DalkGetFPS() { return RunFrameRate(display.fps); }

void DalkFreeFont() {}

void DalkFreeDirectInput() { display.keyboard = false; }

void DalkFreeDirectX() {
  ReleaseSurfaces();
  if (display.open) Video().CloseDisplay();
  display.open = false;
}
