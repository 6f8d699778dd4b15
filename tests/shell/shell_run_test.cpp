// Whole runs of the shell, in-process and headless, with a small module of the tests' own in
// place of the game: start-up settings, the frame loop, the quit paths, and a moving sprite
// that leaves no trails on the presented pictures.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/app/platform_main.h"
#include "shell/app.h"
#include "shell/game_links.h"
#include "shell/redraw_list.h"
#include "shell/screen_module.h"
#include "shell/winmain.h"
#include "shell_test_util.h"
#include "sound/dalk_sound.h"
#include "sprites/sprite.h"

using namespace shelltest;

namespace {

constexpr uint16_t kRed = 0xF800;

uint16_t SceneAt(int x, int y) { return static_cast<uint16_t>((x * 7 + y * 3) | 0x0800); }

// A background scene and one red square moving over it, presented every frame.
struct MovingSpriteModule : ScreenModule {
  MovingSpriteModule() { SetName("balloon"); }
  void Open(DirectDraw* dd, Surface* surface) override {
    ScreenModule::Open(dd, surface);
    ++opens;
    fullScreen = FullScreen;
    music = g_DalkSound.MusicEnabled();
    sfx = g_DalkSound.SFXEnabled();
    scene.reset(Surface::Create(800, 600, 16));
    layer.reset(Surface::Create(800, 600, 16));
    for (Surface* s : {scene.get(), layer.get()})
      for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) s->row16(y)[x] = SceneAt(x, y);
    SetRedrawBackground(scene.get());
    SetRedrawLayer(layer.get());
    TheRedrawList.RefreshFullScreen();
    sprite = std::make_unique<Sprite>();
    sprite->AddFrame(MakeSurface(20, 20, kRed).release());
    sprite->SetPosition(100, 100);
    sprite->vx = 7;
    sprite->vy = 3;
  }
  void Close() override {
    ScreenModule::Close();
    ++closes;
    sprite.reset();
    TheRedrawList.Reset();
    scene.reset();
    layer.reset();
  }
  int HandleMessage(ScreenModule*, HWND, UINT message, WPARAM, LPARAM) override {
    messages.push_back(message);
    return 1;
  }
  int Frame(int) override {
    ++frames;
    if (frames <= 2) TheRedrawList.AddFullScreen();  // each display buffer gets the scene once
    if (onFrame && onFrame(frames)) return QuitCode;
    sprite->Move();
    sprite->DrawTo(BackSurface);
    positions.push_back({sprite->Left(), sprite->Top()});
    Present();
    return frames >= quitAfter ? QuitCode : 1;
  }

  int quitAfter = 1000000;
  std::function<bool(int)> onFrame;
  int opens = 0, closes = 0, frames = 0, fullScreen = -1, music = -1, sfx = -1;
  std::vector<UINT> messages;
  std::vector<std::pair<int, int>> positions;
  SurfacePtr scene, layer;
  std::unique_ptr<Sprite> sprite;
};

class ShellRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir.path() / "data");
    SetStartupModule(&module);
  }
  void TearDown() override { SetStartupModule(nullptr); }

  int Run(const std::string& script, std::vector<std::string> extra = {}) {
    WriteText(dir.path() / "script.txt", script);
    std::vector<std::string> args = {"zorbit", "--headless", "--seed", "3", "--data",
                                     (dir.path() / "data").string(), "--script",
                                     (dir.path() / "script.txt").string()};
    args.insert(args.end(), extra.begin(), extra.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    return PlatformMain(static_cast<int>(argv.size()), argv.data(), WinMain);
  }
  std::string Shot(const char* name) { return (dir.path() / name).string(); }
  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  ScratchDir dir;
  MovingSpriteModule module;
};

