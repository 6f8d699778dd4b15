#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/runtime/clock.h"
#include "platform/runtime/clock_internal.h"
#include "platform/sdl/gamepads.h"
#include "platform/video/backend.h"
#include "platform/video/letterbox.h"
#include "platform/win32/display/dalk.h"
#include "platform/win32/display/present_internal.h"
#include "platform/win32/window/input.h"
#include "platform/win32/window/window_internal.h"

namespace {

std::vector<MSG> seen;

LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG msg;
  msg.hwnd = window;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  seen.push_back(msg);
  if (message == WM_DESTROY) PostQuitMessage(3);
  return DefWindowProc(window, message, wParam, lParam);
}

class Window : public ::testing::Test {
 protected:
  void SetUp() override {
    ClockReset(true);
    ResetDisplay();
    ResetWindowsAndMessages();
    input::Reset();
    seen.clear();
    WNDCLASS windowClass;
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.lpszClassName = "Test";
    ASSERT_NE(RegisterClass(&windowClass), 0);
    window = CreateWindowEx(0, "Test", "Title", WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr,
                            nullptr, nullptr);
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override {
    ResetDisplay();
    ResetWindowsAndMessages();
    ClockReset(false);
  }
  // Takes and dispatches every queued message; the kinds in order.
  std::vector<UINT> Pump() {
    std::vector<UINT> kinds;
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      kinds.push_back(msg.message);
      if (msg.message == WM_QUIT) break;
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
    return kinds;
  }
  HWND window = nullptr;
};

TEST_F(Window, AVisibleWindowIsActivatedAndMessagesKeepTheirOrder) {
  EXPECT_EQ(CreateWindowEx(0, "Test", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
            nullptr);  // one window
  PostMessage(window, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 7);
  EXPECT_EQ(Pump(), (std::vector<UINT>{WM_ACTIVATEAPP, WM_ACTIVATE, MM_MCINOTIFY}));
  EXPECT_EQ(seen[1].wParam, WA_ACTIVE);
  EXPECT_EQ(seen[2].lParam, 7);
  MSG msg;
  EXPECT_EQ(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE), 0);
}

TEST_F(Window, CloseDestroysAtOnceAndQuitComesLast) {
  Pump();
  PostMessage(window, WM_CLOSE, 0, 0);
  PostMessage(window, 0x0400, 0, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  DispatchMessage(&msg);  // WM_CLOSE: the default destroys the window, WM_DESTROY at once
  EXPECT_EQ(seen.back().message, WM_DESTROY);
  EXPECT_EQ(MainWindowHandle(), nullptr);
  // Messages for the window are gone with it; the quit comes when nothing else is left.
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_QUIT);
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_EQ(PostMessage(window, WM_CLOSE, 0, 0), 0);
  EXPECT_EQ(DestroyWindow(window), 0);
}

TEST_F(Window, InputReachesStateAndMessages) {
  Pump();
  seen.clear();
  input::MouseMove(123, 456);
  input::MouseButton(0, true);
  input::MouseButton(1, true);
  input::Key(42, true);
  input::Key(30, true);
  input::Key(30, false);
  int dx = 5, dy = 5, buttons = 0;
  DalkGetMouseData(&dx, &dy, &buttons);
  EXPECT_EQ(buttons, 3);
  EXPECT_EQ(DalkGetKeys(), nullptr);  // not before the keyboard starts
  DalkInitKeyboard();
  ASSERT_NE(DalkGetKeys(), nullptr);
  EXPECT_EQ(DalkGetKeys()[DIK_LSHIFT], 0x80);
  EXPECT_EQ(DalkGetKeys()[30], 0);
  EXPECT_TRUE(GetAsyncKeyState(VK_SHIFT) & 0x8000);
  EXPECT_TRUE(GetAsyncKeyState(VK_RBUTTON) & 0x8000);
  EXPECT_FALSE(GetAsyncKeyState('A') & 0x8000);
  POINT point;
  GetCursorPos(&point);
  EXPECT_EQ(point.x, 123);
  EXPECT_EQ(point.y, 456);

  EXPECT_EQ(Pump(), (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_KEYDOWN,
                                       WM_KEYDOWN, WM_KEYUP}));
  EXPECT_EQ(seen[0].lParam, (456 << 16) | 123);
  EXPECT_EQ(seen[3].wParam, static_cast<WPARAM>(VK_SHIFT));
  EXPECT_EQ(seen[4].wParam, static_cast<WPARAM>('A'));
  EXPECT_EQ((seen[4].lParam >> 16) & 0xFF, 30);
  EXPECT_TRUE(seen[5].lParam & (1u << 31));
  input::MouseMove(-5, 9000);  // held onto the picture
  GetCursorPos(&point);
  EXPECT_EQ(point.x, 0);
  EXPECT_EQ(point.y, 599);
}

