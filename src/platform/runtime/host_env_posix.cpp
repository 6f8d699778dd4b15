#include "platform/runtime/host_env.h"

#include <cstdlib>

bool SetEnvUnlessSet(const char* name, const char* value) {
  return !std::getenv(name) && ::setenv(name, value, 0) == 0;
}

void UnsetEnv(const char* name) { ::unsetenv(name); }