// The pixel of a 24-bit screenshot as RGB565.
uint16_t ShotPixel(const std::string& bmp, int x, int y) {
  size_t at = 54 + (static_cast<size_t>(599 - y) * 800 + x) * 3;
  auto b = static_cast<unsigned char>(bmp[at]), g = static_cast<unsigned char>(bmp[at + 1]),
       r = static_cast<unsigned char>(bmp[at + 2]);
  return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

TEST_F(ShellRunTest, AMovingSpriteLeavesNoTrailsAndRunsRepeat) {
  module.quitAfter = 50;
  std::string first;
  for (int run = 0; run < 2; ++run) {
    module.positions.clear();
    module.frames = 0;
    EXPECT_EQ(Run("wait 300\nscreenshot " + Shot("shot.bmp") + "\nwait 5000\n"), 0)
        << "a frame result of 7 ends the program with code 0";
    EXPECT_EQ(module.frames, 50);
    std::string bmp = ReadFile(Shot("shot.bmp"));
    ASSERT_EQ(bmp.size(), 54u + 800 * 600 * 3);
    if (run == 0) first = bmp;
    EXPECT_EQ(bmp, first) << "two runs present the same pictures";
  }

  // Everything but one 20 x 20 red square is the scene.
  int left = 800, top = 600, right = -1, bottom = -1, red = 0, wrong = 0;
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 800; ++x) {
      uint16_t p = ShotPixel(first, x, y);
      if (p == kRed) {
        ++red;
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
      } else if (p != SceneAt(x, y)) {
        ++wrong;
      }
    }
  }
  EXPECT_EQ(wrong, 0) << "trails or missing scene";
  EXPECT_EQ(red, 400);
  EXPECT_EQ(right - left, 19);
  EXPECT_EQ(bottom - top, 19);
  bool drawnThere = false;
  for (auto [x, y] : module.positions) drawnThere |= (x == left && y == top);
  EXPECT_TRUE(drawnThere);
  EXPECT_EQ(module.opens, 2) << "opened once per run";
  EXPECT_EQ(module.closes, 2) << "and closed when its window goes";
}

TEST_F(ShellRunTest, EscapeClosesTheWindowAndF1ShowsTheRate) {
  EXPECT_EQ(Run("wait 100\nscreenshot " + Shot("plain.bmp") + "\nkey f1\nwait 100\nscreenshot " +
                Shot("rate.bmp") + "\nkey escape\nwait 5000\n"),
            0);
  EXPECT_LT(module.frames, 100) << "Escape ended the run, not the script's end";
  std::string plain = ReadFile(Shot("plain.bmp")), rate = ReadFile(Shot("rate.bmp"));
  ASSERT_FALSE(plain.empty());
  ASSERT_FALSE(rate.empty());
  auto whiteIn = [](const std::string& bmp) {
    int white = 0;
    for (int y = 0; y < 8; ++y)
      for (int x = 580; x < 630; ++x) white += ShotPixel(bmp, x, y) == 0xFFFF;
    return white;
  };
  EXPECT_EQ(whiteIn(plain), 0);
  EXPECT_GT(whiteIn(rate), 20) << "\"100.00\" at 580, 0";
  bool sawKeyUp = false;
  for (UINT m : module.messages) sawKeyUp |= m == WM_KEYUP;
  EXPECT_TRUE(sawKeyUp) << "the module sees every window message first";
}

TEST_F(ShellRunTest, AltMenuIsSwallowedAndTheCloseCommandStillCloses) {
  LRESULT keyMenu = -1;
  module.onFrame = [&](int frame) {
    if (frame == 3) keyMenu = MainWndProc(MainWindow, WM_SYSCOMMAND, SC_KEYMENU, 0);
    if (frame == 5) PostMessage(MainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
    return false;
  };
  EXPECT_EQ(Run("wait 5000\n"), 0);
  EXPECT_EQ(keyMenu, 0);
  EXPECT_GE(module.frames, 5);
  EXPECT_LT(module.frames, 10);
}

TEST_F(ShellRunTest, SettingsDefaultToWindowedAndLowerCaseYIsOff) {
  EXPECT_EQ(Run("wait 30\n", {"--max-ms", "50"}), 0);
  EXPECT_EQ(module.fullScreen, 0);
  EXPECT_EQ(module.music, 1);
  EXPECT_EQ(module.sfx, 1);

  WriteText(dir.path() / "data" / "setup.ini", "[setup]\nfullscreen=1\n");
  WriteText(dir.path() / "options.ini", "[setup]\nmusic=y\nSFX=Yes please\n");
  EXPECT_EQ(Run("wait 30\n", {"--max-ms", "50"}), 0);
  EXPECT_EQ(module.fullScreen, 1);
  EXPECT_EQ(module.music, 0);
  EXPECT_EQ(module.sfx, 1);
}

TEST_F(ShellRunTest, NoFrameRunsWhileInactive) {
  module.onFrame = [](int) { return false; };
  EXPECT_EQ(Run("wait 50\ndeactivate\nwait 500\n"), 0);
  EXPECT_LT(module.frames, 10);
}

}  // namespace
