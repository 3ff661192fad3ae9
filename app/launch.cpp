#include "app/launch.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include "script/byte_io.h"
#include "script/output_files.h"
#include "script/script_player.h"
#include "script/script_random.h"
#include "script/script_session.h"
#include "script/session_recorder.h"
#include "script/stop_signal.h"
#include "ui/form.h"
#include "window/main_window.h"

namespace arrivals {

namespace {

// The Mersenne generator, seeded with one fixed seed wherever the form would
// seed it from the clock.
class FixedSeedSource final : public RandomSource {
public:
  explicit FixedSeedSource(std::uint64_t seed) : seed_(seed) {}
  void Randomize() override { engine_.Seed(seed_); }
  double Draw() override { return engine_.Draw(); }

private:
  std::uint64_t seed_;
  MersenneSource engine_;
};

void Complain(const std::string &what) {
  std::fprintf(stderr, "arrivals: %s\n", what.c_str());
}

// The picture is made in memory and saved whole: a failure leaves the old
// file as it was.
std::string SaveScreenshot(MainWindow &window, const std::string &path) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!RenderWindow(window).save(&buffer, "PNG"))
    return "cannot write " + MessageName(path) + ": cannot encode the picture";
  return SaveFileWhole(
      path,
      std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
}

// A recording in a file, each line written as it is completed; a write
// that fails leaves the file ending in its last whole line. The window never
// waits on it: a FIFO with no reader cannot be opened, and what a slow
// reader has not taken yet is held back, up to kHeldBytes; past that the
// recording has failed. A failure is said once, on standard error and to
// whoever listens (the window's notice); the window keeps the session, so
// that it can still be saved from the menu.
class RecordFile final : public RecordSink {
public:
  static constexpr std::size_t kHeldBytes = std::size_t{1} << 20;

  RecordFile(std::string path, int fd, bool own)
      : fd_(fd), own_(own), path_(std::move(path)) {
    struct stat st = {};
    regular_ = ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode);
  }
  ~RecordFile() override {
    if (own_ && fd_ >= 0)
      ::close(fd_);
  }
  RecordFile(const RecordFile &) = delete;
  RecordFile &operator=(const RecordFile &) = delete;

  // Standard output, when that is the file named, is written through the
  // descriptor the program was given: never reopened, never emptied.
  static std::unique_ptr<RecordFile> Open(const std::string &path,
                                          std::string &why) {
    if (SameFile(STDOUT_FILENO, path))
      return std::make_unique<RecordFile>(path, STDOUT_FILENO, false);
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    struct stat st = {};
    if (fd < 0 || (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                   ::ftruncate(fd, 0) != 0)) {
      why = "cannot write " + MessageName(path) + ": " + std::strerror(errno);
      if (fd >= 0)
        ::close(fd);
      return nullptr;
    }
    return std::make_unique<RecordFile>(path, fd, true);
  }

  void Append(std::string_view line) override {
    if (failed())
      return;
    held_.append(line);
    Push();
    if (held_.size() > kHeldBytes)
      Fail("its reader has stopped reading");
  }

  // The recording only grows, so writing it again from the start covers
  // everything that was there; a pipe or a file the program did not open
  // cannot take it again.
  void Rewrite(std::string_view whole) override {
    if (failed())
      return;
    if (!own_ || !regular_ || ::lseek(fd_, 0, SEEK_SET) != 0) {
      Fail(std::strerror(own_ && regular_ ? errno : ESPIPE));
      return;
    }
    torn_ = 0;
    held_.assign(whole);
    Push();
  }

  // At the end: a slow reader is given a few seconds to take the rest.
  void Drain() {
    for (int tries = 0; tries < 50 && !failed() && !held_.empty(); ++tries) {
      pollfd ready = {fd_, POLLOUT, 0};
      ::poll(&ready, 1, 100);
      Push();
    }
    if (!failed() && !held_.empty())
      Fail("its reader has stopped reading");
  }