TEST_F(Window, OtherThreadsMayPostWhileTheMainThreadPumps) {
  Pump();
  seen.clear();
  std::thread poster([this] {
    for (int i = 0; i < 500; ++i) PostMessage(window, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, i);
  });
  int received = 0;
  MSG msg;
  for (int round = 0; round < 100000 && received < 500; ++round) {
    input::MouseMove(round % 800, 0);  // the posts read the mouse position meanwhile
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == MM_MCINOTIFY) {
        EXPECT_EQ(msg.lParam, received++);
      }
    }
  }
  poster.join();
  EXPECT_EQ(received, 500);
}

TEST_F(Window, AnIdleLoopStillSeesTimeMove) {
  Pump();
  MSG msg;
  uint32_t before = ClockNowMs();
  for (int i = 0; i < 10; ++i) PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE);
  EXPECT_GT(ClockNowMs(), before);
}

// A headless backend that keeps the areas each present was given.
std::vector<std::vector<Rect>> presented;

class RecordingBackend final : public VideoBackend {
 public:
  bool OpenDisplay(bool, int, int, const std::string&) override { return true; }
  void CloseDisplay() override {}
  bool Show(const Surface&, const std::vector<Rect>& changed) override {
    presented.push_back(changed);
    return true;
  }
  void PollEvents() override {}
  void WaitEvents(int) override {}
  void SetTitle(const std::string&) override {}
  void ShowMessage(const char*, const char*) override {}
  void ScreenSize(int* w, int* h) override { *w = 800, *h = 600; }
  bool IsHeadless() const override { return true; }
};

