// The game registers one function that describes its state as a JSON object; the script's
// "dump FILE", --dump-at-exit and a replay's checks read what it returns.
#pragma once

#include <functional>
#include <string>

void RegisterStateDump(std::function<std::string()> dump);
// "{}" while nothing is registered.
std::string CurrentStateDump();
