#include "window/variance_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "window/fonts.h"
#include "window/pixels.h"

namespace arrivals {

PlotView::PlotView(const VariancePlot &plot, QWidget *parent)
    : QWidget(parent), plot_(plot) {
  setObjectName(QStringLiteral("plot"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFixedSize(sizeHint());
  setAccessibleName(QStringLiteral("Variance-time plot"));
  setAccessibleDescription(
      QString::fromStdString(VarianceSummary(plot.plot())));
}

QSize PlotView::sizeHint() const {
  return {toPixels(VariancePlot::kWidth), toPixels(VariancePlot::kHeight)};
}

// The same kinds of item as the form's, painted the same way: rectangles
// crisp in whole pixels, points antialiased, one-line captions narrowed to
// their box.
void PlotView::paintEvent(QPaintEvent *) {
  QPainter p(this);
  for (const DrawItem &item : plot_.items()) {
    switch (item.paint) {
    case Paint::Rectangle: {
      const Shape &s = *item.shape;
      const QRect r = toPixels(s.box);
      const int w = s.outlinePixels;
      if (s.filled)
        p.fillRect(r.adjusted(w, w, -w, -w), toColor(s.fillColor));
      if (w > 0) {
        p.setPen(QPen(toColor(s.outlineColor), w));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -w, -w));
      }
      break;
    }
    case Paint::Oval: {
      const Shape &s = *item.shape;
      p.setRenderHint(QPainter::Antialiasing, true);
      p.setPen(Qt::NoPen);
      p.setBrush(toColor(s.fillColor));
      p.drawEllipse(QRectF(toPixels(s.box)));
      p.setRenderHint(QPainter::Antialiasing, false);
      break;
    }
    case Paint::Line: {
      const Line &l = *item.line;
      p.setRenderHint(QPainter::Antialiasing, l.x1 != l.x2 && l.y1 != l.y2);
      p.setPen(QPen(toColor(kLineColor), l.widthPixels, Qt::SolidLine,
                    Qt::RoundCap));
      p.drawLine(toPixels(l));
      p.setRenderHint(QPainter::Antialiasing, false);
      break;
    }
    case Paint::Text:
    case Paint::Digits: {
      const Label &l = *item.label;
      const QRect r = toPixels(l.box);
      const QString text = QString::fromStdString(l.caption);
      p.setPen(toColor(kTextColor));
      p.setFont(fittedFont(toQFont(l.font), text, r.width()));
      p.drawText(r,
                 Qt::AlignTop | Qt::TextSingleLine |
                     (l.alignment == Alignment::Center ? Qt::AlignHCenter
                                                       : Qt::AlignLeft),
                 text);
      break;
    }
    case Paint::Logo:
      break;
    }
  }
}

VarianceDialog::VarianceDialog(const VarianceTime &plot,
                               std::function<void(const std::string &)> save,
                               QWidget *parent)
    : QDialog(parent), plot_(std::make_unique<VariancePlot>(plot)) {
  setObjectName(QStringLiteral("varianceTime"));
  setWindowTitle(QStringLiteral("Variance-time of this run"));
  auto *layout = new QVBoxLayout(this);
  auto *row = new QHBoxLayout;
  layout->addLayout(row);
  row->addWidget(new PlotView(*plot_, this));

  // The points as a table, for reading and for a screen reader.
  const auto header = VarianceTableHeader();
  const auto rows = VarianceTableRows(plot);
  auto *table = new QTableWidget(static_cast<int>(rows.size()),
                                 static_cast<int>(header.size()), this);
  table->setObjectName(QStringLiteral("points"));
  table->setAccessibleName(QStringLiteral("Points of the variance-time plot"));
  for (std::size_t c = 0; c < header.size(); ++c)
    table->setHorizontalHeaderItem(
        static_cast<int>(c),
        new QTableWidgetItem(QString::fromStdString(header[c])));
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      auto *cell = new QTableWidgetItem(QString::fromStdString(rows[r][c]));
      cell->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
      cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table->setItem(static_cast<int>(r), static_cast<int>(c), cell);
    }
  table->verticalHeader()->hide();
  table->resizeColumnsToContents();
  table->setMinimumWidth(table->horizontalHeader()->length() + 24);
  row->addWidget(table);

  auto *summary =
      new QLabel(QString::fromStdString(VarianceSummary(plot)), this);
  summary->setObjectName(QStringLiteral("summary"));
  summary->setWordWrap(true);
  summary->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                   Qt::TextSelectableByKeyboard);
  layout->addWidget(summary);

  auto *buttons = new QHBoxLayout;
  buttons->addStretch();
  auto *savePoints = new QPushButton(QStringLiteral("Save points..."), this);
  savePoints->setObjectName(QStringLiteral("savePoints"));
  auto *close = new QPushButton(QStringLiteral("Close"), this);
  buttons->addWidget(savePoints);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  const std::string csv = VarianceTimeCsv(plot);
  connect(savePoints, &QPushButton::clicked, this,
          [save = std::move(save), csv] { save(csv); });
  connect(close, &QPushButton::clicked, this, &QDialog::close);
}

} // namespace arrivals
