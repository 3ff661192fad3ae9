#include "app/launch.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include <fcntl.h>
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

// A recording in a file, each line written and flushed as it is
// completed; a write that fails leaves the file ending in its last whole
// line. The failure is said once on standard error; the window keeps the
// session, so it can still be saved from the menu.
class RecordFile final : public RecordSink {
public:
  RecordFile(const std::string &path, int fd)
      : fd_(fd), path_(MessageName(path)), sink_(fd, path) {}
  ~RecordFile() override { ::close(fd_); }
  RecordFile(const RecordFile &) = delete;
  RecordFile &operator=(const RecordFile &) = delete;

  static std::unique_ptr<RecordFile> Open(const std::string &path,
                                          std::string &why) {
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
      why = "cannot write " + MessageName(path) + ": " + std::strerror(errno);
      return nullptr;
    }
    return std::make_unique<RecordFile>(path, fd);
  }

  void Append(std::string_view line) override { Write(line); }

  // The recording only grows, so writing it again from the start covers
  // everything that was there.
  void Rewrite(std::string_view whole) override {
    if (!stopped_ && ::lseek(fd_, 0, SEEK_SET) != 0) {
      stopped_ = true; // a pipe cannot take the recording again
      Complain("cannot write " + path_ + ": " + std::strerror(errno));
    }
    Write(whole);
  }

private:
  void Write(std::string_view bytes) {
    if (stopped_)
      return;
    sink_.Write(bytes);
    if (!sink_.Flush()) {
      stopped_ = true;
      Complain(sink_.ErrorText());
    }
  }

  int fd_;
  std::string path_; // as a message shows it
  FdSink sink_;
  bool stopped_ = false;
};

// Shows the window (or saves its picture) with the session recorded, to
// the file that `options` name as well, and returns the exit status.
int RunRecorded(MainWindow &window, SessionRecorder &recorder,
                const LaunchOptions &options) {
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
  }
  if (options.screenshot) {
    // The picture is drawn at the zoom asked for, whatever the screen.
    window.setZoom(options.zoom);
    if (const std::string why = SaveScreenshot(window, *options.screenshot);
        !why.empty()) {
      Complain(why);
      return kBadCommandLine;
    }
    return 0;
  }
  window.setFitToScreen(true);
  window.setZoom(options.zoom);
  window.show();
  const int status = QApplication::exec();
  // The window closed, or a signal ended the loop: the last line.
  recorder.Finish();
  return status;
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
