// An ini file in memory with the profile functions' rules: case-insensitive section and key
// names, the first section of a name wins, values trimmed and unquoted. Lines it does not
// change are written back exactly as they were read.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class IniDocument {
 public:
  static IniDocument Parse(std::string_view text);

  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  std::vector<std::string> Sections() const;
  std::vector<std::string> Keys(std::string_view section) const;

  // Adds the section and key as needed.
  void Set(std::string_view section, std::string_view key, std::string_view value);
  void RemoveKey(std::string_view section, std::string_view key);
  void RemoveSection(std::string_view section);

  std::string Serialize() const;

 private:
  enum class Kind { Other, Section, Entry };
  struct Line {
    Kind kind = Kind::Other;
    std::string raw;
    std::string name;   // section name, or the entry's key
    std::string value;  // entry value, trimmed and unquoted
  };
  // [begin, end) of the first section of that name: its header and the lines after it.
  bool FindSection(std::string_view section, size_t* begin, size_t* end) const;
  std::vector<Line> lines_;
  std::string eol_ = "\n";
  bool finalEol_ = true;
  bool bom_ = false;
};