  bool failed() const { return !why_.empty(); }
  // Whether `path` is this recording, while it is live.
  bool IsLive(const std::string &path) const {
    return !failed() && SameFile(fd_, path);
  }
  void OnFailure(std::function<void(const std::string &)> tell) {
    tell_ = std::move(tell);
  }

private:
  // Writes what the file takes now. A regular file takes everything; a
  // pipe or a terminal is asked first, and written a slice that fits.
  void Push() {
    while (!held_.empty()) {
      std::size_t slice = held_.size();
      if (!regular_) {
        pollfd ready = {fd_, POLLOUT, 0};
        if (::poll(&ready, 1, 0) <= 0 || (ready.revents & POLLOUT) == 0) {
          if ((ready.revents & (POLLERR | POLLHUP)) == 0)
            return;
        }
        slice = std::min<std::size_t>(slice, PIPE_BUF);
      }
      const auto n = ::write(fd_, held_.data(), slice);
      if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return;
      if (n < 0) {
        Fail(std::strerror(errno));
        return;
      }
      const std::string_view written(held_.data(), static_cast<std::size_t>(n));
      const auto end = written.rfind('\n');
      torn_ = end == std::string_view::npos ? torn_ + written.size()
                                            : written.size() - end - 1;
      held_.erase(0, static_cast<std::size_t>(n));
    }
  }

  void Fail(const std::string &reason) {
    // A line torn by the failure is taken back out of a regular file.
    struct stat st = {};
    if (regular_ && torn_ > 0 && ::fstat(fd_, &st) == 0 &&
        st.st_size >= static_cast<off_t>(torn_)) [[maybe_unused]]
      const int cut = ::ftruncate(fd_, st.st_size - static_cast<off_t>(torn_));
    held_.clear();
    // Closed, so that a FIFO's reader sees the end of what it got.
    if (own_ && fd_ >= 0)
      ::close(std::exchange(fd_, -1));
    why_ = "cannot write " + MessageName(path_) + ": " + reason;
    Complain(why_ + "; the session goes on unrecorded");
    if (tell_)
      tell_(why_);
  }

  int fd_;
  bool own_;
  bool regular_ = false;
  std::string path_;
  std::string held_;     // completed lines the file has not taken yet
  std::size_t torn_ = 0; // bytes written after the last line feed
  std::string why_;      // set once the recording has failed
  std::function<void(const std::string &)> tell_;
};

// The recording while the window is open: the display's connection lost
// ends the program in exit(), which writes the final `tick N` first.
SessionRecorder *g_openRecorder = nullptr;
RecordFile *g_openFile = nullptr;

void FinishOnExit() {
  SessionRecorder *recorder = std::exchange(g_openRecorder, nullptr);
  if (recorder == nullptr)
    return;
  recorder->Finish();
  if (g_openFile != nullptr) {
    g_openFile->Drain();
    if (g_openFile->failed())
      ::_exit(kBadCommandLine); // the recording had failed: status 2
  }
}

// Shows the window (or saves its picture) with the session recorded, to
// the file that `options` name as well, and returns the exit status: 2 when
// the recording failed.
int RunRecorded(MainWindow &window, SessionRecorder &recorder,
                const LaunchOptions &options) {
  // From here on, a pipe whose reader has gone is a failed write only.
  OutliveBrokenPipes();
  window.setRecorder(recorder);
  std::unique_ptr<RecordFile> file;
  if (options.record) {
    std::string why;
    file = RecordFile::Open(*options.record, why);
    if (!file) {
      Complain(why);
      return kBadCommandLine;
    }
    file->Append(recorder.Script());
    recorder.SetSink(file.get());
    window.setLiveRecording(
        [&file](const std::string &path) { return file->IsLive(path); });
    file->OnFailure([&window](const std::string &reason) {
      window.showNotice(QString::fromStdString(
          reason + ".\nThe session goes on; it can still be saved with \"Save "
                   "this run as a script\"."));
    });
  }
  const auto recordStatus = [&file](int status) {
    return file && file->failed() ? kBadCommandLine : status;
  };
  if (options.screenshot) {
    // The picture is drawn at the zoom asked for, whatever the screen.
    window.setZoom(options.zoom);
    if (const std::string why = SaveScreenshot(window, *options.screenshot);
        !why.empty()) {
      Complain(why);
      return kBadCommandLine;
    }
    if (file)
      file->Drain();
    return recordStatus(0);
  }
  window.setFitToScreen(true);
  window.setZoom(options.zoom);
  window.show();
  static const bool registered = std::atexit(FinishOnExit) == 0;
  (void)registered;
  g_openRecorder = &recorder;
  g_openFile = file.get();
  const int status = QApplication::exec();
  g_openRecorder = nullptr;
  g_openFile = nullptr;
  window.setLiveRecording(nullptr);
  // The window closed, or a signal ended the loop: the last line.
  recorder.Finish();
  if (file)
    file->Drain();
  return recordStatus(status);
}

