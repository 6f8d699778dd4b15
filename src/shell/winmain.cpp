// The entry point, the main window's procedure and the frame loop.
#include <cstdlib>
#include <cstring>

#include "game/high_score_table.h"
#include "platform/replay/replay.h"
#include "platform/runtime/game_random.h"
#include "platform/runtime/run_options.h"
#include "platform/win32/display/dalk.h"
#include "platform/win32/kernel/profile.h"
#include "platform/win32/sound/mmsystem.h"
#include "shell/app.h"
#include "shell/frame_timer.h"
#include "shell/game_links.h"
#include "shell/idle.h"
#include "shell/mouse_state.h"
#include "shell/screen_module.h"
#include "shell/sound_switches.h"
#include "shell/winmain.h"
#include "sound/sound_bank.h"
#include "surface/surface_helpers.h"

namespace {

constexpr const char* kSetupFile = ".\\setup.ini";
constexpr const char* kOptionsFile = "..\\options.ini";

int LowWord(uintptr_t value) { return static_cast<int>(value & 0xFFFF); }
int HighWord(uintptr_t value) { return static_cast<int>((value >> 16) & 0xFFFF); }

// "Y" or "N" by the first character only: the value is read into two bytes.
int ReadSwitch(const char* key) {
  char value[2];
  GetPrivateProfileString("setup", key, "Y", value, sizeof(value), kOptionsFile);
  return value[0] == 'Y' ? 1 : 0;
}

int ReadFullScreenSetting() {
  char value[32];
  GetPrivateProfileString("setup", "fullscreen", "0", value, sizeof(value), kSetupFile);
  return std::atoi(value);
}

// F11 or Alt+Return switched the window: the next start opens it the same way.
void RememberFullScreen(int fullScreen) {
  FullScreen = fullScreen;
  WritePrivateProfileString("setup", "fullscreen", fullScreen ? "1" : "0", kSetupFile);
}

// Releases everything in the reverse order of the start-up, then asks the loop to quit.
void OnDestroy() {
  StopFrameTimer();
  TheModuleManager.CloseAll();
  TheMouseState.Release();
  EndGameRound();
  DalkAcquireMouse(0);
  DalkFreeFont();
  DalkFreeDirectInput();
  DalkOnFullScreenSwitch(nullptr);
  DalkFreeDirectX();
  SoundBank::Exit();
  mciSendString("close music", nullptr, 0, nullptr);
  AppActive = 0;
  // The display is gone: nothing may draw on its surfaces or destroy the window again.
  BackSurface = nullptr;
  DirectDrawObject = nullptr;
  MainWindow = nullptr;
  PostQuitMessage(0);
}

void OnMaximise(LPARAM lParam) {
  int width = LowWord(lParam), height = HighWord(lParam);
  int offsetX = width / 2 - 399, offsetY = height / 2 - 300;
  DalkSetWindowXY(offsetX, offsetY);
  MouseOffsetX = offsetX;
  MouseOffsetY = offsetY - GetSystemMetrics(SM_CYSIZEFRAME) - GetSystemMetrics(SM_CYSMCAPTION);
}

void OnActivate(HWND window, WPARAM wParam) {
  switch (LowWord(wParam)) {
    case WA_INACTIVE:
      DalkAcquireMouse(0);
      AppActive = 0;
      break;
    case WA_ACTIVE:
      DalkAcquireMouse(1);
      AppActive = 1;
      SetFocus(window);
      break;
    default:
      break;
  }
}

bool CreateMainWindow(HINSTANCE instance) {
  WNDCLASS windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = MainWndProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "DirectX Class";
  if (!RegisterClass(&windowClass)) return false;

  int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  if (FullScreen) {
    MainWindow = CreateWindowEx(0, "DirectX Class", ProductName, WS_VISIBLE, 0, 0, screenWidth,
                                screenHeight, nullptr, nullptr, instance, nullptr);
  } else {
    MainWindow = CreateWindowEx(0, "DirectX Class", ProductName,
                                WS_VISIBLE | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
                                screenWidth / 2 - 400, screenHeight / 2 - 300, 800, 600, nullptr,
                                nullptr, instance, nullptr);
  }
  if (!MainWindow) return false;
  ShowWindow(MainWindow, SW_SHOWNORMAL);
  UpdateWindow(MainWindow);
  ScreenWidth = 800;
  ScreenHeight = 600;
  return true;
}

bool StartDisplay() {
  if (FullScreen) {
    if (!DalkInitDirectX(MainWindow, 800, 600, 16)) return false;
    DalkSetViewport(0, 0, 800, 600);
  } else {
    if (!DalkInitDirectX(MainWindow, ScreenWidth, ScreenHeight)) {
      DalkPrintError();
      return false;
    }
    DalkSetViewport(0, 0, ScreenWidth, ScreenHeight);
  }
  return true;
}

void SetUpMouse() {
  TheMouseState.Init(nullptr);
  TheMouseState.SelectCursor(0);
  TheMouseState.HideCursor();
  TheMouseState.SetFlipping(FullScreen != 0);
  POINT point;
  GetCursorPos(&point);
  TheMouseState.MoveTo(point.x, point.y);
}

void SetUpModules(const char* commandLine) {
  TheModuleManager.Attach(DirectDrawObject, BackSurface);
  TheModuleManager.AddModule(StartupModule());
  std::strncpy(CommandLine, commandLine ? commandLine : "", sizeof(CommandLine) - 1);
  CommandLine[sizeof(CommandLine) - 1] = '\0';
  TheModuleManager.SelectModule("balloon");
}

int RunFrameLoop() {
  for (;;) {
    if (PumpMessages() == 1) return 0;
    if (BackSurface) {
      void* dc = nullptr;
      if (BackSurface->GetDC(&dc) == DD_OK) BackSurface->ReleaseDC(dc);
    }
    const bool pausing = !AppActive && GameFrameWhileInactive && GameFrameWhileInactive();
    if (AppActive || pausing) {
      DalkAcquireMouse(AppActive);
      LimitFrameRate(100);
      if (TheModuleManager.RunFrame(AppActive) == QuitCode) {
        // A dialog may already have seen the window go; destroy it only once.
        if (MainWindow) DestroyWindow(MainWindow);
        return 0;
      }
      IdleWhileUnchanged();
    } else {
      DalkAcquireMouse(0);
    }
  }
}

}  // namespace

