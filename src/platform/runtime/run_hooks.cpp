#include "platform/runtime/run_hooks.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Written before main, read afterwards: the threads that read it start later.
RunHooks hooks;

}  // namespace

void InstallRunHooks(const RunHooks& installed) { hooks = installed; }

void RunNextStep() {
  if (hooks.nextStep) hooks.nextStep();
}

void RunAfterPresent() {
  if (hooks.afterPresent) hooks.afterPresent();
}

void RunBeforeTeardown() {
  if (hooks.beforeTeardown) hooks.beforeTeardown();
}

float RunFrameRate(float live) { return hooks.frameRate ? hooks.frameRate(live) : live; }

void RunSetting(const char* file, const char* section, const char* key, std::string* value) {
  if (hooks.setting) hooks.setting(file, section, key, value);
}

const std::string& RunHallOfFameSandbox() {
  static const std::string none;
  return hooks.hallOfFameSandbox ? hooks.hallOfFameSandbox() : none;
}

void RunDisplayLost() {
  if (hooks.displayLost) hooks.displayLost();
  // Nobody to end the run: at least nothing touches the dead connection again.
  std::fflush(nullptr);
  std::_Exit(1);
}
