// The SDL driver: the picture in a window (or full screen), scaled with its aspect kept when
// the window is resized; SDL events become input state and window messages.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/files/paths.h"
#include "platform/runtime/clock.h"
#include "platform/runtime/host_env.h"
#include "platform/runtime/host_input.h"
#include "platform/runtime/run_hooks.h"
#include "platform/runtime/trace.h"
#include "platform/sdl/gamepads.h"
#include "platform/sdl/sdl_display_lost.h"
#include "platform/sdl/sdl_handles.h"
#include "platform/sdl/sdl_notice.h"
#include "platform/sdl/sdl_present.h"
#include "platform/sdl/sdl_video.h"
#include "platform/video/backend.h"
#include "platform/video/letterbox.h"

namespace {

class SdlBackend final : public VideoBackend {
 public:
  bool OpenDisplay(bool fullScreen, int width, int height, const std::string& title) override;
  void CloseDisplay() override;
  bool Show(const Surface& picture, const std::vector<Rect>& changed) override;
  void PollEvents() override;
  void WaitEvents(int ms) override;
  bool WaitForEvent(int ms) override;
  void SetTitle(const std::string& title) override {
    if (window_) SDL_SetWindowTitle(window_.get(), title.c_str());
  }
  void ShowMessage(const char* caption, const char* text) override;
  void ScreenSize(int* width, int* height) override;
  bool IsHeadless() const override { return false; }
  std::string LastError() const override { return error_; }

 private:
  bool EnsureVideo();
  void StartGamepads();
  void Translate(const SDL_Event& event);
  void TranslateWindow(const SDL_WindowEvent& event);
  void TranslateKey(const SDL_KeyboardEvent& event);
  void MouseAt(int x, int y);
  void Repaint();
  bool MakePresenter();
  bool SwitchKey(const SDL_KeyboardEvent& event);
  void SwitchFullScreen();
  void LoadBarShades();

  std::unique_ptr<SdlSubsystem> video_;
  std::unique_ptr<Gamepads> pads_;
  SdlWindow window_;
  std::unique_ptr<Presenter> presenter_;
  int width_ = 800, height_ = 600;
  bool presented_ = false;  // a picture has reached the window
  bool altAlone_ = false;
  SDL_Scancode switchKeyHeld_ = SDL_SCANCODE_UNKNOWN;  // its key-up is the switch's too
  std::string error_;
};

// Sets an environment variable that SDL reads as its video starts, unless the user set it,
// and takes it away again before any program the game starts could inherit it (nothing
// else runs yet to read the environment meanwhile).
class StartupEnv {
 public:
  StartupEnv(const char* name, const char* value)
      : name_(name), set_(SetEnvUnlessSet(name, value)) {}
  ~StartupEnv() {
    if (set_) UnsetEnv(name_);
  }
  StartupEnv(const StartupEnv&) = delete;
  StartupEnv& operator=(const StartupEnv&) = delete;

 private:
  const char* name_;
  bool set_;
};

bool SdlBackend::EnsureVideo() {
  if (video_ && video_->ok()) return true;
  {
    // The game takes no typed text, yet SDL opens an input method for every window program,
    // and libX11 then reads and compiles the locale's whole compose table: a third of SDL's
    // start-up. Naming an empty table leaves it nothing to read.
    StartupEnv quick("XCOMPOSEFILE", "/dev/null");
    // The window's class (X11) and application id (Wayland) name the menu entry, so the
    // desktop shows the entry's name and icon for the window, whatever the program's file
    // is called.
    StartupEnv x11Class("SDL_VIDEO_X11_WMCLASS", ZORBIT_APP_ID);
    StartupEnv waylandId("SDL_VIDEO_WAYLAND_WMCLASS", ZORBIT_APP_ID);
    // The platform waits for the quit signals itself (they are blocked on every other
    // thread), and closes the window for them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    video_ = std::make_unique<SdlSubsystem>(SDL_INIT_VIDEO);
  }
  if (!video_->ok()) {
    error_ = SDL_GetError();
    return false;
  }
  WatchForLostDisplay();
  TraceStep("video started");
  return true;
}

// Controllers are started once the first picture is shown: nobody plays before that, and
// SDL reports the controllers already plugged in as they are found, as it does later ones.
// Without controller support the game is played as before; not a reason to stop.
void SdlBackend::StartGamepads() {
  if (pads_ || !presented_) return;
  pads_ = std::make_unique<Gamepads>();
  TraceStep("game controllers started");
}

// SDL falls back to drivers that show nothing when there is no display; a window no one
// can see is no window (unless asked for by name through SDL_VIDEODRIVER).
bool ShowsNothing() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || SDL_getenv("SDL_VIDEODRIVER")) return false;
  return SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0;
}

