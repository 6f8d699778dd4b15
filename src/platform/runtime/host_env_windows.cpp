#include "platform/runtime/host_env.h"

#include <cstdlib>

// The C runtime's copy, which SDL reads through getenv; an empty value removes the name.
bool SetEnvUnlessSet(const char* name, const char* value) {
  return !std::getenv(name) && ::_putenv_s(name, value) == 0;
}

void UnsetEnv(const char* name) { ::_putenv_s(name, ""); }
