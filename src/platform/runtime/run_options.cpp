#include "platform/runtime/run_options.h"

PlatformOptions& EditPlatformOptions() {
  static PlatformOptions options;
  return options;
}

const PlatformOptions& GetPlatformOptions() { return EditPlatformOptions(); }
