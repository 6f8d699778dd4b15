// The program's start and end around the game's WinMain, and the harness's hooks.
#include "platform/app/platform_main.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "platform/app/options.h"
#include "platform/audio/audio_device.h"
#include "platform/audio/audio_wav_writer.h"
#include "platform/files/file_replace.h"
#include "platform/files/install_folders.h"
#include "platform/files/paths.h"
#include "platform/harness/script_player.h"
#include "platform/replay/replay_folder.h"
#include "platform/replay/replay_session.h"
#include "platform/runtime/clock.h"
#include "platform/runtime/clock_internal.h"
#include "platform/runtime/host_input.h"
#include "platform/runtime/quit_signals.h"
#include "platform/runtime/run_hooks.h"
#include "platform/runtime/state_dump.h"
#include "platform/runtime/trace.h"
#include "platform/sdl/sdl_video.h"
#include "platform/video/backend.h"
#include "platform/win32/display/picture_read_ahead.h"
#include "platform/win32/display/present_internal.h"
#include "platform/win32/window/input.h"
#include "platform/win32/window/win.h"
#include "platform/win32/window/window_internal.h"

namespace {

PlatformOptions& options = EditPlatformOptions();
std::unique_ptr<ScriptPlayer> player;
bool dumpAtExitWritten = false;
bool dumpAtExitOk = true;
bool runEnded = true;  // between the end of WinMain's run and the next one: nothing is owed

// Game time past --max-ms after which a program that ignores its close is stopped.
constexpr uint32_t kCloseGraceMs = 10000;

std::string CurrentFolder() {
  char buffer[4096];
  return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string(".");
}

std::string Absolute(const std::string& folder, const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  return folder + "/" + path;
}

// 0, or the errno of what failed: a folder opens like a file but reads nothing.
int ReadWhole(const std::string& path, std::string* text) {
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) return errno;
  char block[4096];
  size_t n;
  while ((n = std::fread(block, 1, sizeof block, in)) > 0) text->append(block, n);
  int error = std::ferror(in) ? (errno ? errno : EIO) : 0;
  std::fclose(in);
  return error;
}

// False (with a message) when the dump was asked for and could not be written. Written
// once per run: as the window is destroyed, or at the end when there never was one.
bool WriteDumpAtExit() {
  if (options.dumpAtExit.empty() || dumpAtExitWritten) return dumpAtExitOk;
  dumpAtExitWritten = true;
  int error = ReplaceFile(options.dumpAtExit, CurrentStateDump() + "\n");
  dumpAtExitOk = error == 0;
  if (dumpAtExitOk) return true;
  std::fprintf(stderr, "zorbit: cannot write %s: %s\n", options.dumpAtExit.c_str(),
               FileErrorText(error).c_str());
  return false;
}

// Everything the run was asked to write, put in place. False when any of it was lost.
bool FinishOutputs() {
  bool ok = true;
  if (player) {
    player->Flush();
    ok = !player->OutputFailed();
  }
  ok = WriteDumpAtExit() && ok;
  return AudioOutFinish() && ok;
}

// The end of every run that returns, whichever way WinMain did (the window closed, a quit
// posted, start-up failed): the threads working for the game stop first (the audio thread
// mixes voices that the game's objects own, and those may outlive the run), then
// everything the run owes is written.
int EndRun(int exitCode) {
  runEnded = true;
  EndPictureReadAhead();
  AudioEndOfRun();
  // A run whose screenshots, dumps or sound were lost has not done what it was asked.
  if (!FinishOutputs() && exitCode == 0) exitCode = 1;
  // A replay that drifted from its recording (it said where) did not do what it promised.
  const int replayCode = replay::Finish();
  if (replayCode != 0 && exitCode == 0) exitCode = replayCode;
  return exitCode;
}

// The same for a run that cannot return to its loop: its state is whole but the window
// cannot be closed. Nothing is torn down: the process ends here.
[[noreturn]] void EndRunAtOnce(int exitCode) {
  AudioEndOfRun();
  HarnessBeforeTeardown();
  EndRun(exitCode);
  std::fflush(nullptr);
  std::_Exit(exitCode);
}

void WatchMaxTime(uint32_t limit) {
  ClockAddListener([limit, posted = false](uint32_t now) mutable {
    if (now >= limit && !posted) {
      posted = true;
      QueueHostInput({ReplayKind::Close});  // recorded like any close
    }
    if (now >= limit + kCloseGraceMs) {
      std::fprintf(stderr, "the game did not close %u ms after --max-ms; stopping it\n",
                   kCloseGraceMs);
      EndRunAtOnce(3);
    }
  });
}

// The platform back to its start-of-run state.
void ResetPlatform(bool headless) {
  // A window that WinMain left behind is dropped without WM_DESTROY: the shell has returned.
  replay::Reset();
  ClearQueuedHostInput();
  ClockReset(headless);
  ResetDisplay();
  Video().CloseDisplay();
  ResetWindowsAndMessages();
  input::Reset();
  player.reset();
  dumpAtExitWritten = false;
  dumpAtExitOk = true;
}

