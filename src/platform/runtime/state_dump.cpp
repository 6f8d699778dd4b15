#include "platform/runtime/state_dump.h"

namespace {

std::function<std::string()> stateDump;

}  // namespace

void RegisterStateDump(std::function<std::string()> dump) { stateDump = std::move(dump); }

std::string CurrentStateDump() { return stateDump ? stateDump() : std::string("{}"); }
