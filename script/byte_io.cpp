#include "script/byte_io.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#if !defined(__EMSCRIPTEN__)
#include <poll.h>
#endif
#include <sys/stat.h>
#include <unistd.h>

#include "script/output_files.h"
#include "script/stop_signal.h"

namespace arrivals {

namespace {

// Lines are written in blocks of about this many bytes.
constexpr std::size_t kBlockBytes = std::size_t{64} << 10;

} // namespace

ByteSource::Status FdSource::Read(char *data, std::size_t capacity,
                                  std::size_t &got) {
  got = 0;
  for (;;) {
    if (StopRequested())
      return Status::Stopped;
#if !defined(__EMSCRIPTEN__)
    // Wait for the input or a stop signal, whichever comes first: the wake
    // descriptor closes the gap between looking at the flag and reading.
    // (WebAssembly has no signals, and its descriptors cannot be polled.)
    pollfd fds[2] = {{fd_, POLLIN, 0}, {StopWakeDescriptor(), POLLIN, 0}};
    const nfds_t count = fds[1].fd >= 0 ? 2 : 1;
    if (::poll(fds, count, -1) < 0 && errno != EINTR) {
      error_ = errno;
      return Status::Error;
    }
    if (StopRequested())
      return Status::Stopped;
    if (fds[0].revents == 0)
      continue;
#endif
    const auto n = ::read(fd_, data, capacity);
    if (n > 0) {
      got = static_cast<std::size_t>(n);
      return Status::Ok;
    }
    if (n == 0)
      return Status::End;
    if (errno == EINTR || errno == EAGAIN)
      continue;
    error_ = errno;
    return Status::Error;
  }
}

std::string FdSource::ErrorText() const { return std::strerror(error_); }

void FdSink::Write(std::string_view bytes) {
  if (error_ != 0)
    return;
  buffer_.append(bytes);
  if (flushEachWrite_ || buffer_.size() >= kBlockBytes)
    Flush();
}

void FdSink::FlushEachWriteUnlessRegularFile() {
  struct stat st = {};
  flushEachWrite_ = ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode);
}

bool FdSink::Flush() {
  std::string_view rest = buffer_;
  while (error_ == 0 && !rest.empty()) {
    const auto n = ::write(fd_, rest.data(), rest.size());
    if (n >= 0)
      rest.remove_prefix(static_cast<std::size_t>(n));
    else if (errno != EINTR)
      error_ = errno;
  }
  if (error_ == EPIPE)
    NoteBrokenPipe(); // may stop the run, to die of SIGPIPE once flushed
  if (error_ != 0) {
    // A line torn by the failure is taken back out of a regular file.
    const std::string_view written(buffer_.data(),
                                   buffer_.size() - rest.size());
    const auto lastEnd = written.rfind('\n');
    const std::size_t torn =
        written.size() - (lastEnd == std::string_view::npos ? 0 : lastEnd + 1);
    struct stat st = {};
    if (torn > 0 && ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode)) {
      const off_t end = ::lseek(fd_, 0, SEEK_CUR);
      if (end >= static_cast<off_t>(torn)) [[maybe_unused]]
        const int cut = ::ftruncate(fd_, end - static_cast<off_t>(torn));
    }
  }
  buffer_.clear();
  return error_ == 0;
}

std::string FdSink::ErrorText() const {
  return "cannot write " + MessageName(name_) + ": " + std::strerror(error_);
}

ByteSource::Status StringSource::Read(char *data, std::size_t capacity,
                                      std::size_t &got) {
  got = std::min(capacity, text_.size() - pos_);
  if (got == 0)
    return Status::End;
  std::memcpy(data, text_.data() + pos_, got);
  pos_ += got;
  return Status::Ok;
}

ByteSource::Status PieceSource::Read(char *data, std::size_t capacity,
                                     std::size_t &got) {
  got = std::min(capacity, pieces_.size() - pos_);
  if (got == 0) {
    pieces_.clear();
    pos_ = 0;
    return closed_ ? Status::End : Status::Waiting;
  }
  std::memcpy(data, pieces_.data() + pos_, got);
  pos_ += got;
  return Status::Ok;
}

} // namespace arrivals
