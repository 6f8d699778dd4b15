// Game paths to host paths: backslashes become slashes, and a component that exists only
// in another letter case is found (the data was named on a case-blind file system).
#include "platform/files/paths.h"
#include "platform/runtime/run_hooks.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <mutex>

namespace {

// Set once at start-up, but the sound threads open files too: read under the lock.
std::mutex foldersLock;
std::string playerRoot, dataRoot;

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

std::string Slashes(const char* gamePath) {
  std::string path = gamePath;
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

// A host path with each component that is missing as written looked up in another case.
std::string FixCase(const std::string& path) {
  if (path.empty() || Exists(path)) return path;
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

// Whether a relative path leads above the folder it starts from at any point.
bool ClimbsOut(const std::string& path) {
  int depth = 0;
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t slash = path.find('/', pos);
    if (slash == std::string::npos) slash = path.size();
    const std::string part = path.substr(pos, slash - pos);
    pos = slash + 1;
    if (part == "..") {
      if (--depth < 0) return true;
    } else if (!part.empty() && part != ".") {
      ++depth;
    }
  }
  return false;
}

struct Folders {
  std::string player, data;
};

Folders CurrentFolders() {
  std::lock_guard<std::mutex> guard(foldersLock);
  return {playerRoot, dataRoot};
}

bool ForReading(const char* mode) {
  return std::strcmp(mode, "r") == 0 || std::strcmp(mode, "rb") == 0;
}

// A replay keeps the hall of fame in a folder of its own: the player's is never written.
bool InSandbox(const std::string& path, std::string* mapped) {
  const std::string& sandbox = RunHallOfFameSandbox();
  if (sandbox.empty()) return false;
  std::string name = path;
  if (name.rfind("./", 0) == 0) name.erase(0, 2);
  if (::strcasecmp(name.c_str(), "hiscore.dat") != 0) return false;
  *mapped = sandbox + "/hiscore.dat";
  return true;
}

}  // namespace

void SetFileFolders(const std::string& playerFolder, const std::string& dataFolder) {
  std::lock_guard<std::mutex> guard(foldersLock);
  playerRoot = playerFolder;
  dataRoot = dataFolder;
}

void ClearFileFolders() { SetFileFolders({}, {}); }

std::string DataFolderForReading() {
  const std::string data = CurrentFolders().data;
  return data.empty() ? "." : data;
}

// What reads and writes map alike: a sandboxed, absolute or folderless path is its own host
// path (true, in *direct); any other comes back in *path for the player and data folders.
static bool MapDirect(const char* gamePath, std::string* path, Folders* folders, std::string* direct) {
  if (!gamePath) return true;
  *path = Slashes(gamePath);
  if (InSandbox(*path, direct)) return true;
  *folders = CurrentFolders();
  if (path->empty() || (*path)[0] == '/' || folders->player.empty()) {
    *direct = FixCase(*path);
    return true;
  }
  return false;
}

std::string MapPath(const char* gamePath) {
  std::string path, direct;
  Folders folders;
  if (MapDirect(gamePath, &path, &folders, &direct)) return direct;
  const std::string mine = FixCase(folders.player + "/" + path);
  if (Exists(mine) || ClimbsOut(path)) return mine;
  const std::string shipped = FixCase(folders.data + "/" + path);
  // A file that is in neither place is about to be made: it will be the player's.
  return Exists(shipped) ? shipped : mine;
}

// The host path a write goes to; made says whether it lies in the player's folder, whose
// folders are ours to make.
static std::string WriteTarget(const char* gamePath, bool* made) {
  std::string path, direct;
  Folders folders;
  *made = false;
  if (MapDirect(gamePath, &path, &folders, &direct)) return direct;
  *made = true;
  return FixCase(folders.player + "/" + path);
}

// 0 or the errno of making the folder that holds target (named in *folder).
static int MakeParentFolders(const std::string& target, std::string* folder) {
  const std::filesystem::path parent = std::filesystem::path(target).parent_path();
  if (folder) {
    *folder = parent.lexically_normal().string();  // "game/.." is said as the folder it is
    if (folder->size() > 1 && folder->back() == '/') folder->pop_back();
  }
  std::error_code error;
  std::filesystem::create_directories(parent, error);
  return error.value();
}

std::string MapPathForWrite(const char* gamePath) {
  bool made = false;
  const std::string target = WriteTarget(gamePath, &made);
  // The write that follows fails on a folder that cannot be made; callers that must say
  // why call MakeFoldersForWrite first.
  if (made) MakeParentFolders(target, nullptr);
  return target;
}

int MakeFoldersForWrite(const char* gamePath, std::string* folder) {
  bool made = false;
  const std::string target = WriteTarget(gamePath, &made);
  return made ? MakeParentFolders(target, folder) : 0;
}

bool InReplaySandbox(const char* gamePath) {
  std::string mapped;
  return gamePath && InSandbox(Slashes(gamePath), &mapped);
}

FILE* OpenFile(const char* gamePath, const char* mode) {
  if (!gamePath || !mode) return nullptr;
  std::string path = ForReading(mode) ? MapPath(gamePath) : MapPathForWrite(gamePath);
  if (path.empty()) return nullptr;
  // Close-on-exec ("e"): a program the game starts must not inherit the game's files.
  return std::fopen(path.c_str(), (std::string(mode) + "e").c_str());
}
