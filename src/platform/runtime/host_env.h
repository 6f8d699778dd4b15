// Setting and removing environment variables, on every host.
#pragma once

// Sets name to value unless it is set already; true when this call set it.
bool SetEnvUnlessSet(const char* name, const char* value);
void UnsetEnv(const char* name);
