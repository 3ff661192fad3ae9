#include "script/line_source.h"

#include <string_view>

namespace arrivals {

namespace {

// What one read asks the source for.
constexpr std::size_t kReadBytes = std::size_t{64} << 10;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

} // namespace

bool LineReader::Fill() {
  if (status_ != ByteSource::Status::Ok &&
      status_ != ByteSource::Status::Waiting)
    return false;
  // What has been taken out goes first, so the buffer holds one line.
  buffer_.erase(0, pos_);
  pos_ = 0;
  chunk_.resize(kReadBytes);
  std::size_t got = 0;
  status_ = source_.Read(chunk_.data(), chunk_.size(), got);
  buffer_.append(chunk_.data(), got);
  return status_ == ByteSource::Status::Ok;
}

LineReader::Status LineReader::Unfilled() const {
  switch (status_) {
  case ByteSource::Status::Error:
    return Status::Error;
  case ByteSource::Status::Stopped:
    return Status::Stopped;
  case ByteSource::Status::Waiting:
    return Status::Waiting;
  default:
    return Status::End;
  }
}

LineReader::Status LineReader::Next(std::string &line) {
  if (!started_) {
    // The mark is looked for once the first bytes tell: three of them, or
    // fewer that cannot begin it, so that a short first line is not held.
    while (buffer_.size() < kByteOrderMark.size() &&
           kByteOrderMark.starts_with(buffer_) && Fill()) {
    }
    if (status_ == ByteSource::Status::Waiting &&
        buffer_.size() < kByteOrderMark.size() &&
        kByteOrderMark.starts_with(buffer_))
      return Status::Waiting;
    if (std::string_view(buffer_).starts_with(kByteOrderMark)) {
      pos_ = kByteOrderMark.size();
      taken_ = pos_;
    }
    started_ = true;
  }
  for (;;) {
    const auto end = buffer_.find('\n', pos_ + scanned_);
    if (end != std::string::npos) {
      std::size_t length = end - pos_;
      if (length > 0 && buffer_[end - 1] == '\r')
        --length;
      if (length > kMaxLineBytes)
        return Status::TooLong;
      line.assign(buffer_, pos_, length);
      taken_ += end + 1 - pos_;
      pos_ = end + 1;
      scanned_ = 0;
      return Status::Line;
    }
    // A CR may still come before the LF: one byte more than the limit.
    if (buffer_.size() - pos_ > kMaxLineBytes + 1)
      return Status::TooLong;
    scanned_ = buffer_.size() - pos_;
    if (!Fill()) {
      const Status why = Unfilled();
      if (why != Status::End || pos_ == buffer_.size())
        return why;
      // The last line, without a line end: a CR there is part of it.
      if (buffer_.size() - pos_ > kMaxLineBytes)
        return Status::TooLong;
      line.assign(buffer_, pos_);
      taken_ += buffer_.size() - pos_;
      pos_ = buffer_.size();
      scanned_ = 0;
      return Status::Line;
    }
  }
}

} // namespace arrivals
