// The profile functions over ini files. Every call reads the file afresh (the files are
// tiny); writes re-read it under a lock and replace it whole through a temporary file and
// a rename.
#include "platform/win32/kernel/profile.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>

#include "platform/files/file_lock.h"
#include "platform/files/file_replace.h"
#include "platform/files/ini_document.h"
#include "platform/files/paths.h"
#include "platform/runtime/run_hooks.h"

namespace {

std::mutex writeLock;

IniDocument Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return IniDocument::Parse("");
  std::ostringstream text;
  text << in.rdbuf();
  return IniDocument::Parse(text.str());
}

// Copies text into buffer cut to size - 1 characters; returns the count copied.
uint32_t CopyOut(const std::string& text, char* buffer, uint32_t size) {
  uint32_t count = static_cast<uint32_t>(std::min<size_t>(text.size(), size - 1));
  std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
  return count;
}

// A list of names, each terminated, the list ended by an extra terminator. When it does not
// fit, it is cut and the count is size - 2, as the original functions report.
uint32_t CopyList(const std::vector<std::string>& names, char* buffer, uint32_t size) {
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  uint32_t used = 0;
  for (const std::string& name : names) {
    if (used + name.size() + 1 > size - 1) {
      uint32_t room = used < size - 2 ? size - 2 - used : 0;
      std::memcpy(buffer + used, name.data(), room);
      buffer[size - 2] = '\0';
      buffer[size - 1] = '\0';
      return size - 2;
    }
    std::memcpy(buffer + used, name.c_str(), name.size() + 1);
    used += static_cast<uint32_t>(name.size()) + 1;
  }
  buffer[used] = '\0';
  if (used == 0 && size > 1) buffer[1] = '\0';
  return used;
}

// Reads, changes and writes back the file under the lock beside it, so that what another
// program wrote there meanwhile is kept. The file may come with the data; the edited copy
// is the player's.
template <typename Change>
bool EditFile(const char* fileName, Change change) {
  std::lock_guard<std::mutex> guard(writeLock);
  const std::string target = MapPathForWrite(fileName);
  FileLock lock;
  if (!lock.Acquire(target, kSharedFileLockWaitMs)) return false;
  IniDocument doc = Load(MapPath(fileName));
  change(doc);
  return ReplaceFile(target, doc.Serialize()) == 0;
}

}  // namespace

uint32_t GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                                 char* buffer, uint32_t size, const char* fileName) {
  if (!buffer || size == 0) return 0;
  IniDocument doc = Load(MapPath(fileName));
  if (!section) return CopyList(doc.Sections(), buffer, size);
  if (!key) return CopyList(doc.Keys(section), buffer, size);
  std::optional<std::string> value = doc.Get(section, key);
  std::string result;
  if (value) {
    result = *value;
  } else {
    result = defaultValue ? defaultValue : "";
    // The original drops trailing blanks of the default.
    while (!result.empty() && result.back() == ' ') result.pop_back();
  }
  // A replay gives back what the recorded run read.
  RunSetting(fileName, section, key, &result);
  return CopyOut(result, buffer, size);
}

uint32_t GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                              const char* fileName) {
  if (!section || !key) return static_cast<uint32_t>(defaultValue);
  std::optional<std::string> value = Load(MapPath(fileName)).Get(section, key);
  if (!value || value->empty()) return static_cast<uint32_t>(defaultValue);
  // atoi's reading without its overflow: clamp to the int range.
  long long number = std::strtoll(value->c_str(), nullptr, 10);
  if (number > INT_MAX) number = INT_MAX;
  if (number < INT_MIN) number = INT_MIN;
  return static_cast<uint32_t>(static_cast<int>(number));
}

int WritePrivateProfileString(const char* section, const char* key, const char* value,
                              const char* fileName) {
  if (!section || !fileName) return 0;
  return EditFile(fileName, [&](IniDocument& doc) {
    if (!key) {
      doc.RemoveSection(section);
    } else if (!value) {
      doc.RemoveKey(section, key);
    } else {
      doc.Set(section, key, value);
    }
  }) ? 1 : 0;
}

int WritePrivateProfileValues(const char* section,
                              const std::vector<std::pair<std::string, std::string>>& values,
                              const char* fileName) {
  if (!section || !fileName) return 0;
  return EditFile(fileName, [&](IniDocument& doc) {
    for (const auto& [key, value] : values) doc.Set(section, key, value);
  }) ? 1 : 0;
}
