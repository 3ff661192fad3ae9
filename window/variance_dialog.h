#pragma once

#include <functional>
#include <memory>

#include <QDialog>
#include <QWidget>

#include "ui/variance_plot.h"

namespace arrivals {

// Paints a VariancePlot's items, as the form's canvas paints the form's.
class PlotView final : public QWidget {
public:
  explicit PlotView(const VariancePlot &plot, QWidget *parent = nullptr);
  QSize sizeHint() const override;

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  const VariancePlot &plot_;
};

// "Variance-time of this run": the plot, the points as a table, and "Save
// points..." (which calls `save` with the points as CSV text).
class VarianceDialog final : public QDialog {
  Q_OBJECT

public:
  VarianceDialog(const VarianceTime &plot,
                 std::function<void(const std::string &csv)> save,
                 QWidget *parent = nullptr);
  const VariancePlot &plot() const { return *plot_; }

private:
  std::unique_ptr<VariancePlot> plot_;
};

} // namespace arrivals
