// A small tmpfs of the test's own, for what a plain folder cannot show when tests run as
// root: a full disk and a folder that nobody may write. It lives in a mount namespace of
// this test process only, so nothing outside sees it and it goes when the process ends.
// Where mounting is not allowed, ok() is false and the test skips.
#pragma once

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

class ScratchMount {
 public:
  // At a fresh folder of its own, or over the existing folder at.
  explicit ScratchMount(size_t bytes, const std::string& at = "") {
    std::string pattern = (std::filesystem::temp_directory_path() / "zorbit-mnt-XXXXXX").string();
    if (at.empty() && !::mkdtemp(pattern.data())) return;
    folder_ = at.empty() ? pattern : at;
    own_ = at.empty();
    if (::unshare(CLONE_NEWNS) != 0) return;
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return;
    std::string size = "size=" + std::to_string(bytes);
    mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, size.c_str()) == 0;
  }
  ~ScratchMount() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
    if (own_) ::rmdir(folder_.c_str());
  }
  ScratchMount(const ScratchMount&) = delete;
  ScratchMount& operator=(const ScratchMount&) = delete;

  bool ok() const { return mounted_; }
  const std::string& path() const { return folder_; }
  std::string operator/(const std::string& name) const { return folder_ + "/" + name; }

  // Not even root may write there afterwards.
  bool MakeReadOnly() {
    return ::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }
  // Fills what is left of the space with one file, so the next write finds the disk full.
  void FillUp() {
    std::ofstream out(folder_ + "/filler", std::ios::binary);
    std::string block(4096, 'x');
    while (out.write(block.data(), std::streamsize(block.size()))) out.flush();
  }

 private:
  std::string folder_;
  bool mounted_ = false;
  bool own_ = false;
};
