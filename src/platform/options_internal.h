// Reading our options (the harness and its tests).
#pragma once

#include <string>

#include "platform/harness.h"

extern const char* kPlatformUsage;

// false with a message for an option that cannot be used.
bool ParsePlatformOptions(int argc, char** argv, PlatformOptions* options, bool* help,
                          std::string* error);
