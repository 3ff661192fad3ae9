// Saves the wordmark as the pictures the window shows at scale 1:
// DIRECTORY/logo.png (300 x 48) and DIRECTORY/logo@2x.png (600 x 96), for
// screens at device pixel ratio 2. scripts/make-logo.sh runs it.
//
// Usage: arrivals-make-logo DIRECTORY

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <cstdio>

#include "ui/logo.h"
#include "window/logo.h"

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fputs("usage: arrivals-make-logo DIRECTORY\n", stderr);
    return 2;
  }
  QGuiApplication app(argc, argv);
  const QString dir = QString::fromLocal8Bit(argv[1]);
  const QSize size(int(arrivals::kLogo.width), int(arrivals::kLogo.height));
  for (const int ratio : {1, 2}) {
    const QString name = dir + (ratio == 1 ? QStringLiteral("/logo.png")
                                           : QStringLiteral("/logo@2x.png"));
    QImage image = arrivals::logoPicture(size, ratio).toImage();
    image.setDevicePixelRatio(1); // no pHYs scaling in the file
    if (!image.save(name, "PNG")) {
      std::fprintf(stderr, "arrivals-make-logo: cannot write %s\n",
                   qPrintable(name));
      return 1;
    }
  }
  return 0;
}
