#include "script/output_files.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "script/script_text.h"

namespace arrivals {

namespace {

std::string CannotWrite(const std::string &name, std::string_view why) {
  return "cannot write " + MessageName(name) + ": " + std::string(why);
}

// The file a regular-file descriptor or name stands for, after symlinks.
// A file not made yet is its folder's device and inode with its name.
struct Identity {
  dev_t dev = 0;
  ino_t ino = 0;
  bool regular = false;
  std::string name; // only for a file not made yet
};

Identity IdentityOf(const struct stat &st) {
  return {st.st_dev, st.st_ino, S_ISREG(st.st_mode), {}};
}

bool operator==(const Identity &a, const Identity &b) {
  return a.regular && b.regular && a.dev == b.dev && a.ino == b.ino &&
         a.name == b.name;
}

std::string FolderOf(const std::string &path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file `path` names once every symlink on its last component is
// followed (the link target need not exist yet). False, with errno ELOOP,
// when the links go round.
bool FollowLinks(std::string &path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st = {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
      return true; // what cannot be looked at fails where it is used
    std::string target(static_cast<std::size_t>(PATH_MAX), '\0');
    const auto n = ::readlink(path.c_str(), target.data(), target.size());
    if (n <= 0)
      return true;
    target.resize(static_cast<std::size_t>(n));
    if (target.front() != '/')
      target.insert(0, FolderOf(path).append("/"));
    path = std::move(target);
  }
  errno = ELOOP;
  return false;
}

// What a file saved whole later will be: the file itself when it exists,
// else its name in the folder it will be made in (known by the folder's
// identity, however the name is spelt). False with errno set when the name
// cannot be resolved (a symlink loop, a missing folder).
bool WillBe(const std::string &path, Identity &id) {
  struct stat st = {};
  if (::stat(path.c_str(), &st) == 0) {
    id = IdentityOf(st);
    return true;
  }
  std::string target = path;
  if (errno != ENOENT || !FollowLinks(target))
    return false;
  if (::stat(FolderOf(target).c_str(), &st) != 0)
    return false;
  if (!S_ISDIR(st.st_mode)) {
    errno = ENOTDIR;
    return false;
  }
  const auto slash = target.rfind('/');
  id = {st.st_dev, st.st_ino, true,
        slash == std::string::npos ? target : target.substr(slash + 1)};
  return true;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const auto n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

} // namespace

std::string MessageName(std::string_view name) {
  return name.empty() ? std::string("''") : Escaped(name);
}

OutputFiles::~OutputFiles() {
  for (const Entry &entry : entries_)
    if (entry.kind == Kind::Streamed && entry.fd >= 0)
      ::close(entry.fd);
}

void OutputFiles::ReadsFrom(int fd, std::string name) {
  entries_.push_back({Kind::Input, std::move(name), fd, {}});
}

void OutputFiles::AlreadyOpen(int fd, std::string name) {
  entries_.push_back({Kind::Open, std::move(name), fd, {}});
}

std::size_t OutputFiles::Streamed(std::string path) {
  entries_.push_back({Kind::Streamed, std::move(path), -1, {}});
  return entries_.size() - 1;
}

void OutputFiles::SavedWhole(std::string path) {
  entries_.push_back({Kind::Whole, std::move(path), -1, {}});
}

bool OutputFiles::Fail(std::string why) {
  error_ = std::move(why);
  for (Entry &entry : entries_) {
    if (entry.kind != Kind::Streamed || entry.fd < 0)
      continue;
    ::close(entry.fd);
    entry.fd = -1;
    if (!entry.created.empty())
      ::unlink(entry.created.c_str());
    entry.created.clear();
  }
  return false;
}

bool OutputFiles::OpenStreamed(Entry &entry) {
  // Created only when it does not exist, and not emptied yet, so that a
  // later failure can undo everything.
  if (entry.name.empty()) {
    errno = ENOENT;
    return false;
  }
  const char *path = entry.name.c_str();
  entry.fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (entry.fd >= 0) {
    entry.created = entry.name;
    return true;
  }
  if (errno == EEXIST)
    entry.fd = ::open(path, O_WRONLY | O_CLOEXEC);
  if (entry.fd < 0 && errno == ENOENT) {
    // A symlink to no file yet: the file made is the one it points to.
    std::string target = entry.name;
    if (!FollowLinks(target))
      return false;
    entry.fd =
        ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (entry.fd >= 0)
      entry.created = target;
  }
  return entry.fd >= 0;
}

std::string OutputFiles::FindSame() {
  // What each entry stands for: regular files only are compared.
  std::vector<Identity> ids(entries_.size());
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const Entry &entry = entries_[i];
    struct stat st = {};
    if (entry.kind == Kind::Whole) {
      if (!WillBe(entry.name, ids[i]))
        return CannotWrite(entry.name, std::strerror(errno));
    } else if (::fstat(entry.fd, &st) == 0) {
      ids[i] = IdentityOf(st);
    }
  }
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      const Entry &a = entries_[i];
      const Entry &b = entries_[j];
      if (!(ids[i] == ids[j]) ||
          (a.kind == Kind::Input && b.kind == Kind::Input))
        continue;
      const Entry &output = a.kind == Kind::Input ? b : a;
      const Entry &other = a.kind == Kind::Input ? a : b;
      const std::string otherName =
          other.kind == Kind::Input && other.fd != 0
              ? "the script " + MessageName(other.name)
              : MessageName(other.name);
      return "cannot write " + MessageName(output.name) +
             ": the same file as " + otherName;
    }
  }
  return {};
}