// Reads the script before anything starts; a bad line stops the run.
bool LoadScript(std::vector<ScriptEvent>* events) {
  std::string text;
  if (int error = ReadWhole(options.script, &text)) {
    std::fprintf(stderr, "zorbit: cannot read the script %s: %s\n", options.script.c_str(),
                 FileErrorText(error).c_str());
    return false;
  }
  ScriptError error;
  if (!ParseScript(text, events, &error)) {
    std::fprintf(stderr, "zorbit: %s:%d: %s\n", options.script.c_str(), error.line,
                 error.message.c_str());
    return false;
  }
  return true;
}

// Without --data: the data that came with the program, read-only, and the player's own
// folder for everything the game writes. A program with no data beside it (a bare copy)
// keeps using the working folder for both, as --data does.
void UseInstalledFolders() {
  const std::string data = DataFolderBesideProgram();
  const std::string player = PlayerFolder();
  if (!data.empty() && !player.empty()) SetFileFolders(player, data);
}

bool LoadReplay(const std::string& path, ReplayInput* input) {
  std::string error;
  if (!input->Open(path, replay::GameVersion(), &error)) {
    // A fault in the text already names its line; one of the file says what it is.
    if (error.rfind("line ", 0) == 0)
      std::fprintf(stderr, "zorbit: %s: %s\n", path.c_str(), error.c_str());
    else
      std::fprintf(stderr, "zorbit: cannot play the replay %s: %s\n", path.c_str(), error.c_str());
    return false;
  }
  return true;
}

}  // namespace

void HarnessBeforeTeardown() {
  replay::BeforeTeardown();
  if (player) player->Flush();
  WriteDumpAtExit();
}

void HarnessAfterPresent() {
  replay::AfterPresent();
  if (player) player->OnPresent(ClockNowMs());
}

void EndRunDisplayLost() {
  std::fprintf(stderr, "zorbit: the connection to the display was lost; the game ends\n");
  if (!runEnded) EndRunAtOnce(1);
  std::fflush(nullptr);
  std::_Exit(1);  // lost while the window was put away: all was written
}

int PlatformMain(int argc, char** argv, WinMainFunction winMain) {
  // First: the signals are blocked before any thread starts.
  QuitSignalRun quitSignals;
  TraceStep("main");
  bool help = false;
  std::string error;
  if (!ParsePlatformOptions(argc, argv, &options, &help, &error)) {
    std::fprintf(stderr, "zorbit: %s\n%s", error.c_str(), kPlatformUsage);
    return 2;
  }
  if (help) {
    std::fputs(kPlatformUsage, stdout);
    return 0;
  }
  if (options.version) {
    std::printf("zorbit %s\n", ZORBIT_VERSION);
    return 0;
  }
  // Files named on the command line are where the user stood, not in the data folder.
  const std::string startFolder = CurrentFolder();
  options.script = Absolute(startFolder, options.script);
  options.audioOut = Absolute(startFolder, options.audioOut);
  options.dumpAtExit = Absolute(startFolder, options.dumpAtExit);
  options.record = Absolute(startFolder, options.record);
  options.replay = Absolute(startFolder, options.replay);
  // So is the launcher's folder, and it is never cut to fit: that would be another folder.
  options.commandLine = Absolute(startFolder, options.commandLine);
  if (options.commandLine.size() >= 4096) {
    std::fprintf(stderr, "zorbit: the launcher folder is longer than the system allows\n");
    return 2;
  }

  std::vector<ScriptEvent> events;
  if (!options.script.empty() && !LoadScript(&events)) return 2;
  auto recorded = std::make_unique<ReplayInput>();
  if (!options.replay.empty() && !LoadReplay(options.replay, recorded.get())) return 2;
  if (!options.dataDir.empty() && ::chdir(options.dataDir.c_str()) != 0) {
    std::fprintf(stderr, "zorbit: cannot enter the data folder %s\n", options.dataDir.c_str());
    return 2;
  }
  if (options.dataDir.empty()) UseInstalledFolders();

  ResetPlatform(options.headless);
  SetVideoBackend(options.headless ? MakeHeadlessBackend() : MakeSdlBackend());
  if (!options.script.empty()) {
    player = std::make_unique<ScriptPlayer>(std::move(events), startFolder);
    ClockAddListener([](uint32_t now) {
      if (player) player->OnClock(now);
    });
  }
  if (options.maxMs >= 0) WatchMaxTime(static_cast<uint32_t>(options.maxMs));
  if (!options.replay.empty()) {
    if (!replay::BeginPlaying(std::move(recorded), !options.headless)) {
      ResetPlatform(options.headless);
      ClearFileFolders();
      if (::chdir(startFolder.c_str()) != 0) return 2;
      return 2;
    }
  } else if (!options.scores && (!options.record.empty() || !options.headless)) {
    // Every round in the window is kept in replays/; --record also writes where it says.
    replay::BeginRecording(options.record, !options.headless, 0);
  }

  runEnded = false;
  std::vector<char> commandLine(options.commandLine.begin(), options.commandLine.end());
  commandLine.push_back('\0');
  static int instanceTag;
  int exitCode = winMain(&instanceTag, nullptr, commandLine.data(), SW_SHOWNORMAL);

  exitCode = EndRun(exitCode);
  ResetPlatform(options.headless);
  SetVideoBackend(MakeHeadlessBackend());
  ClearFileFolders();
  if (::chdir(startFolder.c_str()) != 0) {
    std::fprintf(stderr, "zorbit: cannot return to %s\n", startFolder.c_str());
  }
  return exitCode;
}
