#include "window/fonts.h"

#include <algorithm>
#include <cmath>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

namespace arrivals {

QString formFontFamily() {
  static const QString family = [] {
    const QString wanted = QStringLiteral("MS Sans Serif");
    return QFontDatabase::families().contains(wanted)
               ? wanted
               : QStringLiteral("Liberation Sans");
  }();
  return family;
}

QFont toQFont(const Font &f, double zoom) {
  QFont font(formFontFamily());
  font.setPixelSize(
      static_cast<int>(std::lround(f.points * 96.0 / 72.0 * zoom)));
  font.setWeight(f.bold ? QFont::Bold : QFont::Normal);
  return font;
}

QFont fittedFont(const QFont &font, const QString &text, int width) {
  const int natural = QFontMetrics(font).horizontalAdvance(text);
  if (natural <= width || natural <= 0)
    return font;
  QFont narrow = font;
  // Stretch is in percent; step down until it fits (one or two steps in
  // practice: the face is close to the size the layout was made for).
  int stretch = std::max(50, width * 100 / natural);
  narrow.setStretch(stretch);
  while (stretch > 50 && QFontMetrics(narrow).horizontalAdvance(text) > width) {
    --stretch;
    narrow.setStretch(stretch);
  }
  return narrow;
}

} // namespace arrivals
