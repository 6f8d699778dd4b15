// Our port's command-line options; everything else is the game's own command line.
#include "platform/app/options.h"

#include <charconv>
#include <cstring>

namespace {

constexpr size_t kLongestCommandLine = 4096;  // PATH_MAX, with its terminator

bool ReadCount(const char* text, long long high, long long* out) {
  long long value = 0;
  const char* end = text + std::strlen(text);
  auto [stop, ec] = std::from_chars(text, end, value);
  if (ec != std::errc() || stop != end || value < 0 || value > high) return false;
  *out = value;
  return true;
}

}  // namespace

const char* kPlatformUsage =
    "Usage: zorbit [options] [launcher-folder]\n"
    "  --data DIR            start in DIR, the game's data folder\n"
    "  --headless            no window and no audio device; virtual clock\n"
    "  --seed N              seed the random generator with N\n"
    "  --script FILE         timed input (see docs/development.md)\n"
    "  --max-ms N            close the window after N ms of game time\n"
    "                        (headless default 600000)\n"
    "  --audio-out FILE.wav  also write the mixed sound to FILE.wav\n"
    "  --dump-at-exit FILE   write the game's state as JSON at the end\n"
    "  --scores              print the hall of fame and exit\n"
    "  --record FILE         record the run into FILE\n"
    "  --replay FILE         play a recorded run again (--headless: at full speed;\n"
    "                        in the window: space pauses, arrows change the speed)\n"
    "  -V, --version         print the version and exit\n"
    "  -h, --help            this text\n"
    "Without --data the game reads its installed data and keeps the player's files\n"
    "in ${XDG_DATA_HOME:-~/.local/share}/zorbit/game/.\n";

bool ParsePlatformOptions(int argc, char** argv, PlatformOptions* options, bool* help,
                          std::string* error) {
  *options = PlatformOptions{};
  *help = false;
  std::string commandLine;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    // "-" alone and everything after "--" belong to the game's command line.
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      if (!commandLine.empty()) commandLine += ' ';
      commandLine += arg;
      continue;
    }
    auto value = [&](std::string* out) {
      if (i + 1 >= argc) {
        *error = arg + " needs a value";
        return false;
      }
      *out = argv[++i];
      return true;
    };
    // A file that starts with "--" is far more likely a forgotten value: the next option
    // would otherwise be taken as a file name, and that file written.
    auto file = [&](std::string* out) {
      if (!value(out)) return false;
      if (out->rfind("--", 0) == 0) {
        *error = arg + " needs a file name, not the option " + *out;
        return false;
      }
      return true;
    };
    long long number = 0;
    std::string text;
    if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--help" || arg == "-h") {
      *help = true;
    } else if (arg == "--version" || arg == "-V") {
      options->version = true;
    } else if (arg == "--headless") {
      options->headless = true;
    } else if (arg == "--scores") {
      options->scores = true;
    } else if (arg == "--data") {
      if (!file(&options->dataDir)) return false;
    } else if (arg == "--record") {
      if (!file(&options->record)) return false;
    } else if (arg == "--replay") {
      if (!file(&options->replay)) return false;
    } else if (arg == "--script") {
      if (!file(&options->script)) return false;
    } else if (arg == "--audio-out") {
      if (!file(&options->audioOut)) return false;
    } else if (arg == "--dump-at-exit") {
      if (!file(&options->dumpAtExit)) return false;
    } else if (arg == "--seed") {
      if (!value(&text)) return false;
      if (!ReadCount(text.c_str(), 0xFFFFFFFFll, &number)) {
        *error = "--seed takes a whole number from 0 to 4294967295";
        return false;
      }
      options->hasSeed = true;
      options->seed = static_cast<unsigned>(number);
    } else if (arg == "--max-ms") {
      if (!value(&text)) return false;
      if (!ReadCount(text.c_str(), 0x7FFFFFFFll, &number)) {
        *error = "--max-ms takes a whole number of milliseconds";
        return false;
      }
      options->maxMs = static_cast<int>(number);
    } else {
      *error = "unknown option " + arg;
      return false;
    }
  }
  if (!options->replay.empty() && !options->script.empty()) {
    *error = "--replay plays the recorded input; it takes no --script";
    return false;
  }
  if (!options->replay.empty() && !options->record.empty()) {
    *error = "--replay and --record cannot be used together";
    return false;
  }
  // A replay ends where its recording did, however long that was.
  if (options->headless && options->maxMs < 0 && options->replay.empty()) options->maxMs = 600000;
  // It names the launcher's folder: a cut one would name another folder, so it is refused.
  if (commandLine.size() >= kLongestCommandLine) {
    *error = "the launcher folder is longer than the system allows";
    return false;
  }
  options->commandLine = commandLine;
  return true;
}
