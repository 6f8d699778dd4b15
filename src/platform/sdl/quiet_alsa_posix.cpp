#include "platform/sdl/quiet_alsa.h"

#include <dlfcn.h>

namespace {

// Looked up rather than linked: SDL brings ALSA in, when it does.
using AlsaErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
using SetAlsaErrorHandler = int (*)(AlsaErrorHandler);

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

QuietAlsa::QuietAlsa() : set_(dlsym(RTLD_DEFAULT, "snd_lib_error_set_handler")) {
  if (set_) reinterpret_cast<SetAlsaErrorHandler>(set_)(IgnoreAlsaError);
}

QuietAlsa::~QuietAlsa() {
  if (set_) reinterpret_cast<SetAlsaErrorHandler>(set_)(nullptr);  // ALSA's own reporter again
}
