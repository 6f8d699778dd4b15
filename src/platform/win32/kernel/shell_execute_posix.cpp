// Starting another program: directly (no shell reads the names), with one argument and a
// working folder. A Windows program name ending in ".exe" is also tried without it.
#include <signal.h>
#include <spawn.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/files/paths.h"
#include "platform/win32/window/win.h"

extern char** environ;

namespace {

constexpr intptr_t kFileNotFound = 2;
constexpr intptr_t kPathNotFound = 3;
constexpr intptr_t kAccessDenied = 5;
constexpr intptr_t kStarted = 42;

// Absolute, so that the working folder given to the child does not change what runs.
std::string Absolute(const std::string& path) {
  char* full = ::realpath(path.c_str(), nullptr);
  if (!full) return path;
  std::string result = full;
  std::free(full);
  return result;
}

bool IsExecutableFile(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

// The program to run for a game path, or empty when there is none. A file inside the
// given folder (folder + "\\" + name) keeps the folder as the host wrote it: only the
// separator and the name after it are the game's, so a backslash in the folder's own name
// stays a backslash.
std::string FindProgram(const char* file, const std::string& folder) {
  std::string name = file;
  if (!folder.empty() && name.size() > folder.size() + 1 && name.compare(0, folder.size(), folder) == 0 &&
      name[folder.size()] == '\\') {
    const std::string rest = name.substr(folder.size() + 1);
    std::string path = folder + "/" + MapPath(rest.c_str());
    if (IsExecutableFile(path)) return Absolute(path);
    if (rest.size() > 4 && ::strcasecmp(rest.c_str() + rest.size() - 4, ".exe") == 0) {
      path = folder + "/" + MapPath(rest.substr(0, rest.size() - 4).c_str());
      if (IsExecutableFile(path)) return Absolute(path);
    }
    return {};
  }
  std::string path = MapPath(file);
  if (IsExecutableFile(path)) return Absolute(path);
  if (path.size() > 4 && ::strcasecmp(path.c_str() + path.size() - 4, ".exe") == 0) {
    std::string bare = MapPath(std::string(file).substr(0, std::string(file).size() - 4).c_str());
    if (IsExecutableFile(bare)) return Absolute(bare);
  }
  return {};
}

}  // namespace

intptr_t ShellExecute(HWND, const char* operation, const char* file, const char* parameters,
                      const char* directory, int) {
  if (!file || !*file) return kFileNotFound;
  if (operation && ::strcasecmp(operation, "open") != 0) return kAccessDenied;
  // The folder is the host's own path (from the command line), taken as it stands.
  std::string folder = directory ? directory : "";
  struct stat info;
  if (!folder.empty() && (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)))
    return kPathNotFound;
  std::string program = FindProgram(file, folder);
  if (program.empty()) return kFileNotFound;

  std::vector<std::string> args{program};
  if (parameters && *parameters) args.emplace_back(parameters);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  // Only the standard streams go to the launcher: whatever else we hold open (the music,
  // a file some library opened without close-on-exec) stays ours.
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  // Its own process group: the launcher outlives us and is not hit by our terminal's signals.
  posix_spawnattr_setpgroup(&attributes, 0);
  // The game waits for its quit signals on a thread of its own and blocks them elsewhere;
  // the launcher gets them back as a program normally has them.
  sigset_t none, quit;
  sigemptyset(&none);
  sigemptyset(&quit);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&quit, sig);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &quit);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t child = 0;
  int failed = posix_spawn(&child, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return failed ? kFileNotFound : kStarted;
}
