// The process-wide globals, the window title and the debug log.
#include <cstdarg>
#include <cstdio>
#include <memory>

#include "platform/files/paths.h"
#include "shell/app.h"

HINSTANCE AppInstance = nullptr;
HWND MainWindow = nullptr;
int FullScreen = 0;
int AppActive = 0;
int ShowFrameRate = 0;
int MouseOffsetX = 0, MouseOffsetY = 0;
int ScreenWidth = 800, ScreenHeight = 600;
DirectDraw* DirectDrawObject = nullptr;
Surface* BackSurface = nullptr;
char CommandLine[kCommandLineSize] = {};
float FramesPerSecond = 100.0f;
int (*GameKeyUp)(int virtualKey) = nullptr;

void SetWindowTitle(const char* text) {
  char title[512];
  std::snprintf(title, sizeof(title), "%s - %s", ProductName, text ? text : "");
  if (MainWindow) SetWindowText(MainWindow, title);
}

namespace {

// The log is kept for debugging builds; nothing switches it on in the game.
constexpr bool kDebugLogEnabled = false;

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};

}  // namespace

void DebugLog(const char* format, ...) {
  if (!kDebugLogEnabled) return;
  static std::unique_ptr<FILE, FileCloser> log;
  if (!log) log.reset(OpenFile("debug.log", "wb+"));
  if (!log) return;
  va_list args;
  va_start(args, format);
  std::vfprintf(log.get(), format, args);
  va_end(args);
  std::fflush(log.get());
}
