#include "app/launch.h"

#include <cstdio>
#include <fstream>
#include <iostream>

#include <QApplication>
#include <QImage>

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

void complain(const QString &what) {
  std::fprintf(stderr, "arrivals: %s\n", qUtf8Printable(what));
}

bool saveScreenshot(MainWindow &window, const QString &path) {
  return RenderWindow(window).save(path, "PNG");
}

int playScript(std::istream &in, const LaunchOptions &options) {
  ScriptRandom random;
  MainForm form(random);
  if (options.seed)
    random.Seed(*options.seed);
  {
    // While it lives, the session records the form's message boxes.
    ScriptSession session(form, random, std::cout);
    const int status = PlayScript(in, session, std::cerr);
    std::cout.flush();
    if (status != kScriptOk)
      return status;
    if (!session.loaded())
      form.Form_Load();
  }
  // From here on the window is used by hand: when the script's draws are
  // spent, the generator goes on from the clock.
  random.Clock(ClockSeed());

  MainWindow window(form, MainWindow::Start::Loaded);
  if (options.screenshot) {
    if (!saveScreenshot(window, *options.screenshot)) {
      complain(QStringLiteral("cannot write %1").arg(*options.screenshot));
      return kBadCommandLine;
    }
    return 0;
  }
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
    if (*options.script == QLatin1String("-"))
      return playScript(std::cin, options);
    std::ifstream file(options.script->toStdString(), std::ios::binary);
    if (!file) {
      complain(QStringLiteral("cannot read %1").arg(*options.script));
      return kBadCommandLine;
    }
    return playScript(file, options);
  }
  const auto random = MakeRandomSource(options.seed);
  MainForm form(*random);
  MainWindow window(form); // runs Form_Load
  window.show();
  return QApplication::exec();
}

} // namespace arrivals