// Plays the script read from descriptor `in` (`name` in messages), then
// shows the window or saves its picture.
int PlayInWindow(int in, const std::string &name,
                 const LaunchOptions &options) {
  OutputFiles files;
  files.ReadsFrom(in, name);
  files.AlreadyOpen(STDOUT_FILENO, "standard output");
  if (options.screenshot)
    files.SavedWhole(*options.screenshot);
  // Written only after the script, but never the script or the picture.
  if (options.record)
    files.SavedWhole(*options.record);
  // The script's dumps go to standard output, whatever it is (a pipe too):
  // a recording there would be mixed into them.
  if (options.record && SameFile(STDOUT_FILENO, *options.record)) {
    Complain("cannot write " + MessageName(*options.record) +
             ": the same file as standard output");
    return kBadCommandLine;
  }
  if (!files.Open()) {
    Complain(files.error());
    return kBadCommandLine;
  }

  ScriptRandom random;
  MainForm form(random);
  SessionRecorder recorder(form);
  if (options.seed) {
    random.Seed(*options.seed);
    recorder.Seed(*options.seed);
  }
  {
    // While it lives, the session records the form's message boxes.
    FdSource source(in);
    FdSink out(STDOUT_FILENO, "standard output");
    out.FlushEachWriteUnlessRegularFile();
    FdSink err(STDERR_FILENO, "standard error");
    ScriptSession session(form, random, out);
    const int status =
        PlayScript(source, session, err, "arrivals", name,
                   [&recorder](std::string_view l) { recorder.ScriptLine(l); });
    if (status != kScriptOk)
      return status;
    if (!session.loaded())
      form.Form_Load();
  }
  // From here on the window is used by hand: when the script's draws are
  // spent, the generator goes on from a seed chosen from the clock now.
  const std::uint64_t clock = ClockSeed();
  if (!random.seeded())
    recorder.Clock(clock);
  random.Clock(clock);
  recorder.Loaded();

  MainWindow window(form, MainWindow::Start::Loaded);
  return RunRecorded(window, recorder, options);
}

} // namespace

QImage RenderWindow(MainWindow &window) {
  // Laid out and polished as on screen, but never shown there.
  window.setAttribute(Qt::WA_DontShowOnScreen);
  window.show();
  QImage image(window.size(), QImage::Format_RGB32);
  image.setDevicePixelRatio(1);
  window.render(&image);
  return image;
}

std::unique_ptr<RandomSource> MakeRandomSource(std::uint64_t seed) {
  return std::make_unique<FixedSeedSource>(seed);
}

std::string RecordFileProblem(const LaunchOptions &options) {
  return options.record ? WriteProblem(*options.record) : std::string();
}

int RunWindow(const LaunchOptions &options) {
  // (main() has checked the file of --record before Qt started.)
  if (options.script) {
    if (*options.script == "-")
      return PlayInWindow(STDIN_FILENO, "standard input", options);
    // Opened without waiting, so that a FIFO nobody writes to yet does not
    // hold the program where no signal is heard: the reads wait instead.
    const int fd =
        ::open(options.script->c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0)
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (fd < 0) {
      Complain("cannot read " + MessageName(*options.script) + ": " +
               std::strerror(errno));
      return kBadCommandLine;
    }
    const int status = PlayInWindow(fd, *options.script, options);
    ::close(fd);
    return status;
  }
  // Without a seed the window chooses one from the clock, and seeds with it
  // as `seed N` would, so that its recording can say which.
  const std::uint64_t seed = options.seed ? *options.seed : ClockSeed();
  const auto random = MakeRandomSource(seed);
  MainForm form(*random);
  SessionRecorder recorder(form);
  recorder.Seed(seed);
  MainWindow window(form); // runs Form_Load
  recorder.Loaded();
  return RunRecorded(window, recorder, options);
}

} // namespace arrivals
