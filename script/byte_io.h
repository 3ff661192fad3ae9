#pragma once

// The script language reads and writes bytes through these small interfaces
// instead of iostreams: a browser has no standard input, and a stream read
// can neither be stopped by a signal nor be kept from taking a whole
// over-long line into memory.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace arrivals {

// Where a script comes from.
class ByteSource {
public:
  // Waiting: no byte yet, but more may come (bytes that arrive a piece at a
  // time); the reader asks again later.
  enum class Status { Ok, End, Error, Stopped, Waiting };
  virtual ~ByteSource() = default;
  // Reads at most `capacity` bytes into `data`, at least one with Ok.
  virtual Status Read(char *data, std::size_t capacity, std::size_t &got) = 0;
  // With Error: why, as strerror says it.
  virtual std::string ErrorText() const { return {}; }
};

// Where lines and rows go. Each Write is whole lines (or rows): a sink that
// fails keeps the lines that were whole.
class ByteSink {
public:
  virtual ~ByteSink() = default;
  virtual void Write(std::string_view bytes) = 0;
  // Pushes what is held back out; false once anything failed.
  virtual bool Flush() = 0;
  // Whether a write has failed; the run stops at once when one has.
  virtual bool failed() const { return false; }
  // With failed(): "cannot write NAME: REASON".
  virtual std::string ErrorText() const { return {}; }
};

// A descriptor read with plain read(2). A stop signal ends a read that
// waits (see stop_signal.h) with Stopped.
class FdSource final : public ByteSource {
public:
  explicit FdSource(int fd) : fd_(fd) {}
  Status Read(char *data, std::size_t capacity, std::size_t &got) override;
  std::string ErrorText() const override;

private:
  int fd_;
  int error_ = 0;
};

// A descriptor written in blocks of whole lines. When a write fails, the
// file is cut back to its last whole line (when it is a regular file) and
// nothing more is written.
class FdSink final : public ByteSink {
public:
  // `name` is how a message calls the file ("standard output", a path).
  FdSink(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}
  FdSink(const FdSink &) = delete;
  FdSink &operator=(const FdSink &) = delete;

  void Write(std::string_view bytes) override;
  bool Flush() override;
  bool failed() const override { return error_ != 0; }
  std::string ErrorText() const override;

  // From now on every Write goes out at once when the descriptor is not a
  // regular file (a pipe, a terminal), so that whoever reads it sees each
  // dump when it is printed; a regular file keeps the blocks.
  void FlushEachWriteUnlessRegularFile();

private:
  int fd_;
  std::string name_;
  std::string buffer_;
  int error_ = 0;
  bool flushEachWrite_ = false;
};

// Bytes held in memory, for tests and for front ends without files.
class StringSource final : public ByteSource {
public:
  explicit StringSource(std::string text) : text_(std::move(text)) {}
  Status Read(char *data, std::size_t capacity, std::size_t &got) override;
  std::size_t size() const { return text_.size(); }

private:
  std::string text_;
  std::size_t pos_ = 0;
};

// Bytes that arrive a piece at a time, for a front end that cannot wait
// for them: Read hands out what has come, and says Waiting when nothing has,
// until Close.
class PieceSource final : public ByteSource {
public:
  void Append(std::string_view bytes) { pieces_.append(bytes); }
  void Close() { closed_ = true; }
  Status Read(char *data, std::size_t capacity, std::size_t &got) override;

private:
  std::string pieces_; // what has come and not been read yet, from pos_
  std::size_t pos_ = 0;
  bool closed_ = false;
};

class StringSink final : public ByteSink {
public:
  void Write(std::string_view bytes) override { text_.append(bytes); }
  bool Flush() override { return true; }
  const std::string &str() const { return text_; }
  // What was written since the last Take, taken away.
  std::string Take() { return std::exchange(text_, {}); }

private:
  std::string text_;
};

} // namespace arrivals
