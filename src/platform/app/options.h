// Reading our options (the harness and its tests).
#pragma once

#include <string>

#include "platform/runtime/run_options.h"

extern const char* kPlatformUsage;

// false with a message for an option that cannot be used.
bool ParsePlatformOptions(int argc, char** argv, PlatformOptions* options, bool* help,
                          std::string* error);
