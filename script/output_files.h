#pragma once

// The files a user names, kept safe. Every program that writes one goes
// through here:
//
//   OutputFiles outputs;                 // before anything is written
//   outputs.ReadsFrom(0, "standard input");   // the script, if any
//   outputs.AlreadyOpen(1, "standard output");
//   const auto packets = outputs.Streamed(packetsPath);  // written as it goes
//   outputs.SavedWhole(picturePath);                     // saved at the end
//   if (!outputs.Open()) { complain(outputs.error()); return 2; }
//   ... write to outputs.fd(packets) ...
//   const std::string why = SaveFileWhole(picturePath, pngBytes);
//   // or, for a long file written as it goes: WholeFile file(path);
//   // file.Open(); write to file.fd(); file.Commit();
//
// Open() checks every output against the others and against the script
// (same device and inode, after symlinks; a file not made yet is its
// folder's device and inode with its name, however the name is spelt; files
// that are not regular files, such as /dev/null, a FIFO or a terminal, are
// exempt) before it creates or empties any, and a failure leaves every file
// as it was. A name that cannot be resolved (a symlink loop) fails with its
// reason. SaveFileWhole()
// writes through a temporary file beside the target and renames it over the
// target only when complete (WholeFile does the same for a file written as
// it goes). MessageName() shows a file name in a one-line
// message. Standard library and POSIX only.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace arrivals {

// A file name as a message shows it: byte for byte, never cut, with control
// bytes and bytes that are not UTF-8 written as \xHH and a backslash as \\,
// so that the message stays one printable line; an empty name is ''.
std::string MessageName(std::string_view name);

// The outputs of one run, opened together.
class OutputFiles {
public:
  OutputFiles() = default;
  ~OutputFiles(); // closes the descriptors it opened
  OutputFiles(const OutputFiles &) = delete;
  OutputFiles &operator=(const OutputFiles &) = delete;

  // The script being read, open on `fd`: no output may be the same file.
  // `name` is how a message calls it ("standard input", or its file name).
  void ReadsFrom(int fd, std::string name);
  // An output open already, such as standard output: checked, left open.
  void AlreadyOpen(int fd, std::string name);
  // A file written as the run goes (a trace, a recording), by file name.
  // Returns the index that fd() takes once Open() has succeeded.
  std::size_t Streamed(std::string path);
  // A file saved whole later with SaveFileWhole (a picture): only checked.
  void SavedWhole(std::string path);

  // Opens every streamed file, checks that no two outputs and no output and
  // the script are the same file, and only then empties the streamed files
  // that are regular files. On failure returns false with error() set to one
  // line ("cannot write NAME: REASON" or "cannot write NAME: the same file
  // as OTHER"), every file as it was and no file left that it created.
  bool Open();

  // The descriptor of streamed file `index`, open for writing.
  int fd(std::size_t index) const { return entries_[index].fd; }
  // The name given for streamed file `index`.
  const std::string &name(std::size_t index) const {
    return entries_[index].name;
  }
  const std::string &error() const { return error_; }

private:
  enum class Kind { Input, Open, Streamed, Whole };
  struct Entry {
    Kind kind;
    std::string name;
    int fd = -1;
    std::string created; // the file Open() made, removed if it fails
  };
  bool Fail(std::string why);
  static bool OpenStreamed(Entry &entry); // false with errno set
  std::string FindSame(); // why two entries clash or one fails, or empty

  std::vector<Entry> entries_;
  std::string error_;
};

// A file saved whole, written as it goes (a long trace saved from the
// window): Open() makes a temporary file in the folder of the target (of
// the file a symlink points to), the bytes go to fd(), and Commit() renames
// it over the target. Destroyed before a successful Commit(), it removes
// the temporary file and the target stays as it was. A target that exists
// and is not a regular file (/dev/null, a FIFO) is written directly.
// Open() and Commit() return an empty text, or one line "cannot write
// NAME: REASON" (error() then holds the errno). A name whose symlinks go
// round fails with ELOOP and touches nothing.
class WholeFile {
public:
  explicit WholeFile(std::string path) : path_(std::move(path)) {}
  ~WholeFile();
  WholeFile(const WholeFile &) = delete;
  WholeFile &operator=(const WholeFile &) = delete;

  // With `wait` false, a target that is not a regular file is opened
  // without waiting (a FIFO with no reader fails with ENXIO) and its
  // descriptor is left non-blocking, for a writer that must not block.
  std::string Open(bool wait = true);
  int fd() const { return fd_; }
  std::string Commit();
  int error() const { return error_; }

private:
  std::string Failed(int error);

  std::string path_;   // as given, for messages
  std::string target_; // after symlinks
  std::string temp_;   // the temporary file, until it is renamed
  int fd_ = -1;
  int error_ = 0;
};

// Why `path` could not be opened for writing, or an empty text when it
// could, without touching it: an existing file must be writable and no
// folder, a new one needs a folder it can be made in. One line, "cannot
// write NAME: REASON". For a file opened only later (a recording, after its
// script has played).
std::string WriteProblem(const std::string &path);

// Writes `bytes` as the whole new content of `path`: into a temporary file
// in the folder of the target (of the file a symlink points to), renamed
// over the target only once every byte is written, so that a failure leaves
// the old file whole and no temporary file behind. A target that exists and
// is not a regular file (/dev/null, a FIFO) is written directly. Returns an
// empty text on success, else one line "cannot write NAME: REASON".
std::string SaveFileWhole(const std::string &path, std::string_view bytes);

// Whether `path` names the file open on `fd` (the same device and inode).
bool SameFile(int fd, const std::string &path);

} // namespace arrivals
