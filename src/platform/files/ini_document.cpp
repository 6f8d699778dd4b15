#include "platform/files/ini_document.h"

#include <cctype>

namespace {

std::string_view Trim(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  return text.substr(begin, end - begin);
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// A name or value must stay on its line: a line break in it would write a second entry.
std::string_view OneLine(std::string_view text) {
  return text.substr(0, text.find_first_of("\r\n"));
}

std::string Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view text) {
  IniDocument doc;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") {
    doc.bom_ = true;
    text.remove_prefix(3);
  }
  doc.finalEol_ = text.empty() || text.back() == '\n';
  size_t crlf = text.find("\r\n");
  if (crlf != std::string_view::npos && crlf == text.find('\n') - 1) doc.eol_ = "\r\n";
  size_t pos = 0;
  while (pos < text.size()) {
    size_t newline = text.find('\n', pos);
    size_t stop = newline == std::string_view::npos ? text.size() : newline;
    std::string_view raw = text.substr(pos, stop - pos);
    while (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    pos = stop + 1;
    Line line;
    line.raw = std::string(raw);
    std::string_view body = Trim(raw);
    if (!body.empty() && body.front() == '[') {
      size_t close = body.find(']');
      line.kind = Kind::Section;
      line.name = std::string(Trim(body.substr(1, close == std::string_view::npos
                                                      ? std::string_view::npos
                                                      : close - 1)));
    } else if (!body.empty() && body.front() != ';') {
      size_t equals = body.find('=');
      if (equals != std::string_view::npos && equals > 0) {
        line.kind = Kind::Entry;
        line.name = std::string(Trim(body.substr(0, equals)));
        line.value = Unquote(Trim(body.substr(equals + 1)));
      }
    }
    doc.lines_.push_back(std::move(line));
  }
  return doc;
}

bool IniDocument::FindSection(std::string_view section, size_t* begin, size_t* end) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind != Kind::Section || !SameName(lines_[i].name, section)) continue;
    size_t j = i + 1;
    while (j < lines_.size() && lines_[j].kind != Kind::Section) ++j;
    *begin = i;
    *end = j;
    return true;
  }
  return false;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
  size_t begin, end;
  if (!FindSection(section, &begin, &end)) return std::nullopt;
  for (size_t i = begin + 1; i < end; ++i) {
    if (lines_[i].kind == Kind::Entry && SameName(lines_[i].name, key)) return lines_[i].value;
  }
  return std::nullopt;
}

std::vector<std::string> IniDocument::Sections() const {
  std::vector<std::string> names;
  for (const Line& line : lines_) {
    if (line.kind == Kind::Section) names.push_back(line.name);
  }
  return names;
}

std::vector<std::string> IniDocument::Keys(std::string_view section) const {
  std::vector<std::string> names;
  size_t begin, end;
  if (!FindSection(section, &begin, &end)) return names;
  for (size_t i = begin + 1; i < end; ++i) {
    if (lines_[i].kind == Kind::Entry) names.push_back(lines_[i].name);
  }
  return names;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  section = Trim(OneLine(section));
  key = OneLine(key);
  value = OneLine(value);
  Line entry;
  entry.kind = Kind::Entry;
  entry.name = std::string(Trim(key));
  entry.value = std::string(value);
  entry.raw = entry.name + "=" + entry.value;
  size_t begin, end;
  if (!FindSection(section, &begin, &end)) {
    if (!lines_.empty() && !Trim(lines_.back().raw).empty()) lines_.push_back(Line{});
    Line header;
    header.kind = Kind::Section;
    header.name = std::string(section);
    header.raw = "[" + header.name + "]";
    lines_.push_back(std::move(header));
    lines_.push_back(std::move(entry));
    return;
  }
  size_t insertAt = begin + 1;
  for (size_t i = begin + 1; i < end; ++i) {
    if (lines_[i].kind != Kind::Entry) continue;
    if (SameName(lines_[i].name, entry.name)) {
      entry.name = lines_[i].name;  // keep the spelling the file has
      entry.raw = entry.name + "=" + entry.value;
      lines_[i] = std::move(entry);
      return;
    }
    insertAt = i + 1;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(entry));
}

void IniDocument::RemoveKey(std::string_view section, std::string_view key) {
  size_t begin, end;
  if (!FindSection(section, &begin, &end)) return;
  for (size_t i = begin + 1; i < end; ++i) {
    if (lines_[i].kind == Kind::Entry && SameName(lines_[i].name, key)) {
      lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
  }
}

void IniDocument::RemoveSection(std::string_view section) {
  size_t begin, end;
  if (!FindSection(section, &begin, &end)) return;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(begin),
               lines_.begin() + static_cast<std::ptrdiff_t>(end));
}

std::string IniDocument::Serialize() const {
  std::string out = bom_ ? "\xEF\xBB\xBF" : "";
  for (size_t i = 0; i < lines_.size(); ++i) {
    out += lines_[i].raw;
    if (i + 1 < lines_.size() || finalEol_) out += eol_;
  }
  return out;
}