bool SdlBackend::OpenDisplay(bool fullScreen, int width, int height, const std::string& title) {
  if (!EnsureVideo()) return false;
  if (ShowsNothing()) {
    error_ = "no display found (is DISPLAY set?); --headless runs without one";
    return false;
  }
  width_ = width;
  height_ = height;
  Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
  int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED, windowW = width, windowH = height;
  if (fullScreen) {
    // Made at the desktop's size from the start: without a window manager to grow it, a
    // small window asked to be full screen would show only part of the picture.
    flags = SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALLOW_HIGHDPI;
    x = y = 0;
    ScreenSize(&windowW, &windowH);
  }
  // Vsync presents through OpenGL, which needs a window made for it (made later, SDL would
  // make the window anew); where there is no GL the window is made as always.
  if (VsyncWanted())
    window_.reset(SDL_CreateWindow(title.c_str(), x, y, windowW, windowH, flags | SDL_WINDOW_OPENGL));
  if (!window_) window_.reset(SDL_CreateWindow(title.c_str(), x, y, windowW, windowH, flags));
  TraceStep("window created");
  if (!window_ || !MakePresenter()) {
    error_ = SDL_GetError();
    CloseDisplay();
    return false;
  }
  SDL_SetWindowMinimumSize(window_.get(), width / 4, height / 4);
  LoadBarShades();
  // The game's own icon, drawn with the menu entry's; a data folder without it keeps SDL's.
  if (SDL_Surface* icon = SDL_LoadBMP(MapPath("icon.bmp").c_str())) {
    SDL_SetWindowIcon(window_.get(), icon);
    SDL_FreeSurface(icon);
  }
  return true;
}

// The cheapest way that works on this window, in the order PresentOrder gives.
bool SdlBackend::MakePresenter() {
  if (VsyncWanted()) {
    presenter_ = MakeVsyncPresenter(window_.get(), width_, height_);
    if (presenter_) {
      TraceStep("presenting through OpenGL with vsync, on a thread of its own");
      return true;
    }
  }
  for (PresentKind kind : PresentOrder()) {
    if (kind == PresentKind::Framebuffer)
      presenter_ = MakeFramebufferPresenter(window_.get(), width_, height_);
    else
      presenter_ = MakeRendererPresenter(window_.get(), width_, height_,
                                         kind == PresentKind::Accelerated);
    if (presenter_) {
      std::string step = std::string("presenting through the ") + PresentName(kind);
      TraceStep(step.c_str());
      return true;
    }
  }
  return false;
}

// The bars beside the picture in a window of another shape show the game's own sky, taken
// from its background; a data folder without one keeps them black.
void SdlBackend::LoadBarShades() {
  SDL_Surface* loaded = SDL_LoadBMP(MapPath("background.bmp").c_str());
  if (!loaded) return;
  SDL_Surface* xrgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB888, 0);
  SDL_FreeSurface(loaded);
  if (!xrgb) return;
  if (xrgb->h == height_ && SDL_LockSurface(xrgb) == 0) {
    presenter_->SetBarShades(BarShades(static_cast<const uint32_t*>(xrgb->pixels), xrgb->w,
                                       xrgb->h, xrgb->pitch / 4));
    SDL_UnlockSurface(xrgb);
  }
  SDL_FreeSurface(xrgb);
}

// F11 and Alt+Return switch between window and full screen at any time; they belong to the
// window, not to the game, so they are neither played nor recorded.
bool SdlBackend::SwitchKey(const SDL_KeyboardEvent& event) {
  const SDL_Scancode key = event.keysym.scancode;
  if (event.type == SDL_KEYUP) {
    if (key != switchKeyHeld_) return false;
    switchKeyHeld_ = SDL_SCANCODE_UNKNOWN;
    return true;
  }
  const bool enter = key == SDL_SCANCODE_RETURN || key == SDL_SCANCODE_KP_ENTER;
  if (key != SDL_SCANCODE_F11 && !(enter && (event.keysym.mod & KMOD_ALT))) return false;
  switchKeyHeld_ = key;
  altAlone_ = false;
  if (!event.repeat) SwitchFullScreen();
  return true;
}

void SdlBackend::SwitchFullScreen() {
  if (!window_) return;
  SDL_Window* window = window_.get();
  const bool toFull = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) == 0;
  if (toFull) {
    // Placed and sized by hand as well: without a window manager nothing else would.
    int w = 0, h = 0;
    ScreenSize(&w, &h);
    SDL_SetWindowPosition(window, 0, 0);
    SDL_SetWindowSize(window, w, h);
    if (SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return;
  } else {
    if (SDL_SetWindowFullscreen(window, 0) != 0) return;
    SDL_SetWindowBordered(window, SDL_TRUE);
    SDL_SetWindowResizable(window, SDL_TRUE);
    SDL_SetWindowSize(window, width_, height_);
    SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  }
  Repaint();
  NotifyFullScreen(toFull);
}

void SdlBackend::CloseDisplay() {
  presenter_.reset();
  window_.reset();
}

bool SdlBackend::Show(const Surface& picture, const std::vector<Rect>& changed) {
  const bool shown = presenter_ && presenter_->Update(picture, changed);
  presented_ = presented_ || (shown && !changed.empty());
  return shown;
}

// The presenter keeps the last picture, so an uncovered or resized window is painted again
// even while the game, inactive, presents nothing.
void SdlBackend::Repaint() {
  if (presenter_) presenter_->Repaint();
}

