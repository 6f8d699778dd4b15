// The video driver behind the Dalk display calls and the window: an SDL window, or nothing
// at all for headless runs. Only the platform sees this interface.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/video/ddraw.h"

class VideoBackend {
 public:
  virtual ~VideoBackend() = default;
  // Opens the picture's window (or pretends to). false when the host refuses.
  virtual bool OpenDisplay(bool fullScreen, int width, int height, const std::string& title) = 0;
  virtual void CloseDisplay() = 0;
  // Puts the picture on the screen; the caller keeps it. `changed` lists the areas where
  // it differs from the picture shown before: nothing else needs to reach the window, and
  // with no area at all nothing does.
  virtual bool Show(const Surface& picture, const std::vector<Rect>& changed) = 0;
  // Turns the host's pending events into input state and window messages.
  virtual void PollEvents() = 0;
  // Idle loops: waits up to ms for a host event.
  virtual void WaitEvents(int ms) = 0;
  // Waits up to ms for a host event and leaves it where it is (the next poll takes it);
  // true when one came. Headless there is nothing to wait for.
  virtual bool WaitForEvent(int) { return false; }
  virtual void SetTitle(const std::string& title) = 0;
  // A plain notice; must not block a headless run.
  virtual void ShowMessage(const char* caption, const char* text) = 0;
  virtual void ScreenSize(int* width, int* height) = 0;
  virtual bool IsHeadless() const = 0;
  // Last host error, for DalkPrintError.
  virtual std::string LastError() const { return {}; }
};

// The player switched between window and full screen on the driver's own keys: whoever
// keeps the choice is told (main thread only; null: nobody).
void SetFullScreenListener(void (*listener)(bool fullScreen));
void NotifyFullScreen(bool fullScreen);

// The null driver: no window at all (video/null_video.cpp); the SDL one is in sdl/.
std::unique_ptr<VideoBackend> MakeHeadlessBackend();

// The active backend (headless until the harness chooses).
VideoBackend& Video();
void SetVideoBackend(std::unique_ptr<VideoBackend> backend);
