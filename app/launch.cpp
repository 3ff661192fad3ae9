#include "app/launch.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include "script/script_random.h"
#include "script/script_session.h"
#include "script/session_recorder.h"
#include "ui/form.h"
#include "ui/window/main_window.h"

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

void complain(const QString &what) {
  std::fprintf(stderr, "arrivals: %s\n", qUtf8Printable(what));
}

QString reasonOf(int error) {
  return QString::fromLocal8Bit(std::strerror(error));
}

// Whether `path` could be opened for writing, without touching it: an
// existing file must be writable and no folder, a new one needs a folder it
// can be made in. The recording opens it only once the script has played,
// so that a script that fails (or is the same file) is left whole.
bool canWrite(const QString &path, QString &reason) {
  const QByteArray name = QFile::encodeName(path);
  struct stat st = {};
  int error = 0;
  if (::stat(name.constData(), &st) == 0) {
    if (S_ISDIR(st.st_mode))
      error = EISDIR;
    else if (::access(name.constData(), W_OK) != 0)
      error = errno;
  } else if (errno != ENOENT) {
    error = errno;
  } else {
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    if (::access(folder.constData(), W_OK | X_OK) != 0)
      error = errno;
  }
  if (error != 0)
    reason = reasonOf(error);
  return error == 0;
}

// A recording in a file, each line written as it is completed. A failed
// write is said once on standard error; the window keeps the session, so
// it can still be saved from the menu.
class RecordFile final : public RecordSink {
public:
  RecordFile(QString path, int fd) : path_(std::move(path)), fd_(fd) {}
  ~RecordFile() override { ::close(fd_); }
  RecordFile(const RecordFile &) = delete;
  RecordFile &operator=(const RecordFile &) = delete;

  static std::unique_ptr<RecordFile> open(const QString &path,
                                          QString &reason) {
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
      reason = reasonOf(errno);
      return nullptr;
    }
    return std::make_unique<RecordFile>(path, fd);
  }

  void Append(std::string_view line) override { write(line); }

  // The recording only grows, so writing it again from the start covers
  // everything that was there.
  void Rewrite(std::string_view whole) override {
    if (::lseek(fd_, 0, SEEK_SET) != 0)
      fail(errno);
    write(whole);
  }

private:
  void write(std::string_view bytes) {
    while (!bytes.empty() && !failed_) {
      const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
      if (n < 0 && errno == EINTR)
        continue;
      if (n <= 0) {
        fail(n < 0 ? errno : ENOSPC);
        return;
      }
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
  }
  void fail(int error) {
    if (!std::exchange(failed_, true))
      complain(
          QStringLiteral("cannot write %1: %2").arg(path_, reasonOf(error)));
  }

  QString path_;
  int fd_;
  bool failed_ = false;
};

bool saveScreenshot(MainWindow &window, const QString &path) {
  return RenderWindow(window).save(path, "PNG");
}

// Shows the window (or saves its picture) with the session recorded, to
// the file that `options` name as well, and returns the exit status.
int runRecorded(MainWindow &window, SessionRecorder &recorder,
                const LaunchOptions &options) {
  window.setRecorder(recorder);
  std::unique_ptr<RecordFile> file;
  if (options.record) {
    QString reason;
    file = RecordFile::open(*options.record, reason);
    if (!file) {
      complain(
          QStringLiteral("cannot write %1: %2").arg(*options.record, reason));
      return kBadCommandLine;
    }
    file->Append(recorder.Script());
    recorder.SetSink(file.get());
  }
  if (options.screenshot) {
    if (!saveScreenshot(window, *options.screenshot)) {
      complain(QStringLiteral("cannot write %1").arg(*options.screenshot));
      return kBadCommandLine;
    }
    return 0;
  }
  window.show();
  const int status = QApplication::exec();
  // The window closed, or a signal ended the loop: the last line.
  recorder.Finish();
  return status;
}

int playScript(std::istream &in, const LaunchOptions &options) {
  ScriptRandom random;
  MainForm form(random);
  SessionRecorder recorder(form);
  if (options.seed) {
    random.Seed(*options.seed);
    recorder.Seed(*options.seed);
  }
  {
    // While it lives, the session records the form's message boxes.
    ScriptSession session(form, random, std::cout);
    const int status =
        PlayScript(in, session, std::cerr,
                   [&recorder](std::string_view l) { recorder.ScriptLine(l); });
    std::cout.flush();
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
  return runRecorded(window, recorder, options);
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

QString RecordFileProblem(const LaunchOptions &options) {
  QString reason;
  if (!options.record || canWrite(*options.record, reason))
    return {};
  return QStringLiteral("cannot write %1: %2").arg(*options.record, reason);
}

int RunWindow(const LaunchOptions &options) {
  if (const QString problem = RecordFileProblem(options); !problem.isEmpty()) {
    complain(problem);
    return kBadCommandLine;
  }
  if (options.script) {
    if (*options.script == QLatin1String("-"))
      return playScript(std::cin, options);
    std::ifstream file(options.script->toStdString(), std::ios::binary);
    if (!file) {
      complain(QStringLiteral("cannot read %1").arg(*options.script));
      return kBadCommandLine;
    }
    return playScript(file, options);
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
  return runRecorded(window, recorder, options);
}

} // namespace arrivals
