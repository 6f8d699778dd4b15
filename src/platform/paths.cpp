// Game paths to host paths: backslashes become slashes, and a component that exists only
// in another letter case is found (the data was named on a case-blind file system).
#include "platform/paths.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

namespace {

bool Exists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0;
}

// The entry of folder whose name equals name but for case, or name itself.
std::string MatchCase(const std::string& folder, const std::string& name) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return name;
  std::string found = name;
  while (dirent* entry = ::readdir(dir)) {
    if (::strcasecmp(entry->d_name, name.c_str()) == 0) {
      found = entry->d_name;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

}  // namespace

std::string MapPath(const char* gamePath) {
  if (!gamePath) return {};
  std::string path = gamePath;
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  if (path.empty() || Exists(path)) return path;
  // Walk the components, fixing the case of each one that is missing as written.
  std::string result;
  size_t pos = 0;
  if (path[0] == '/') {
    result = "/";
    pos = 1;
  }
  while (pos <= path.size()) {
    size_t slash = path.find('/', pos);
    if (slash == std::string::npos) slash = path.size();
    std::string part = path.substr(pos, slash - pos);
    pos = slash + 1;
    if (part.empty() || part == "." || part == "..") {
      if (!part.empty()) result += part + (slash < path.size() ? "/" : "");
      continue;
    }
    std::string candidate = result + part;
    if (!Exists(candidate)) candidate = result + MatchCase(result, part);
    result = candidate;
    if (slash < path.size()) result += "/";
  }
  return result;
}

FILE* OpenFile(const char* gamePath, const char* mode) {
  if (!gamePath || !mode) return nullptr;
  std::string path = MapPath(gamePath);
  if (path.empty()) return nullptr;
  return std::fopen(path.c_str(), mode);
}
