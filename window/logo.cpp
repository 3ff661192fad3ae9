#include "window/logo.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPolygonF>

namespace arrivals {

QPixmap logoPicture(QSize size, qreal ratio) {
  QPixmap picture(size * ratio);
  picture.setDevicePixelRatio(ratio);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  // The logo's own units: 300 x 48, as in make-logo.sh.
  p.scale(size.width() / 300.0, size.height() / 48.0);
  const QColor ink(44, 44, 150);

  QFont font(QStringLiteral("Liberation Serif"));
  font.setBold(true);
  font.setPixelSize(40);
  font.setHintingPreference(QFont::PreferNoHinting);
  p.setFont(font);
  p.setPen(ink);
  p.drawText(QPointF(6, 37), QStringLiteral("Arrivals"));

  // The time line, its arrow and the arrivals on it.
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  p.drawRect(QRectF(QPointF(178, 31), QPointF(284, 32.6)));
  p.drawPolygon(
      QPolygonF({QPointF(294, 31.8), QPointF(282, 26.5), QPointF(282, 37.1)}));
  for (const qreal x : {186.0, 201.0, 207.0, 234.0, 261.0})
    p.drawRect(QRectF(QPointF(x, 19), QPointF(x + 1.6, 31)));
  return picture;
}

} // namespace arrivals
