// Keyboard and mouse state. The buttons are read by the timer thread (the game polls them
// every 10 ms there), so they are atomic or behind a lock; the rest belongs to the main
// thread.
#include "platform/win32/window/input.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstring>
#include <deque>
#include <mutex>

#include "platform/win32/window/window_internal.h"

namespace input {
namespace {

struct KeyName {
  int scan;
  int virtualKey;
  const char* name;
};

// PC scan codes (set 1) with their virtual keys and the names scripts use.
constexpr KeyName kKeys[] = {
    {1, VK_ESCAPE, "escape"}, {2, '1', "1"},   {3, '2', "2"},   {4, '3', "3"},
    {5, '4', "4"},            {6, '5', "5"},   {7, '6', "6"},   {8, '7', "7"},
    {9, '8', "8"},            {10, '9', "9"},  {11, '0', "0"},  {14, 0x08, "backspace"},
    {15, 0x09, "tab"},        {16, 'Q', "q"},  {17, 'W', "w"},  {18, 'E', "e"},
    {19, 'R', "r"},           {20, 'T', "t"},  {21, 'Y', "y"},  {22, 'U', "u"},
    {23, 'I', "i"},           {24, 'O', "o"},  {25, 'P', "p"},  {28, VK_RETURN, "enter"},
    {29, VK_CONTROL, "lctrl"}, {30, 'A', "a"}, {31, 'S', "s"},  {32, 'D', "d"},
    {33, 'F', "f"},           {34, 'G', "g"},  {35, 'H', "h"},  {36, 'J', "j"},
    {37, 'K', "k"},           {38, 'L', "l"},  {42, VK_SHIFT, "lshift"},
    {44, 'Z', "z"},           {45, 'X', "x"},  {46, 'C', "c"},  {47, 'V', "v"},
    {48, 'B', "b"},           {49, 'N', "n"},  {50, 'M', "m"},  {54, VK_SHIFT, "rshift"},
    {56, VK_MENU, "alt"},     {57, VK_SPACE, "space"},
    {59, VK_F1, "f1"},        {60, VK_F1 + 1, "f2"}, {61, VK_F1 + 2, "f3"},
    {62, VK_F1 + 3, "f4"},    {63, VK_F1 + 4, "f5"}, {64, VK_F1 + 5, "f6"},
    {65, VK_F1 + 6, "f7"},    {66, VK_F1 + 7, "f8"}, {67, VK_F1 + 8, "f9"},
    {68, VK_F1 + 9, "f10"},   {87, VK_F1 + 10, "f11"}, {88, VK_F1 + 11, "f12"},
    {0x9C, VK_RETURN, "kpenter"}, {0x9D, VK_CONTROL, "rctrl"}, {0xB8, VK_MENU, "ralt"},
    {0xC8, VK_UP, "up"},      {0xCB, VK_LEFT, "left"}, {0xCD, VK_RIGHT, "right"},
    {0xD0, VK_DOWN, "down"},
};

std::atomic<int> buttons{0};

// The button changes not yet polled, oldest first, and the bits the last poll gave.
struct ButtonQueue {
  std::mutex lock;
  std::deque<int> states;  // the bits after each change
  int polled = 0;
};
ButtonQueue buttonQueue;
// A window that floods us with clicks the game cannot keep up with loses the newest.
constexpr size_t kMostQueuedChanges = 64;

// Read by any thread that posts a message (its pt field); written on the main thread.
std::atomic<int> mouseX{0}, mouseY{0};
unsigned char keys[256];
bool padHeld[static_cast<int>(PadButton::Count)];

LPARAM MouseLParam() { return MakeLParam(mouseX.load(), mouseY.load()); }

// Mouse messages carry the buttons held (MK_LBUTTON 1, MK_RBUTTON 2) in wParam.
WPARAM MouseWParam() { return static_cast<WPARAM>(buttons.load() & 3); }

}  // namespace

void Reset() {
  buttons = 0;
  {
    std::lock_guard<std::mutex> guard(buttonQueue.lock);
    buttonQueue.states.clear();
    buttonQueue.polled = 0;
  }
  mouseX = 0;
  mouseY = 0;
  std::memset(keys, 0, sizeof keys);
  std::memset(padHeld, 0, sizeof padHeld);
}

void MouseMove(int x, int y) {
  mouseX = std::clamp(x, 0, 799);
  mouseY = std::clamp(y, 0, 599);
  PostToMainWindow(WM_MOUSEMOVE, MouseWParam(), MouseLParam());
}

void MouseButton(int button, bool down) {
  if (button != 0 && button != 1) return;
  int bit = 1 << button;
  int before = buttons.load();
  if (((before & bit) != 0) == down) return;
  int after = down ? (before | bit) : (before & ~bit);
  {
    std::lock_guard<std::mutex> guard(buttonQueue.lock);
    if (buttonQueue.states.size() >= kMostQueuedChanges) return;  // dropped with its message
    buttonQueue.states.push_back(after);
  }
  buttons = after;
  UINT message = button == 0 ? (down ? WM_LBUTTONDOWN : WM_LBUTTONUP)
                             : (down ? WM_RBUTTONDOWN : WM_RBUTTONUP);
  PostToMainWindow(message, MouseWParam(), MouseLParam());
}

void Key(int scanCode, bool down) {
  if (scanCode <= 0 || scanCode > 255) return;
  bool wasDown = (keys[scanCode] & 0x80) != 0;
  if (!down && !wasDown) return;
  keys[scanCode] = down ? 0x80 : 0;
  int virtualKey = ScanToVirtualKey(scanCode);
  if (virtualKey == 0) return;
  // lParam: repeat count 1, the scan code, and for key-up the previous-state and
  // transition bits.
  uint32_t bits = 1u | (static_cast<uint32_t>(scanCode & 0x7F) << 16);
  if (scanCode & 0x80) bits |= 1u << 24;  // extended key
  if (down && wasDown) bits |= 1u << 30;
  if (!down) bits |= (1u << 30) | (1u << 31);
  PostToMainWindow(down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(virtualKey),
                   static_cast<LPARAM>(static_cast<int32_t>(bits)));
}

void PadButtonChange(PadButton button, bool down) {
  const int index = static_cast<int>(button);
  if (index < 0 || index >= static_cast<int>(PadButton::Count)) return;
  const bool wasDown = padHeld[index];
  if (!down && !wasDown) return;
  padHeld[index] = down;
  PostToMainWindow(down ? WM_PADBUTTONDOWN : WM_PADBUTTONUP, static_cast<WPARAM>(index),
                   down && wasDown ? 1 : 0);  // lParam 1: a repeat
}

void ReleaseAll() {
  for (int scan = 1; scan < 256; ++scan) Key(scan, false);
  for (int pad = 0; pad < static_cast<int>(PadButton::Count); ++pad)
    PadButtonChange(static_cast<PadButton>(pad), false);
  MouseButton(0, false);
  MouseButton(1, false);
}

int Buttons() { return buttons.load(); }

int PollButtons() {
  std::lock_guard<std::mutex> guard(buttonQueue.lock);
  int changed = 0;  // the buttons this poll has already changed
  while (!buttonQueue.states.empty()) {
    const int next = buttonQueue.states.front();
    const int differs = (next ^ buttonQueue.polled) & 3;
    if (differs & changed) break;  // that button's next change belongs to the next poll
    changed |= differs;
    buttonQueue.polled = next;
    buttonQueue.states.pop_front();
  }
  return buttonQueue.polled;
}

POINT MousePosition() {
  POINT point;
  point.x = mouseX.load();
  point.y = mouseY.load();
  return point;
}

unsigned char* KeyBytes() { return keys; }

bool VirtualKeyDown(int virtualKey) {
  if (virtualKey == VK_LBUTTON) return (buttons.load() & 1) != 0;
  if (virtualKey == VK_RBUTTON) return (buttons.load() & 2) != 0;
  if (virtualKey == 0xA0) return keys[42] & 0x80;  // VK_LSHIFT
  if (virtualKey == 0xA1) return keys[54] & 0x80;  // VK_RSHIFT
  for (const KeyName& key : kKeys) {
    if (key.virtualKey == virtualKey && (keys[key.scan] & 0x80)) return true;
  }
  return false;
}

int ScanToVirtualKey(int scanCode) {
  for (const KeyName& key : kKeys) {
    if (key.scan == scanCode) return key.virtualKey;
  }
  return 0;
}

int KeyNameToScan(const std::string& name) {
  std::string lower = name;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "return") lower = "enter";
  if (lower == "esc") lower = "escape";
  for (const KeyName& key : kKeys) {
    if (lower == key.name) return key.scan;
  }
  return 0;
}

}  // namespace input
