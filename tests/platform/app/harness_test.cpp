// Runs the whole platform in-process: PlatformMain with this file's TestWinMain, which
// stands in for the game's.
#include <gtest/gtest.h>

#include <filesystem>

#include <functional>

#include "platform/app/platform_main.h"
#include "platform/replay/replay.h"
#include "platform/runtime/state_dump.h"
#include "platform/win32/display/dalk.h"
#include "platform/win32/sound/mmsystem.h"
#include "test_support.h"

namespace {

struct Seen {
  std::string commandLine;
  int frames = 0;
  int leftPresses = 0;
  int escapes = 0;
  bool destroyed = false;
  uint32_t endMs = 0;
};
Seen seen;
bool active = false;
bool paintFromMouse = true;

LRESULT TestProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      active = (wParam & 0xFFFF) != WA_INACTIVE;
      break;
    case WM_LBUTTONDOWN:
      ++seen.leftPresses;
      break;
    case WM_KEYUP:
      if (wParam == VK_ESCAPE) ++seen.escapes;
      break;
    case WM_DESTROY:
      seen.destroyed = true;
      DalkFreeDirectX();
      PostQuitMessage(0);
      break;
  }
  return DefWindowProc(window, message, wParam, lParam);
}

// Paints a picture that depends on time and on the mouse, so a screenshot shows both.
void Paint(Surface* back) {
  POINT mouse;
  GetCursorPos(&mouse);
  uint32_t now = timeGetTime();
  for (int y = 0; y < 600; ++y) {
    uint16_t* row = back->row16(y);
    for (int x = 0; x < 800; ++x) row[x] = static_cast<uint16_t>((x ^ y) + now);
  }
  if (!paintFromMouse) return;
  for (int y = mouse.y; y < mouse.y + 10 && y < 600; ++y)
    for (int x = mouse.x; x < mouse.x + 10 && x < 800; ++x) back->row16(y)[x] = 0xF800;
  DalkPrintString("Zorbit", 10, 10);
}

int TestWinMain(HINSTANCE, HINSTANCE, char* commandLine, int) {
  seen.commandLine = commandLine;
  WNDCLASS windowClass;
  windowClass.lpfnWndProc = TestProc;
  windowClass.lpszClassName = "DirectX Class";
  if (!RegisterClass(&windowClass)) return 1;
  HWND window = CreateWindowEx(0, "DirectX Class", "Zorbit", WS_VISIBLE, 0, 0, 800, 600,
                               nullptr, nullptr, nullptr, nullptr);
  if (!window || !DalkInitDirectX(window, 800, 600)) return 1;
  DalkInitKeyboard();
  Surface* back = nullptr;
  DalkGetDDInfo(nullptr, &back);
  for (;;) {
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        seen.endMs = timeGetTime();
        return static_cast<int>(msg.wParam) + 40;
      }
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
    if (!active) continue;  // like the game: no frame and no pacing while inactive
    WaitForTimerTick();
    Paint(back);
    DalkFlip();
    ++seen.frames;
  }
}

}  // namespace

