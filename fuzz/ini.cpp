// The ini reader and writer on arbitrary bytes: no crash, no hang, and what is written
// reads back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/files/ini_document.h"

namespace {

// A name the writer keeps as it is: no line break, no brackets, '=' or ';', no outer blanks.
bool PlainName(std::string_view name) {
  if (name.empty() || name.front() == ' ' || name.back() == ' ') return false;
  return name.find_first_of("\r\n\t[]=;\"'") == std::string_view::npos;
}

bool PlainValue(std::string_view value) {
  if (!value.empty() && (value.front() == ' ' || value.back() == ' ')) return false;
  return value.find_first_of("\r\n\t\"'") == std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  // The first three bytes give the lengths of a section, a key and a value to write.
  if (input.size() < 3) return 0;
  size_t sectionLength = static_cast<uint8_t>(input[0]) % 16;
  size_t keyLength = static_cast<uint8_t>(input[1]) % 16;
  size_t valueLength = static_cast<uint8_t>(input[2]) % 32;
  input.remove_prefix(3);
  if (input.size() < sectionLength + keyLength + valueLength) return 0;
  std::string_view section = input.substr(0, sectionLength);
  std::string_view key = input.substr(sectionLength, keyLength);
  std::string_view value = input.substr(sectionLength + keyLength, valueLength);
  std::string_view text = input.substr(sectionLength + keyLength + valueLength);

  IniDocument doc = IniDocument::Parse(text);
  for (const std::string& name : doc.Sections()) {
    for (const std::string& k : doc.Keys(name)) (void)doc.Get(name, k);
  }
  // Writing back what was read loses no section.
  IniDocument again = IniDocument::Parse(doc.Serialize());
  if (again.Sections() != doc.Sections()) std::abort();

  doc.Set(section, key, value);
  IniDocument written = IniDocument::Parse(doc.Serialize());
  if (PlainName(section) && PlainName(key) && PlainValue(value)) {
    auto read = written.Get(section, key);
    if (!read || *read != value) std::abort();
  }
  written.RemoveKey(section, key);
  written.RemoveSection(section);
  (void)written.Serialize();
  return 0;
}
