#pragma once

// The one way the script language cuts bytes into lines, whatever they come
// from: a descriptor, a string, or pieces that arrive one at a time.

#include <cstddef>
#include <cstdint>
#include <string>

#include "script/byte_io.h"

namespace arrivals {

// The lines of a script: LF ends a line, and a CR right before it is no
// part of the line; a UTF-8 byte-order mark at the very start is skipped.
// A line longer than kMaxLineBytes is refused without reading the rest.
// A line is handed out as soon as its LF has been read: the reader never
// waits for more bytes than the line needs.
class LineReader {
public:
  static constexpr std::size_t kMaxLineBytes = std::size_t{1} << 20;
  // Waiting: the source has no whole line yet (see PieceSource); ask again
  // once more bytes have come.
  enum class Status { Line, End, TooLong, Error, Stopped, Waiting };

  explicit LineReader(ByteSource &source) : source_(source) {}
  // The next line, without its line end.
  Status Next(std::string &line);
  std::string ErrorText() const { return source_.ErrorText(); }
  // Bytes taken so far: the lines handed out with their line ends, and the
  // byte-order mark.
  std::uint64_t taken() const { return taken_; }

private:
  bool Fill(); // false at the end, on an error, a stop or a wait (status_)
  Status Unfilled() const;

  ByteSource &source_;
  std::string buffer_; // the line being read, from pos_
  std::string chunk_;  // one read's bytes
  std::size_t pos_ = 0;
  std::size_t scanned_ = 0; // bytes after pos_ known to hold no LF
  std::uint64_t taken_ = 0;
  bool started_ = false;
  ByteSource::Status status_ = ByteSource::Status::Ok;
};

} // namespace arrivals
