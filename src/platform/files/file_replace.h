// Replacing a file so that anyone reading it, and anything left after a crash, a kill or a
// full disk, sees either the old contents whole or the new contents whole.
//
// The new contents go into a fresh temporary file beside the target, created exclusively
// under a name nobody else can have chosen (a planted link or file is never followed or
// reused), then flushed to disk and renamed over the target. A symlink at the target is
// followed: its destination is replaced and the link stays. An existing file keeps its mode
// and, where the system lets us, its owner. A target that is a device or a pipe (for example
// /dev/stdout) is written in place, since there is no file to replace.
//
// Paths are host paths, already mapped from the game's names.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class FileReplacement {
 public:
  explicit FileReplacement(const std::string& hostPath);
  // Discards the temporary file unless Commit succeeded.
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Appends to the new contents; false once anything has failed.
  bool Write(const void* data, size_t size);
  // Overwrites bytes already written (a header that grows with the data). A pipe cannot
  // go back, so there it does nothing and is no failure.
  bool WriteAt(size_t offset, const void* data, size_t size);
  // Puts the new contents in place. False (the old file untouched) after any failure.
  bool Commit();
  // The errno of the first step that failed; 0 while everything went well.
  int Error() const { return error_; }

 private:
  bool Fail(int error);
  void Open(const std::string& hostPath);
  void Discard();

  std::string target_;  // the file really replaced, links followed
  std::string temp_;    // empty when writing in place
  int fd_ = -1;
  int error_ = 0;
  bool done_ = false;
};

// The whole file in one go: 0 on success, else the errno of the step that failed.
int ReplaceFile(const std::string& hostPath, std::string_view contents);

// Removes the temporary files that a run killed in the middle of replacing hostPath left
// beside it. Files of a process still running are left to it.
void RemoveStaleReplacements(const std::string& hostPath);

// Renames from to to unless something already has that name: 0, or the errno (EEXIST
// when the name is taken).
int RenameNoReplace(const std::string& from, const std::string& to);

// "Read-only file system", "No space left on device", ...: the text for an Error().
std::string FileErrorText(int error);