bool SameRect(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(Window, FlipShowsTheBackAndSendsOnlyTheAreasThatChanged) {
  ASSERT_EQ(DalkFlip(), 0);  // no display yet
  SetVideoBackend(std::make_unique<RecordingBackend>());
  presented.clear();
  ASSERT_EQ(DalkInitDirectX(window, 800, 600), 1);
  Surface* front = nullptr;
  Surface* back = nullptr;
  DalkGetDDInfo(&front, &back);
  ASSERT_NE(back, nullptr);
  ASSERT_NE(front, back);
  auto fill = [&back](Rect area, uint16_t colour) {
    BltFx fx;
    fx.fillColor = colour;
    ASSERT_EQ(back->Blt(&area, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
  };
  fill(Rect{0, 0, 800, 600}, 0x1111);
  ASSERT_EQ(DalkFlip(), 1);
  EXPECT_EQ(LastShownPicture().pixels[0], 0x1111);
  ASSERT_EQ(presented.size(), 1u);
  ASSERT_EQ(presented[0].size(), 1u);
  EXPECT_TRUE(SameRect(presented[0][0], Rect{0, 0, 800, 600}));  // the first shows it all

  // The back now holds the picture of two flips ago (zeros): the whole screen differs from
  // the window again although nothing was drawn on it since.
  EXPECT_EQ(back->row16(300)[400], 0);
  ASSERT_EQ(DalkFlip(), 1);
  ASSERT_EQ(presented.size(), 2u);
  ASSERT_EQ(presented[1].size(), 1u);
  EXPECT_TRUE(SameRect(presented[1][0], Rect{0, 0, 800, 600}));
  EXPECT_EQ(LastShownPicture().pixels[0], 0);

  // Both buffers now hold the same picture: drawing the same pixels again sends nothing,
  // and a changed pixel inside a large fill sends just that pixel, on this flip and the next
  // (whose back has yet to learn it).
  fill(Rect{0, 0, 800, 600}, 0x1111);
  ASSERT_EQ(DalkFlip(), 1);
  fill(Rect{0, 0, 800, 600}, 0x1111);
  ASSERT_EQ(DalkFlip(), 1);
  fill(Rect{100, 100, 300, 200}, 0x1111);
  ASSERT_EQ(DalkFlip(), 1);
  EXPECT_TRUE(presented.back().empty());
  fill(Rect{100, 100, 300, 200}, 0x1111);
  back->Lock(nullptr, nullptr, 0, nullptr);  // refused: no description to fill in
  SurfaceDesc desc;
  Rect pixel{250, 150, 251, 151};
  ASSERT_EQ(back->Lock(&pixel, &desc, 0, nullptr), DD_OK);
  *static_cast<uint16_t*>(desc.memory) = 0x2222;
  back->Unlock(&pixel);
  ASSERT_EQ(DalkFlip(), 1);
  ASSERT_EQ(presented.back().size(), 1u);
  EXPECT_TRUE(SameRect(presented.back()[0], pixel));
  EXPECT_EQ(LastShownPicture().pixels[150 * 800 + 250], 0x2222);
  ASSERT_EQ(DalkFlip(), 1);
  ASSERT_EQ(presented.back().size(), 1u);
  EXPECT_TRUE(SameRect(presented.back()[0], pixel));  // back to the picture before
  EXPECT_EQ(LastShownPicture().pixels[150 * 800 + 250], 0x1111);
  ASSERT_EQ(DalkFlip(), 1);  // the other buffer still holds the changed pixel
  ASSERT_EQ(presented.back().size(), 1u);
  EXPECT_EQ(LastShownPicture().pixels[150 * 800 + 250], 0x2222);

  Surface* sameBack = nullptr;
  DalkGetDDInfo(nullptr, &sameBack);
  EXPECT_EQ(sameBack, back);  // the same object, as the redraw list expects
  SetVideoBackend(MakeHeadlessBackend());
}

TEST_F(Window, PresentingWithoutWaitingMovesTimeAndTheRateIsMeasured) {
  ASSERT_EQ(DalkInitDirectX(window, 800, 600, 16), 1);
  uint32_t before = ClockNowMs();
  for (int i = 0; i < 100; ++i) DalkFlip();
  EXPECT_EQ(ClockNowMs() - before, 1000u);
  EXPECT_NEAR(DalkGetFPS(), 100.0f, 0.5f);
  for (int i = 0; i < 100; ++i) {
    ClockAdvance(30);
    DalkFlip();
  }
  EXPECT_NEAR(DalkGetFPS(), 33.3f, 0.5f);
}

TEST_F(Window, PrintStringDrawsClippedText) {
  ASSERT_EQ(DalkInitDirectX(window, 800, 600), 1);
  Surface* back = nullptr;
  DalkGetDDInfo(nullptr, &back);
  ASSERT_EQ(DalkFlip(), 1);
  DalkPrintString("100.00", 580, 0);
  int lit = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 580; x < 580 + 48; ++x) lit += back->row16(y)[x] == 0xFFFF;
  EXPECT_GT(lit, 20);
  ASSERT_EQ(DalkFlip(), 1);  // the text reaches the window, drawn pixels only
  int shown = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 580; x < 580 + 48; ++x) shown += LastShownPicture().pixels[y * 800 + x] == 0xFFFF;
  EXPECT_EQ(shown, lit);
  DalkGetDDInfo(nullptr, &back);
  for (int x = 0; x < 580; ++x) EXPECT_EQ(back->row16(3)[x], 0);
  DalkPrintString("edge", 790, 596);  // partly off the surface: no harm
  DalkPrintString("\x01\xff", -4, -4);
}

// Sharp scaling: whole picture pixels, blended only across their edges, and never a pixel
// skipped; one to one, and smaller, as plain sampling gives.
TEST(Letterbox, SharpTapsBlendOnlyAtPixelEdges) {
  EXPECT_EQ(SharpFactor(800, 800), 1);
  EXPECT_EQ(SharpFactor(600, 800), 1);
  EXPECT_EQ(SharpFactor(1440, 800), 2);
  EXPECT_EQ(SharpFactor(2880, 800), 4);
  for (int x = 0; x < 800; ++x) {
    const SharpTap same = SharpTapFor(x, 800, 800, 1);
    EXPECT_EQ(same.index, x);
    EXPECT_EQ(same.weight, 0u);
  }
  for (int outSize : {1440, 2880, 1000}) {
    const int factor = SharpFactor(outSize, 800);
    int blended = 0, last = 0;
    for (int x = 0; x < outSize; ++x) {
      const SharpTap tap = SharpTapFor(x, outSize, 800, factor);
      ASSERT_GE(tap.index, last);
      ASSERT_LE(tap.index, last + 1) << "a picture pixel skipped at " << x;
      blended += tap.weight != 0;
      last = tap.index;
    }
    EXPECT_EQ(last, 799);
    // At most one blended output pixel at each of the 799 edges between picture pixels.
    EXPECT_LE(blended, 799) << outSize;
  }
}

// The bars' colours follow the sky down the right margin, and a cloud there leaves no stripe.
TEST(Letterbox, BarShadesFollowTheMarginNotItsClouds) {
  std::vector<uint32_t> sky(100 * 60);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 100; ++x) sky[y * 100 + x] = static_cast<uint32_t>(y * 4) << 16 | 0xC0FF;
  for (int x = 80; x < 100; ++x) sky[30 * 100 + x] = 0xFFFFFF;  // a cloud's row in the margin
  const std::vector<uint32_t> rows = BarShades(sky.data(), 100, 60, 100);
  ASSERT_EQ(rows.size(), 60u);
  EXPECT_LT(rows[0] >> 16, rows[59] >> 16);
  EXPECT_EQ(rows[30] & 0xFFFF, 0xC0FFu);
  EXPECT_TRUE(BarShades(nullptr, 0, 0, 0).empty());
}

