#include "app/launch.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include "script/byte_io.h"
#include "script/output_files.h"
#include "script/script_random.h"
#include "script/script_session.h"
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

void complain(const std::string &what) {
  std::fprintf(stderr, "arrivals: %s\n", what.c_str());
}

// The picture is made in memory and saved whole: a failure leaves the old
// file as it was.
std::string saveScreenshot(MainWindow &window, const std::string &path) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!RenderWindow(window).save(&buffer, "PNG"))
    return "cannot write " + MessageName(path) + ": cannot encode the picture";
  return SaveFileWhole(
      path,
      std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
}

// Plays the script read from descriptor `in` (`name` in messages), then
// shows the window or saves its picture.
int playScript(int in, const std::string &name, const LaunchOptions &options) {
  OutputFiles files;
  files.ReadsFrom(in, name);
  files.AlreadyOpen(STDOUT_FILENO, "standard output");
  if (options.screenshot)
    files.SavedWhole(*options.screenshot);
  if (!files.Open()) {
    complain(files.error());
    return kBadCommandLine;
  }

  ScriptRandom random;
  MainForm form(random);
  if (options.seed)
    random.Seed(*options.seed);
  {
    // While it lives, the session records the form's message boxes.
    FdSource source(in);
    FdSink out(STDOUT_FILENO, "standard output");
    FdSink err(STDERR_FILENO, "standard error");
    ScriptSession session(form, random, out);
    const int status = PlayScript(source, session, err, "arrivals", name);
    if (status != kScriptOk)
      return status;
    if (!session.loaded())
      form.Form_Load();
  }
  // From here on the window is used by hand: when the script's draws are
  // spent, the generator goes on from the clock.
  random.FallBackToClock();

  MainWindow window(form, MainWindow::Start::Loaded);
  if (options.screenshot) {
    // The picture is drawn at the zoom asked for, whatever the screen.
    window.setZoom(options.zoom);
    if (const std::string why = saveScreenshot(window, *options.screenshot);
        !why.empty()) {
      complain(why);
      return kBadCommandLine;
    }
    return 0;
  }
  window.setFitToScreen(true);
  window.setZoom(options.zoom);
  window.show();
  return QApplication::exec();
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

std::unique_ptr<RandomSource>
MakeRandomSource(std::optional<std::uint64_t> seed) {
  if (seed)
    return std::make_unique<FixedSeedSource>(*seed);
  return std::make_unique<MersenneSource>();
}

int RunWindow(const LaunchOptions &options) {
  if (options.script) {
    if (*options.script == "-")
      return playScript(STDIN_FILENO, "standard input", options);
    // Opened without waiting, so that a FIFO nobody writes to yet does not
    // hold the program where no signal is heard: the reads wait instead.
    const int fd =
        ::open(options.script->c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0)
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (fd < 0) {
      complain("cannot read " + MessageName(*options.script) + ": " +
               std::strerror(errno));
      return kBadCommandLine;
    }
    const int status = playScript(fd, *options.script, options);
    ::close(fd);
    return status;
  }
  const auto random = MakeRandomSource(options.seed);
  MainForm form(*random);
  MainWindow window(form); // runs Form_Load
  window.setFitToScreen(true);
  window.setZoom(options.zoom);
  window.show();
  return QApplication::exec();
}

} // namespace arrivals