bool OutputFiles::Open() {
  for (Entry &entry : entries_)
    if (entry.kind == Kind::Streamed && !OpenStreamed(entry))
      return Fail(CannotWrite(entry.name, std::strerror(errno)));
  if (std::string same = FindSame(); !same.empty())
    return Fail(std::move(same));
  // Every output is safe: only now are the old contents given up.
  for (const Entry &entry : entries_) {
    struct stat st = {};
    if (entry.kind == Kind::Streamed && ::fstat(entry.fd, &st) == 0 &&
        S_ISREG(st.st_mode) && ::ftruncate(entry.fd, 0) != 0)
      return Fail(CannotWrite(entry.name, std::strerror(errno)));
  }
  return true;
}

WholeFile::~WholeFile() {
  if (fd_ >= 0)
    ::close(fd_);
  if (!temp_.empty())
    ::unlink(temp_.c_str());
}

std::string WholeFile::Open(bool wait) {
  if (path_.empty())
    return Failed(ENOENT);
  target_ = path_;
  if (!FollowLinks(target_))
    return Failed(errno);
  struct stat st = {};
  const bool exists = ::stat(target_.c_str(), &st) == 0;
  if (!exists && errno != ENOENT)
    return Failed(errno);
  if (exists && !S_ISREG(st.st_mode)) {
    // Written straight through; without waiting, a FIFO with no reader
    // cannot be opened (ENXIO).
    fd_ =
        ::open(target_.c_str(), O_WRONLY | O_CLOEXEC | (wait ? 0 : O_NONBLOCK));
    return fd_ >= 0 ? std::string() : Failed(errno);
  }
  const auto cut = target_.rfind('/');
  std::string temp =
      cut == std::string::npos
          ? "." + target_
          : target_.substr(0, cut + 1) + "." + target_.substr(cut + 1);
  temp += ".XXXXXX";
  fd_ = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd_ < 0)
    return Failed(errno);
  temp_ = std::move(temp);
  // The new file gets the old one's permissions, or those a new file gets.
  mode_t mode = 0;
  if (exists) {
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  if (::fchmod(fd_, mode) != 0)
    return Failed(errno);
  return {};
}

std::string WholeFile::Failed(int error) {
  error_ = error;
  return CannotWrite(path_, std::strerror(error));
}

std::string WholeFile::Commit() {
  bool ok = fd_ >= 0 && (temp_.empty() || ::fsync(fd_) == 0);
  int error = fd_ >= 0 ? errno : EBADF;
  if (fd_ >= 0 && ::close(fd_) != 0 && ok) {
    ok = false;
    error = errno;
  }
  fd_ = -1;
  if (ok && !temp_.empty() && ::rename(temp_.c_str(), target_.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (ok)
    temp_.clear(); // renamed: nothing to remove
  return ok ? std::string() : Failed(error);
}

std::string WriteProblem(const std::string &path) {
  struct stat st = {};
  int error = 0;
  if (path.empty()) {
    error = ENOENT;
  } else if (::stat(path.c_str(), &st) == 0) {
    error = S_ISDIR(st.st_mode)                 ? EISDIR
            : ::access(path.c_str(), W_OK) != 0 ? errno
                                                : 0;
  } else {
    // No such file yet: its folder must let one be made.
    const bool absent = errno == ENOENT;
    if (!absent || ::access(FolderOf(path).c_str(), W_OK | X_OK) != 0)
      error = errno;
  }
  return error == 0 ? std::string() : CannotWrite(path, std::strerror(error));
}

std::string SaveFileWhole(const std::string &path, std::string_view bytes) {
  WholeFile file(path);
  if (std::string why = file.Open(); !why.empty())
    return why;
  if (!WriteAll(file.fd(), bytes))
    return CannotWrite(path, std::strerror(errno));
  return file.Commit();
}

bool SameFile(int fd, const std::string &path) {
  struct stat a = {};
  struct stat b = {};
  return ::fstat(fd, &a) == 0 && ::stat(path.c_str(), &b) == 0 &&
         a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace arrivals