namespace {

int RunGame(std::vector<std::string> args) {
  seen = Seen{};
  active = false;
  args.insert(args.begin(), "zorbit");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  return PlatformMain(static_cast<int>(argv.size()), argv.data(), TestWinMain);
}

TEST(Harness, ScreenshotsAreRepeatableAndShowTheScriptedInput) {
  ScratchDir dir;
  dir.Write("data/readme.txt", "");
  dir.Write("s.txt",
            "wait 200\nmove 100 50\nclick 300 200\nkey escape\nscreenshot " + (dir / "shot.bmp") +
                "\ndump " + (dir / "state.json") + "\nwait 100\n");
  std::string first;
  for (int run = 0; run < 2; ++run) {
    EXPECT_EQ(RunGame({"--data", dir / "data", "--headless", "--seed", "5", "--script", dir / "s.txt",
                   "/some/launcher"}),
              40);
    EXPECT_EQ(seen.commandLine, "/some/launcher");
    EXPECT_EQ(seen.leftPresses, 1);
    EXPECT_EQ(seen.escapes, 1);
    EXPECT_TRUE(seen.destroyed);
    EXPECT_EQ(seen.endMs, 420u);  // the script's end closes the window
    EXPECT_EQ(PlatformSeedTime(), 5u);
    std::string bmp = dir.Read("shot.bmp");
    ASSERT_EQ(bmp.size(), 54u + 800 * 600 * 3);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    if (run == 0) first = bmp;
    EXPECT_EQ(bmp, first);
    EXPECT_EQ(dir.Read("state.json"), "{}\n");
    std::remove((dir / "shot.bmp").c_str());
  }
  // The red square sits under the mouse at (300, 200): BMP rows run bottom-up, BGR.
  size_t at = 54 + (static_cast<size_t>(599 - 205) * 800 + 305) * 3;
  EXPECT_EQ(static_cast<unsigned char>(first[at + 2]), 255);
  EXPECT_EQ(static_cast<unsigned char>(first[at + 1]), 0);
}

TEST(Harness, StateDumpsAreWrittenInTheScriptAndAtExit) {
  ScratchDir dir;
  dir.Write("s.txt", "wait 50\ndump " + (dir / "mid.json") + "\nwait 50\n");
  RegisterStateDump([] { return std::string("{\"ms\":") + std::to_string(timeGetTime()) + "}"; });
  EXPECT_EQ(RunGame({"--headless", "--script", dir / "s.txt", "--dump-at-exit", dir / "end.json"}), 40);
  RegisterStateDump(nullptr);
  EXPECT_EQ(dir.Read("mid.json"), "{\"ms\":50}\n");
  EXPECT_EQ(dir.Read("end.json"), "{\"ms\":100}\n");
}

TEST(Harness, MaxTimeClosesEvenAnInactiveProgram) {
  ScratchDir dir;
  dir.Write("s.txt", "wait 20\ndeactivate\nwait 100000\n");
  EXPECT_EQ(RunGame({"--headless", "--max-ms", "500", "--script", dir / "s.txt"}), 40);
  EXPECT_GE(seen.endMs, 500u);
  EXPECT_LT(seen.endMs, 600u);
  EXPECT_LT(seen.frames, 10);
}

TEST(Harness, BadOptionsAndScriptsStopBeforeTheGameStarts) {
  ScratchDir dir;
  dir.Write("bad.txt", "wait 10\nclick here\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunGame({"--headless", "--script", dir / "bad.txt"}), 2);
  std::string message = testing::internal::GetCapturedStderr();
  EXPECT_NE(message.find("bad.txt:2:"), std::string::npos) << message;
  EXPECT_EQ(seen.commandLine, "");  // WinMain never ran
  // Short options other than -h and -V are errors too, not a launcher folder; a folder is no
  // script; an option is no file name.
  const std::vector<std::string> rows[] = {{"--headless", "--script", dir / "missing.txt"},
                                           {"--seed", "x"},
                                           {"--frobnicate"},
                                           {"-x"},
                                           {"-v"},
                                           {"--data"},
                                           {"--data", dir / "nowhere"},
                                           {"--headless", "--script", dir.path()},
                                           {"--headless", "--audio-out", "--max-ms", "3000"},
                                           {"--headless", "--dump-at-exit", "--seed", "1"}};
  testing::internal::CaptureStderr();
  for (const auto& args : rows) {
    std::string name;
    for (const auto& a : args) name += a + " ";
    SCOPED_TRACE(name);
    EXPECT_EQ(RunGame(args), 2);
    EXPECT_EQ(seen.commandLine, "");  // WinMain never ran
  }
  message = testing::internal::GetCapturedStderr();
  EXPECT_NE(message.find("unknown option -v"), std::string::npos) << message;
  EXPECT_NE(message.find("Is a directory"), std::string::npos) << message;
  EXPECT_NE(message.find("--audio-out needs a file name, not the option --max-ms"),
            std::string::npos) << message;
  EXPECT_FALSE(std::filesystem::exists("--max-ms"));
}

TEST(Harness, HelpAndVersionPrintAndEndWithoutStartingTheGame) {
  for (const char* option : {"-h", "--help"}) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(RunGame({option, "/some/launcher"}), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("Usage: zorbit", 0), 0u) << option;
  }
  for (const char* option : {"-V", "--version"}) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(RunGame({option}), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "zorbit " ZORBIT_VERSION "\n") << option;
  }
  EXPECT_EQ(seen.commandLine, "");  // WinMain never ran
}

TEST(Harness, TheLauncherFolderIsTakenWholeFromWhereTheUserStood) {
  ScratchDir dir;
  dir.Write("s.txt", "wait 10\n");
  std::string longFolder = "/" + std::string(400, 'd');
  EXPECT_EQ(RunGame({"--headless", "--script", dir / "s.txt", longFolder, "more"}), 40);
  EXPECT_EQ(seen.commandLine, longFolder + " more");
  const std::string here = std::filesystem::current_path().string();
  EXPECT_EQ(RunGame({"--headless", "--script", dir / "s.txt", "--data", dir.path(), "launcher"}),
            40);
  EXPECT_EQ(seen.commandLine, here + "/launcher");
  // After "--" a folder may start with a dash.
  EXPECT_EQ(RunGame({"--headless", "--script", dir / "s.txt", "--", "-folder", "--data"}), 40);
  EXPECT_EQ(seen.commandLine, here + "/-folder --data");
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunGame({"--headless", "--script", dir / "s.txt", "/" + std::string(5000, 'd')}), 2);
  testing::internal::GetCapturedStderr();
}

}  // namespace
