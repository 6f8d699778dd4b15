// Windows: the data in "game" beside the program, the player's files in
// %APPDATA%\Zorbit\game (options.ini in %APPDATA%\Zorbit).
#include "platform/files/install_folders.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "platform/files/host_text_windows.h"

namespace {

std::string ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::string() : Narrow(path.substr(0, slash));
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string DataFolderBesideProgram() {
  const std::string program = ProgramFolder();
  if (program.empty()) return {};
  const std::string data = program + "\\game";
  return IsFolder(data) ? data : std::string();
}

std::string PlayerFolder() {
  PWSTR roaming = nullptr;
  std::string base;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &roaming)))
    base = Narrow(roaming);
  CoTaskMemFree(roaming);
  return base.empty() ? std::string() : base + "\\Zorbit\\game";
}
