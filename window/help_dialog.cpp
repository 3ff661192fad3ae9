// The help: one text for every front end (ui/help.h), shown beside the
// window by F1 and by the form's menu.

#include <QMessageBox>

#include "arrivals_version.h"
#include "ui/help.h"
#include "window/main_window.h"

namespace arrivals {

void MainWindow::showHelp() {
  if (help_ == nullptr) {
    help_ = new QMessageBox(QMessageBox::NoIcon,
                            windowTitle() + QStringLiteral(" help"),
                            QString::fromStdString(HelpText(ARRIVALS_VERSION)),
                            QMessageBox::Close, this);
    help_->setObjectName(QStringLiteral("help"));
    help_->setTextFormat(Qt::PlainText);
    // The form stays usable while the help is open.
    help_->setWindowModality(Qt::NonModal);
  }
  help_->show();
  help_->raise();
  help_->activateWindow();
}

} // namespace arrivals
