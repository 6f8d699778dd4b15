// Windows: the launcher is started by the system's own ShellExecuteW, which passes none of
// our handles on. The program is looked for as on other hosts: a file inside the given
// folder, or a game path, with or without ".exe".
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string>

#undef ShellExecute  // ours, the game's call; the system's is ShellExecuteW
#include "platform/files/host_text_windows.h"
#include "platform/files/paths.h"

struct WindowObject;

namespace {

constexpr intptr_t kFileNotFound = 2;
constexpr intptr_t kPathNotFound = 3;
constexpr intptr_t kAccessDenied = 5;

bool IsFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool EndsWithExe(const std::string& name) {
  return name.size() > 4 && CompareStringOrdinal(Widen(name.substr(name.size() - 4)).c_str(), -1,
                                                 L".exe", -1, TRUE) == CSTR_EQUAL;
}

std::string FindProgram(const std::string& file, const std::string& folder) {
  std::string path;
  if (!folder.empty() && file.size() > folder.size() + 1 && file.compare(0, folder.size(), folder) == 0 &&
      file[folder.size()] == '\\')
    path = folder + "\\" + file.substr(folder.size() + 1);
  else
    path = MapPath(file.c_str());
  if (IsFile(path)) return path;
  if (!EndsWithExe(path) && IsFile(path + ".exe")) return path + ".exe";
  return {};
}

}  // namespace

intptr_t ShellExecute(WindowObject*, const char* operation, const char* file, const char* parameters,
                      const char* directory, int) {
  if (!file || !*file) return kFileNotFound;
  if (operation && CompareStringOrdinal(Widen(operation).c_str(), -1, L"open", -1, TRUE) != CSTR_EQUAL)
    return kAccessDenied;
  const std::string folder = directory ? directory : "";
  if (!folder.empty() && !IsFolder(folder)) return kPathNotFound;
  const std::string program = FindProgram(file, folder);
  if (program.empty()) return kFileNotFound;
  const std::wstring wideProgram = Widen(program), wideParameters = Widen(parameters ? parameters : ""),
                     wideFolder = Widen(folder);
  const auto result = reinterpret_cast<intptr_t>(
      ShellExecuteW(nullptr, L"open", wideProgram.c_str(),
                    wideParameters.empty() ? nullptr : wideParameters.c_str(),
                    wideFolder.empty() ? nullptr : wideFolder.c_str(), SW_SHOWNORMAL));
  return result > 32 ? result : (result > 0 ? result : kFileNotFound);
}