int WinMain(HINSTANCE instance, HINSTANCE, char* commandLine, int) {
  if (GetPlatformOptions().scores) return PrintHallOfFame(stdout) ? 0 : 1;
  ResetShellState();
  DirectDraw* directDraw = nullptr;
  if (DirectDrawCreate(nullptr, &directDraw, nullptr) != DD_OK || !directDraw) {
    MessageBox(nullptr, "DirectX not installed. Program needs DirectX 7.0a or higher to run",
               nullptr, MB_ICONERROR);
    return 0;
  }
  // Every display object here has the version-7 interface; the check ends with the release.
  directDraw->Release();
  ReadFirstScreenAhead();
  if (!CheckStartupData()) return 1;

  AppInstance = instance;
  DalkSetInstance(instance);
  FullScreen = ReadFullScreenSetting();
  if (!CreateMainWindow(instance)) return 1;
  DalkDebugEnable(0);
  if (!StartDisplay()) return 1;
  DalkOnFullScreenSwitch(RememberFullScreen);

  DirectDrawObject = DalkGetLPDD();
  Surface* front = nullptr;
  DalkGetDDInfo(&front, &BackSurface);
  if (BackSurface) FillSurface(BackSurface, 0);
  DalkSetInstance(instance);
  DalkInitMouse();
  StartFrameTimer();

  SoundBank::Init(MainWindow, 200);
  StartSoundSwitches(ReadSwitch("music"), ReadSwitch("SFX"));

  SetUpMouse();
  DalkAcquireMouse(1);
  SeedGameRandom(PlatformSeedTime());
  DalkInitFont(MainWindow);
  SetUpModules(commandLine);
  DalkInitKeyboard();
  return RunFrameLoop();
}

LRESULT MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TheModuleManager.HandleMessage(window, message, wParam, lParam);
  switch (message) {
    case WM_DESTROY:
      OnDestroy();
      break;
    case WM_MOVE:
      if (MainWindow) {
        POINT origin;
        ClientToScreen(window, &origin);
        DalkSetWindowXY(origin.x, origin.y);
      }
      break;
    case WM_SIZE:
      if (wParam == SIZE_MAXIMIZED) {
        OnMaximise(lParam);
      } else if (wParam == SIZE_RESTORED) {
        MouseOffsetX = 0;
        MouseOffsetY = 0;
      }
      break;
    case WM_ACTIVATE:
      OnActivate(window, wParam);
      break;
    case WM_ACTIVATEAPP:
      AppActive = wParam != 0 ? 1 : 0;
      break;
    case WM_CLOSE:
      DestroyWindow(window);
      break;
    case WM_KEYUP:
      if (GameKeyUp && GameKeyUp(static_cast<int>(wParam))) break;
      if (wParam == static_cast<WPARAM>(VK_ESCAPE)) PostMessage(window, WM_CLOSE, 0, 0);
      if (wParam == static_cast<WPARAM>(VK_F1)) ShowFrameRate = 1 - ShowFrameRate;
      if (wParam == static_cast<WPARAM>('M')) ToggleMusic();
      if (wParam == static_cast<WPARAM>('S')) ToggleEffects();
      break;
    case WM_SYSCOMMAND:
      // Alt alone must not open a system menu over the game.
      if ((wParam & 0xFFF0) == SC_KEYMENU) return 0;
      break;
    case WM_MOUSEMOVE:
      if (AppActive)
        TheMouseState.MoveTo(LowWord(lParam) - MouseOffsetX, HighWord(lParam) - MouseOffsetY);
      break;
    case MM_MCINOTIFY:
      MusicEnded();
      break;
    default:
      break;
  }
  return DefWindowProc(window, message, wParam, lParam);
}
