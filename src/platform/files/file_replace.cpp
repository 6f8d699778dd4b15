// What replacing a file means on every system; the systems' own steps are beside it.
#include "platform/files/file_replace.h"

#include <cerrno>
#include <system_error>

FileReplacement::FileReplacement(const std::string& hostPath) { Open(hostPath); }

FileReplacement::~FileReplacement() { Discard(); }

bool FileReplacement::Fail(int error) {
  if (error_ == 0) error_ = error ? error : EIO;
  return false;
}

int ReplaceFile(const std::string& hostPath, std::string_view contents) {
  FileReplacement file(hostPath);
  if (file.Write(contents.data(), contents.size())) file.Commit();
  return file.Error();
}

std::string FileErrorText(int error) {
  return std::error_code(error, std::generic_category()).message();
}
