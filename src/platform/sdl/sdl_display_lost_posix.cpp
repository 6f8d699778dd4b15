// When the X server's connection breaks, Xlib calls its IO error handler, whose default
// calls exit(1) from inside the failing call, on whatever thread made it: the program's
// objects were then destroyed while the audio thread still mixed them (a crash), or the
// video's teardown waited for ever on the dead connection. SDL offers no hook for this, so
// the room installs its own handler, looked up in the Xlib that SDL loaded (the game does
// not link it). The handler never returns into Xlib, which would end the program itself:
// - on the game's thread it ends the run right there, as a quit would but without another
//   call on the connection (the recording and outputs written, the sound stopped);
// - on another thread (the presenting thread, with vsync) it marks the display lost, lets
//   go of the display lock Xlib took before calling it (the game's thread would otherwise
//   wait on it for ever in its next call), and waits for the game's thread, which ends the
//   run at its next look at the window system or in its own failing call.
#include "platform/sdl/sdl_display_lost.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>

#include "platform/runtime/run_hooks.h"

namespace {

using SetIoErrorHandler = XIOErrorHandler (*)(XIOErrorHandler);
using UnlockDisplay = void (*)(Display*);

std::atomic<bool> lost{false};
pthread_t gameThread;
UnlockDisplay unlockDisplay = nullptr;

int OnIoError(Display* display) {
  lost.store(true);
  if (pthread_equal(pthread_self(), gameThread)) RunDisplayLost();
  if (unlockDisplay) unlockDisplay(display);
  for (;;) ::pause();  // the game's thread ends the process
}

}  // namespace

void WatchForLostDisplay() {
  static bool installed = false;
  const char* driver = SDL_GetCurrentVideoDriver();
  if (installed || !driver || SDL_strcmp(driver, "x11") != 0) return;
  // Only the copy already loaded: held for the program's life, as SDL holds it.
  void* x11 = ::dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
  if (!x11) return;
  auto set = reinterpret_cast<SetIoErrorHandler>(::dlsym(x11, "XSetIOErrorHandler"));
  unlockDisplay = reinterpret_cast<UnlockDisplay>(::dlsym(x11, "XUnlockDisplay"));
  if (!set) return;
  gameThread = ::pthread_self();
  set(OnIoError);
  installed = true;
}

bool DisplayLost() { return lost.load(); }
