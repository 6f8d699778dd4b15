// The wiring of the rooms: before main, the higher rooms are hung into the hooks of the lower
// ones (the timers into the clock, the game's input state into the host-input queue, the
// recording and the script into the run's hooks, SDL's readers and device into the
// interfaces of video and audio). CMake adds this file to every program made of the layer,
// so the tests, tools and fuzz targets run with the same wiring as the game.
#include "platform/app/platform_main.h"
#include "platform/audio/audio_device.h"
#include "platform/replay/replay_session.h"
#include "platform/runtime/clock_internal.h"
#include "platform/runtime/host_input.h"
#include "platform/runtime/run_hooks.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_bmp.h"
#include "platform/video/bitmap.h"
#include "platform/win32/kernel/timer_internal.h"
#include "platform/win32/window/window_internal.h"

namespace {

bool Install() {
  ClockSetTimers(RunDueVirtualTimers, KillAllTimers);
  SetHostInputTarget(ApplyHostInput);
  SetHostInputFilter(replay::FilterHostInput);
  RunHooks hooks;
  hooks.nextStep = replay::NextStep;
  hooks.afterPresent = HarnessAfterPresent;
  hooks.beforeTeardown = HarnessBeforeTeardown;
  hooks.frameRate = replay::FrameRate;
  hooks.setting = replay::Setting;
  hooks.hallOfFameSandbox = replay::HallOfFameSandbox;
  hooks.displayLost = EndRunDisplayLost;
  InstallRunHooks(hooks);
  SetBitmapReader(SdlBitmapReader());
  AudioSetSystemDevice(HostAudio{SdlAudioOpen, SdlAudioStart, SdlAudioClose});
  return true;
}

[[maybe_unused]] const bool installed = Install();

}  // namespace
