// Owning handles for SDL objects.
#pragma once

#include <SDL.h>

#include <memory>
#include <mutex>

struct SdlWindowDeleter {
  void operator()(SDL_Window* w) const { SDL_DestroyWindow(w); }
};
struct SdlRendererDeleter {
  void operator()(SDL_Renderer* r) const { SDL_DestroyRenderer(r); }
};
struct SdlTextureDeleter {
  void operator()(SDL_Texture* t) const { SDL_DestroyTexture(t); }
};
using SdlWindow = std::unique_ptr<SDL_Window, SdlWindowDeleter>;
using SdlRenderer = std::unique_ptr<SDL_Renderer, SdlRendererDeleter>;
using SdlTexture = std::unique_ptr<SDL_Texture, SdlTextureDeleter>;

// SDL counts its subsystems' users without a lock of its own, and the audio device is
// opened on a thread of its own: every start and stop of a subsystem holds this.
inline std::mutex& SdlSubsystemLock() {
  static std::mutex lock;
  return lock;
}

// One SDL subsystem held for the object's lifetime.
class SdlSubsystem {
 public:
  explicit SdlSubsystem(Uint32 flags) : flags_(flags), ok_(Init(flags)) {}
  ~SdlSubsystem() {
    std::lock_guard<std::mutex> guard(SdlSubsystemLock());
    if (ok_) SDL_QuitSubSystem(flags_);
  }
  SdlSubsystem(const SdlSubsystem&) = delete;
  SdlSubsystem& operator=(const SdlSubsystem&) = delete;
  bool ok() const { return ok_; }

 private:
  static bool Init(Uint32 flags) {
    std::lock_guard<std::mutex> guard(SdlSubsystemLock());
    return SDL_InitSubSystem(flags) == 0;
  }
  Uint32 flags_;
  bool ok_;
};

// SDL's scan code as a PC (set 1) scan code; 0 for keys the game has no code for.
int SdlToPcScanCode(SDL_Scancode code);
