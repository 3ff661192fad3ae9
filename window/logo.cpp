#include "window/logo.h"

#include <QFont>
#include <QPainter>
#include <QPolygonF>

#include "ui/logo.h"
#include "window/pixels.h"

namespace arrivals {

QPixmap logoPicture(QSize size, qreal ratio) {
  QPixmap picture(size * ratio);
  picture.setDevicePixelRatio(ratio);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.scale(size.width() / qreal(kLogo.width),
          size.height() / qreal(kLogo.height));
  const QColor ink = toColor(kLogo.ink);

  QFont font(
      QString::fromUtf8(kLogo.font.data(), qsizetype(kLogo.font.size())));
  font.setBold(kLogo.bold);
  font.setHintingPreference(QFont::PreferNoHinting);
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  for (const LogoPart &part : LogoParts(Box{0, 0, kLogo.width, kLogo.height})) {
    const QPointF first(part.corners[0].x, part.corners[0].y);
    if (part.kind == LogoPart::Kind::Lettering) {
      font.setPixelSize(qRound(part.size));
      p.setFont(font);
      p.setPen(ink);
      p.drawText(first, QString::fromUtf8(kLogo.text.data(),
                                          qsizetype(kLogo.text.size())));
      p.setPen(Qt::NoPen);
      continue;
    }
    QPolygonF polygon;
    for (std::size_t i = 0; i < part.count; ++i)
      polygon << QPointF(part.corners[i].x, part.corners[i].y);
    p.drawPolygon(polygon);
  }
  return picture;
}

} // namespace arrivals
