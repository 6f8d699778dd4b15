#include "platform/files/install_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#ifndef ZORBIT_DATA_FROM_PROGRAM
#define ZORBIT_DATA_FROM_PROGRAM "../share/zorbit"
#endif

namespace fs = std::filesystem;

namespace {

std::string ProgramFolder() {
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : self.parent_path().string();
}

bool IsFolder(const fs::path& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

// An environment value as a folder: the base directory rules ignore empty and relative ones.
std::string AbsoluteFromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value && value[0] == '/' ? std::string(value) : std::string();
}

std::string HomeFolder() {
  std::string home = AbsoluteFromEnvironment("HOME");
  if (!home.empty()) return home;
  const passwd* entry = ::getpwuid(::getuid());
  return entry && entry->pw_dir && entry->pw_dir[0] == '/' ? std::string(entry->pw_dir)
                                                          : std::string();
}

}  // namespace

std::string DataFolderBesideProgram() {
  const std::string program = ProgramFolder();
  if (program.empty()) return {};
  for (const fs::path& candidate :
       {fs::path(program) / ZORBIT_DATA_FROM_PROGRAM, fs::path(program) / "game"}) {
    if (IsFolder(candidate)) return candidate.lexically_normal().string();
  }
  return {};
}

std::string PlayerFolder() {
  std::string base = AbsoluteFromEnvironment("XDG_DATA_HOME");
  if (base.empty()) {
    const std::string home = HomeFolder();
    if (home.empty()) return {};
    base = home + "/.local/share";
  }
  return base + "/zorbit/game";
}
