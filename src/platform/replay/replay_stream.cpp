#include "platform/replay/replay_stream.h"

#include "platform/files/host_fd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace {

ReplaySource FromFile(int fd) {
  return [fd](char* buffer, size_t size) { return static_cast<long>(::read(fd, buffer, size)); };
}

}  // namespace

ReplayInput::~ReplayInput() {
  reader_.reset();
  if (fd_ >= 0) ::close(fd_);
}

bool ReplayInput::Open(const std::string& hostPath, std::string_view gameVersion,
                       std::string* error) {
  version_ = gameVersion;
  fd_ = OpenFd(hostPath, FdOpen::ReadNoWait);
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) {
    *error = errno == ENOENT ? "there is no such file" : std::strerror(errno);
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    *error = "it is a folder";
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    *error = "it is not a file";
    return false;
  }
  if (static_cast<uint64_t>(st.st_size) > kReplayMaxBytes) {
    *error = "it is larger than any replay can be";
    return false;
  }
  ReplayReader reader(FromFile(fd_), version_);
  if (!reader.ReadHeader(&header_)) {
    *error = reader.Error();
    return false;
  }
  ReplayEvent e;
  while (reader.Next(&e)) {
    if (e.kind == ReplayKind::End) break;
    lastStep_ = e.step;
    lastTick_ = e.tick;
  }
  // Whatever follows an end is a fault too.
  while (reader.Error().empty() && reader.Next(&e)) {
  }
  if (!reader.Error().empty()) {
    *error = reader.Error();
    return false;
  }
  header_.cutOff = !reader.Ended();
  if (!Rewind()) {
    *error = error_;
    return false;
  }
  return true;
}

bool ReplayInput::Rewind() {
  reader_.reset();
  next_.reset();
  if (::lseek(fd_, 0, SEEK_SET) != 0) {
    error_ = std::string("the file cannot be read again (") + std::strerror(errno) + ")";
    return false;
  }
  scratch_ = ReplayLog{};
  reader_ = std::make_unique<ReplayReader>(FromFile(fd_), version_);
  if (!reader_->ReadHeader(&scratch_)) {
    error_ = reader_->Error();
    return false;
  }
  return true;
}

const ReplayEvent* ReplayInput::Peek() {
  if (next_) return &*next_;
  if (!reader_ || !error_.empty()) return nullptr;
  ReplayEvent e;
  if (reader_->Next(&e)) {
    next_ = e;
    return &*next_;
  }
  // Read through once already: a fault now means the file changed while it played.
  if (!reader_->Error().empty()) error_ = "the file changed while it played: " + reader_->Error();
  return nullptr;
}

ReplayOutput::~ReplayOutput() { Close(); }

ReplayOutput::ReplayOutput(ReplayOutput&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), error_(other.error_) {}

ReplayOutput& ReplayOutput::operator=(ReplayOutput&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    error_ = other.error_;
  }
  return *this;
}

void ReplayOutput::Write(std::string_view text) {
  while (fd_ >= 0 && error_ == 0 && !text.empty()) {
    const ssize_t n = ::write(fd_, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error_ = n < 0 ? errno : ENOSPC;
      break;
    }
    text.remove_prefix(static_cast<size_t>(n));
  }
}

int ReplayOutput::Close() {
  if (fd_ >= 0) {
    if (::close(fd_) != 0 && error_ == 0 && errno != EINTR) error_ = errno;
    fd_ = -1;
  }
  return error_;
}

int CreateRecordingFile(const std::string& hostPath) {
  return OpenFd(hostPath, FdOpen::CreateTruncate);
}
