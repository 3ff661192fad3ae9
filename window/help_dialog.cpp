// The help: one text for every front end (ui/help.h), shown beside the
// window by F1 and by the form's menu.

#include <QDialog>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "arrivals_version.h"
#include "ui/help.h"
#include "window/main_window.h"

namespace arrivals {

void MainWindow::showHelp() {
  if (help_ == nullptr) {
    help_ = new QDialog(this);
    help_->setObjectName(QStringLiteral("help"));
    help_->setWindowTitle(windowTitle() + QStringLiteral(" help"));
    // A read-only text that scrolls, which a screen reader reads line by
    // line; the form stays usable while it is open.
    auto *text = new QPlainTextEdit(
        QString::fromStdString(HelpText(ARRIVALS_VERSION)), help_);
    text->setObjectName(QStringLiteral("helpText"));
    text->setAccessibleName(help_->windowTitle());
    text->setReadOnly(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                  Qt::TextSelectableByKeyboard);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, help_);
    connect(buttons, &QDialogButtonBox::rejected, help_, &QDialog::close);
    auto *layout = new QVBoxLayout(help_);
    layout->addWidget(text);
    layout->addWidget(buttons);
    help_->resize(560, 480);
  }
  help_->show();
  help_->raise();
  help_->activateWindow();
}

} // namespace arrivals