void SdlBackend::PollEvents() {
  if (!video_ || !video_->ok()) return;
  if (DisplayLost()) RunDisplayLost();
  StartGamepads();
  SDL_Event event;
  while (SDL_PollEvent(&event)) Translate(event);
  if (pads_) pads_->Pump(ClockNowMs());
}

void SdlBackend::WaitEvents(int ms) {
  if (!video_ || !video_->ok()) {
    SDL_Delay(static_cast<Uint32>(ms));
    return;
  }
  if (DisplayLost()) RunDisplayLost();
  SDL_Event event;
  if (SDL_WaitEventTimeout(&event, ms)) Translate(event);
  PollEvents();
}

bool SdlBackend::WaitForEvent(int ms) {
  if (!video_ || !video_->ok()) return false;
  // A held direction repeats by the clock, not by an event: look again in time for it.
  if (pads_ && pads_->DirectionHeld()) ms = std::min(ms, 10);
  return SDL_WaitEventTimeout(nullptr, ms) == 1;
}

void SdlBackend::ShowMessage(const char* caption, const char* text) {
  std::fprintf(stderr, "%s%s%s\n", caption, *caption ? ": " : "", text);
  // Where nothing can be seen, the line above is all: a notice there waits for ever.
  if (!EnsureVideo() || ShowsNothing()) return;
  const char* title = *caption ? caption : "Zorbit";
  if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, text, nullptr) != 0)
    ShowNoticeWindow(title, text);
}

void SdlBackend::ScreenSize(int* width, int* height) {
  *width = 800;
  *height = 600;
  SDL_DisplayMode mode;
  if (EnsureVideo() && SDL_GetDesktopDisplayMode(0, &mode) == 0) {
    *width = mode.w;
    *height = mode.h;
  }
}

// Window coordinates (SDL's logical units) to picture pixels.
void SdlBackend::MouseAt(int x, int y) {
  if (!window_) return;
  int windowW = 0, windowH = 0;
  SDL_GetWindowSize(window_.get(), &windowW, &windowH);
  PictureBox box = FitPicture(windowW, windowH, width_, height_);
  int px = 0, py = 0;
  OutputToPicture(box, x, y, width_, height_, &px, &py);
  DeliverHostInput({ReplayKind::Move, px, py});
}

void SdlBackend::Translate(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      DeliverHostInput({ReplayKind::Close});
      break;
    case SDL_WINDOWEVENT:
      if (window_ && event.window.windowID == SDL_GetWindowID(window_.get()))
        TranslateWindow(event.window);
      break;
    case SDL_MOUSEMOTION:
      MouseAt(event.motion.x, event.motion.y);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (event.button.button != SDL_BUTTON_LEFT && event.button.button != SDL_BUTTON_RIGHT) break;
      MouseAt(event.button.x, event.button.y);
      DeliverHostInput({event.type == SDL_MOUSEBUTTONDOWN ? ReplayKind::Press : ReplayKind::Release,
                        event.button.button == SDL_BUTTON_LEFT ? 0 : 1});
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      if (!SwitchKey(event.key)) TranslateKey(event.key);
      break;
    default:
      if (pads_) pads_->Handle(event);
      break;
  }
}

void SdlBackend::TranslateWindow(const SDL_WindowEvent& event) {
  switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
      DeliverHostInput({ReplayKind::Close});
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      DeliverHostInput({ReplayKind::Activate});
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      DeliverHostInput({ReplayKind::ReleaseAll});  // keys let go elsewhere would otherwise stay held
      DeliverHostInput({ReplayKind::Deactivate});
      break;
    case SDL_WINDOWEVENT_MAXIMIZED:
      // The platform scales the picture into the window itself, so the game must not shift
      // the mouse: these are the sizes for which its centring formula gives offset 0.
      HostPost(WM_SIZE, SIZE_MAXIMIZED, MakeLParam(width_ - 2, height_));
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      HostPost(WM_SIZE, SIZE_MINIMIZED, 0);
      break;
    case SDL_WINDOWEVENT_RESTORED:
      HostPost(WM_SIZE, SIZE_RESTORED, MakeLParam(width_, height_));
      break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      Repaint();
      break;
    case SDL_WINDOWEVENT_MOVED:
      HostPost(WM_MOVE, 0, MakeLParam(event.data1, event.data2));
      break;
    default:
      break;
  }
}

void SdlBackend::TranslateKey(const SDL_KeyboardEvent& event) {
  int scan = SdlToPcScanCode(event.keysym.scancode);
  bool down = event.type == SDL_KEYDOWN;
  bool alt = scan == 56 || scan == 0xB8;
  if (down && !event.repeat) altAlone_ = alt;
  if (scan) DeliverHostInput({down ? ReplayKind::KeyDown : ReplayKind::KeyUp, scan});
  // Alt pressed and let go alone asks for the system menu, as it does on the original system.
  if (!down && alt && altAlone_) HostPost(WM_SYSCOMMAND, SC_KEYMENU, 0);
  if (!down && alt) altAlone_ = false;
}

}  // namespace

std::unique_ptr<VideoBackend> MakeSdlBackend() { return std::make_unique<SdlBackend>(); }