TEST(Letterbox, KeepsTheAspectAndMapsBack) {
  const PictureBox wide = FitPicture(1920, 1080, 800, 600);
  EXPECT_EQ((std::vector<int>{wide.x, wide.y, wide.width, wide.height}),
            (std::vector<int>{240, 0, 1440, 1080}));
  EXPECT_EQ(FitPicture(800, 1000, 800, 600).y, 200);
  const struct {
    const char* name;
    int outW, outH, x, y, wantX, wantY;
  } rows[] = {{"wide, top left", 1920, 1080, 240, 0, 0, 0},
              {"wide, bottom right", 1920, 1080, 240 + 1439, 1079, 799, 599},
              {"wide, on the bars: clamped", 1920, 1080, 10, 5000, 0, 599},
              {"same size", 800, 600, 321, 123, 321, 123}};
  for (const auto& r : rows) {
    int x, y;
    OutputToPicture(FitPicture(r.outW, r.outH, 800, 600), r.x, r.y, 800, 600, &x, &y);
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(r.wantX, r.wantY)) << r.name;
  }
}

// The pad messages the window got since the last call: kind, button, repeat flag.
std::vector<std::vector<int>> PadMessages() {
  std::vector<std::vector<int>> pads;
  for (const MSG& m : seen)
    if (m.message == WM_PADBUTTONDOWN || m.message == WM_PADBUTTONUP)
      pads.push_back({m.message == WM_PADBUTTONDOWN ? 1 : 0, static_cast<int>(m.wParam),
                      static_cast<int>(m.lParam)});
  seen.clear();
  return pads;
}

TEST_F(Window, AGamepadPressesRepeatsHeldDirectionsAndMayBeUnplugged) {
  Gamepads pads;
  if (!pads.ok()) GTEST_SKIP() << "no game controller support";
  const int pad = AttachVirtualPad();
  if (pad < 0) GTEST_SKIP() << "no virtual controllers in this SDL";
  pads.Pump(0);
  EXPECT_EQ(pads.Connected(), 1) << "plugged in while running";
  Pump();
  PadMessages();
  const int a = static_cast<int>(PadButton::A), right = static_cast<int>(PadButton::Right),
            up = static_cast<int>(PadButton::Up);
  SetVirtualPadButton(pad, PadButton::A, true);
  pads.Pump(10);
  SetVirtualPadButton(pad, PadButton::A, false);
  pads.Pump(20);
  Pump();
  EXPECT_EQ(PadMessages(), (std::vector<std::vector<int>>{{1, a, 0}, {0, a, 0}}));

  // The stick pushed right: a press, repeats after the delay, and a release only once it
  // is back near the middle.
  SetVirtualPadAxis(pad, 0, 30000);
  pads.Pump(100);
  pads.Pump(100 + Gamepads::kRepeatDelayMs - 10);
  pads.Pump(100 + Gamepads::kRepeatDelayMs);
  pads.Pump(100 + Gamepads::kRepeatDelayMs + Gamepads::kRepeatEveryMs);
  SetVirtualPadAxis(pad, 0, 12000);
  pads.Pump(700);
  SetVirtualPadAxis(pad, 0, 0);
  pads.Pump(710);
  Pump();
  EXPECT_EQ(PadMessages(),
            (std::vector<std::vector<int>>{{1, right, 0}, {1, right, 1}, {1, right, 1}, {0, right, 0}}));

  // Unplugged while the d-pad holds up: up is let go.
  SetVirtualPadButton(pad, PadButton::Up, true);
  pads.Pump(800);
  DetachVirtualPad(pad);
  pads.Pump(810);
  Pump();
  EXPECT_EQ(pads.Connected(), 0);
  EXPECT_EQ(PadMessages(), (std::vector<std::vector<int>>{{1, up, 0}, {0, up, 0}}));
}

}  // namespace
