// The form's menu: keeping what the window shows (its picture, the traces
// and the script of the session so far).

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QProgressDialog>
#include <QSaveFile>

#include "script/session_recorder.h"
#include "script/traced_replay.h"
#include "window/main_window.h"

namespace arrivals {

namespace {

MainWindow::Dialogs standardDialogs() {
  MainWindow::Dialogs d;
  d.saveFileName = [](QWidget *parent, const QString &title,
                      const QString &name, const QString &filter) {
    return QFileDialog::getSaveFileName(parent, title, name, filter);
  };
  d.error = [](QWidget *parent, const QString &text) {
    QMessageBox::warning(parent, parent->windowTitle(), text);
  };
  return d;
}

} // namespace

void MainWindow::setDialogs(Dialogs dialogs) {
  const Dialogs standard = standardDialogs();
  if (!dialogs.saveFileName)
    dialogs.saveFileName = standard.saveFileName;
  if (!dialogs.error)
    dialogs.error = standard.error;
  dialogs_ = std::move(dialogs);
}

void MainWindow::contextMenuEvent(QContextMenuEvent *event) {
  openFormMenu(event->globalPos());
}

void MainWindow::keyPressEvent(QKeyEvent *event) {
  const bool menuKey =
      event->key() == Qt::Key_Menu ||
      (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
  if (!menuKey) {
    QWidget::keyPressEvent(event);
    return;
  }
  QWidget *focus = focusWidget();
  auto *edit = qobject_cast<QLineEdit *>(focus);
  if (auto *box = qobject_cast<QComboBox *>(focus))
    edit = box->lineEdit();
  // Inside a box, the box's own edit menu.
  if (edit != nullptr) {
    const QPoint at = edit->rect().center();
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, at,
                           edit->mapToGlobal(at));
    QCoreApplication::sendEvent(edit, &menu);
    return;
  }
  const QWidget *at = focus != nullptr ? focus : this;
  openFormMenu(at->mapToGlobal(at->rect().center()));
}

void MainWindow::openFormMenu(const QPoint &globalPos) {
  if (saving_)
    return;
  if (formMenu_ == nullptr) {
    formMenu_ = new QMenu(this);
    formMenu_->setObjectName(QStringLiteral("formMenu"));
    formMenu_->addAction(QStringLiteral("Save picture..."), this,
                         &MainWindow::savePicture);
    formMenu_->addAction(QStringLiteral("Save packets..."), this,
                         &MainWindow::savePackets);
    formMenu_->addAction(QStringLiteral("Save seconds..."), this,
                         &MainWindow::saveSeconds);
    formMenu_->addAction(QStringLiteral("Save this run as a script..."), this,
                         &MainWindow::saveScript);
    formMenu_->addSeparator();
    formMenu_->addAction(QStringLiteral("Copy picture"), this,
                         &MainWindow::copyPicture);
    formMenu_->addSeparator();
    formMenu_->addAction(QStringLiteral("Help"), this, &MainWindow::showHelp);
  }
  formMenu_->popup(globalPos);
}

void MainWindow::saveAs(
    const QString &title, const QString &name, const QString &filter,
    const std::function<bool(QSaveFile &, QString &)> &write) {
  const QString path = dialogs_.saveFileName(this, title, name, filter);
  if (path.isEmpty())
    return;
  saving_ = true;
  QSaveFile file(path);
  QString failure;
  const bool open = file.open(QIODevice::WriteOnly);
  if (open && write(file, failure) && failure.isEmpty()) {
    if (!file.commit())
      failure = file.errorString();
  } else if (open) {
    file.cancelWriting(); // the old file stays as it was
  } else {
    failure = file.errorString();
  }
  saving_ = false;
  if (!failure.isEmpty())
    dialogs_.error(this, QStringLiteral("Cannot save %1: %2")
                             .arg(QDir::toNativeSeparators(path), failure));
}

void MainWindow::savePicture() {
  saveAs(QStringLiteral("Save picture"), QStringLiteral("arrivals.png"),
         QStringLiteral("PNG images (*.png)"),
         [this](QSaveFile &file, QString &failure) {
           if (!grab().save(&file, "PNG"))
             failure = file.errorString();
           return true;
         });
}

void MainWindow::copyPicture() {
  QApplication::clipboard()->setImage(grab().toImage());
}

void MainWindow::saveScript() {
  saveAs(QStringLiteral("Save this run as a script"),
         QStringLiteral("session.script"),
         QStringLiteral("Scripts (*.script);;All files (*)"),
         [this](QSaveFile &file, QString &) {
           const std::string script = recorder_->Script();
           file.write(script.data(), static_cast<qint64>(script.size()));
           return true;
         });
}

void MainWindow::savePackets() { saveTrace(true); }
void MainWindow::saveSeconds() { saveTrace(false); }

void MainWindow::saveTrace(bool packets) {
  const QString title =
      packets ? QStringLiteral("Save packets") : QStringLiteral("Save seconds");
  saveAs(
      title,
      packets ? QStringLiteral("packets.csv") : QStringLiteral("seconds.csv"),
      QStringLiteral("CSV files (*.csv)"),
      [&](QSaveFile &file, QString &failure) {
        // The session so far, played again with the trace attached:
        // rows go to the file as they come, none kept in memory.
        const ByteWriter writer = [&file](std::string_view bytes) {
          file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        };
        TracedReplay replay(recorder_->Script(), packets ? writer : nullptr,
                            packets ? nullptr : writer);
        std::unique_ptr<QProgressDialog> dialog;
        auto progress = dialogs_.progress;
        if (!progress) {
          dialog = std::make_unique<QProgressDialog>(
              title + QStringLiteral("..."), QStringLiteral("Cancel"), 0, 1000,
              this);
          dialog->setWindowModality(Qt::WindowModal);
          dialog->setMinimumDuration(500);
          progress = [&dialog](std::uint64_t done, std::uint64_t total) {
            dialog->setValue(
                total == 0 ? 0
                           : static_cast<int>(static_cast<double>(done) * 1000 /
                                              static_cast<double>(total)));
            QCoreApplication::processEvents();
            return !dialog->wasCanceled();
          };
        }
        for (bool more = true; more;) {
          more = replay.Step();
          if (!progress(replay.done(), replay.total()))
            return false;
        }
        // The recording of a session always plays; anything else is a
        // fault of the program, said as a failure rather than hidden.
        if (replay.status() != 0)
          failure = QString::fromStdString(replay.message());
        return true;
      });
}

} // namespace arrivals
