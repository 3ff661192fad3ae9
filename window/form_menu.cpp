// The form's menu: keeping what the window shows (its picture, the traces
// and the script of the session so far).

#include <QApplication>
#include <QBuffer>
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

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <poll.h>
#include <unistd.h>

#include "script/last_run.h"
#include "script/output_files.h"
#include "script/session_recorder.h"
#include "script/traced_replay.h"
#include "window/main_window.h"
#include "window/variance_dialog.h"

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

// Writes every byte to `fd`. A pipe that is full is waited for in short
// slices, between which `waiting` runs (the progress dialog, whose Cancel
// stays live) and may give up. Returns 0, ECANCELED when given up, or the
// errno of the write that failed.
int writeThrough(int fd, std::string_view bytes,
                 const std::function<bool()> &waiting) {
  while (!bytes.empty()) {
    const auto n = ::write(fd, bytes.data(), bytes.size());
    if (n >= 0) {
      bytes.remove_prefix(static_cast<std::size_t>(n));
      continue;
    }
    if (errno == EINTR)
      continue;
    if (errno != EAGAIN)
      return errno;
    if (!waiting())
      return ECANCELED;
    pollfd ready = {fd, POLLOUT, 0};
    ::poll(&ready, 1, 100);
  }
  return 0;
}

// How far a long job has come; false cancels it: the dialogs' own answer
// when set, otherwise a progress dialog with Cancel, made in `dialog` and
// shown when the job takes a while.
std::function<bool(std::uint64_t, std::uint64_t)>
progressOf(const std::function<bool(std::uint64_t, std::uint64_t)> &given,
           const QString &label, QWidget *parent,
           std::unique_ptr<QProgressDialog> &dialog) {
  if (given)
    return given;
  dialog = std::make_unique<QProgressDialog>(label, QStringLiteral("Cancel"), 0,
                                             1000, parent);
  dialog->setWindowModality(Qt::WindowModal);
  dialog->setMinimumDuration(500);
  return [shown = dialog.get()](std::uint64_t done, std::uint64_t total) {
    shown->setValue(total == 0
                        ? 0
                        : static_cast<int>(static_cast<double>(done) * 1000 /
                                           static_cast<double>(total)));
    QCoreApplication::processEvents();
    return !shown->wasCanceled();
  };
}

QString reasonOf(int error) {
  return QString::fromLocal8Bit(std::strerror(error));
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
    formMenu_->addAction(QStringLiteral("Variance-time of this run..."), this,
                         &MainWindow::showVarianceTime);
    formMenu_->addSeparator();
    formMenu_->addAction(QStringLiteral("Copy picture"), this,
                         &MainWindow::copyPicture);
    formMenu_->addSeparator();
    formMenu_->addAction(QStringLiteral("Help"), this, &MainWindow::showHelp);
  }
  formMenu_->popup(globalPos);
}

void MainWindow::saveFailed(const QString &path, const QString &why) {
  // Said on standard error too, for a session started from a terminal.
  std::fprintf(stderr, "arrivals: cannot save %s: %s\n",
               MessageName(QFile::encodeName(path).toStdString()).c_str(),
               qUtf8Printable(why));
  dialogs_.error(this, QStringLiteral("Cannot save %1: %2")
                           .arg(QDir::toNativeSeparators(path), why));
}

void MainWindow::saveAs(const QString &title, const QString &name,
                        const QString &filter, const SaveWriter &write) {
  const QString path = dialogs_.saveFileName(this, title, name, filter);
  if (path.isEmpty())
    return;
  const std::string file = QFile::encodeName(path).toStdString();
  if (liveRecording_ && liveRecording_(file)) {
    saveFailed(path, QStringLiteral("the session is being recorded there, "
                                    "and the recording is kept up to date"));
    return;
  }
  saving_ = true;
  // How far the save has come; false cancels it. A progress dialog with
  // Cancel, shown when the save takes a while (or waits for a slow pipe).
  std::unique_ptr<QProgressDialog> dialog;
  const Progress progress = progressOf(
      dialogs_.progress, title + QStringLiteral("..."), this, dialog);
  std::uint64_t done = 0;
  std::uint64_t total = 0;
  const Progress told = [&](std::uint64_t d, std::uint64_t t) {
    done = d;
    total = t;
    return progress(d, t);
  };

  // A regular file is replaced only when complete; anything else (a FIFO,
  // a device) is written straight through, never waited on.
  WholeFile out(file);
  QString failure;
  int error = 0;
  if (const std::string why = out.Open(false); !why.empty()) {
    error = out.error();
  } else {
    const auto bytes = [&](std::string_view b) {
      if (error == 0)
        error = writeThrough(out.fd(), b, [&] { return told(done, total); });
      return error == 0;
    };
    if (write(bytes, told, failure) && failure.isEmpty() && error == 0 &&
        !out.Commit().empty())
      error = out.error();
  }
  saving_ = false;
  dialog.reset();
  if (error != 0 && error != ECANCELED)
    failure = reasonOf(error);
  if (!failure.isEmpty())
    saveFailed(path, failure);
}

void MainWindow::savePicture() {
  saveAs(QStringLiteral("Save picture"), QStringLiteral("arrivals.png"),
         QStringLiteral("PNG images (*.png)"),
         [this](const SaveBytes &bytes, const Progress &, QString &failure) {
           QByteArray png;
           QBuffer buffer(&png);
           buffer.open(QIODevice::WriteOnly);
           if (!grab().save(&buffer, "PNG")) {
             failure = QStringLiteral("cannot encode the picture");
             return true;
           }
           return bytes(std::string_view(png.constData(),
                                         static_cast<std::size_t>(png.size())));
         });
}

void MainWindow::copyPicture() {
  QApplication::clipboard()->setImage(grab().toImage());
}

void MainWindow::saveScript() {
  saveAs(QStringLiteral("Save this run as a script"),
         QStringLiteral("session.script"),
         QStringLiteral("Scripts (*.script);;All files (*)"),
         [this](const SaveBytes &bytes, const Progress &, QString &) {
           return bytes(recorder_->Script());
         });
}

void MainWindow::savePackets() { saveTrace(true); }
void MainWindow::saveSeconds() { saveTrace(false); }

void MainWindow::saveTrace(bool packets) {
  saveAs(
      packets ? QStringLiteral("Save packets") : QStringLiteral("Save seconds"),
      packets ? QStringLiteral("packets.csv") : QStringLiteral("seconds.csv"),
      QStringLiteral("CSV files (*.csv)"),
      [&](const SaveBytes &bytes, const Progress &progress, QString &failure) {
        // The session so far, played again with the trace attached:
        // rows go to the file as they come, none kept in memory.
        bool ok = true;
        const ByteWriter writer = [&](std::string_view b) {
          ok = ok && bytes(b);
        };
        TracedReplay replay(recorder_->Script(), packets ? writer : nullptr,
                            packets ? nullptr : writer);
        for (bool more = true; more && ok;) {
          more = replay.Step();
          if (!progress(replay.done(), replay.total()))
            return false;
        }
        // The recording of a session always plays; anything else is a
        // fault of the program, said as a failure rather than hidden.
        if (ok && replay.status() != 0)
          failure = QString::fromStdString(replay.message());
        return ok;
      });
}

void MainWindow::showVarianceTime() {
  if (saving_)
    return;
  saving_ = true;
  std::unique_ptr<QProgressDialog> dialog;
  const Progress progress =
      progressOf(dialogs_.progress,
                 QStringLiteral("Variance-time of this run..."), this, dialog);
  // The session so far, played again: only the counts of the seconds of
  // its last run are kept.
  LastRunReplay replay(recorder_->Script());
  bool cancelled = false;
  for (bool more = true; more && !cancelled;) {
    more = replay.Step();
    cancelled = !progress(replay.done(), replay.total());
  }
  saving_ = false;
  dialog.reset();
  if (cancelled)
    return;
  if (replay.status() != 0) {
    dialogs_.error(this,
                   QStringLiteral("Cannot make the variance-time plot: %1")
                       .arg(QString::fromStdString(replay.message())));
    return;
  }
  delete findChild<VarianceDialog *>(QStringLiteral("varianceTime"));
  auto *shown = new VarianceDialog(
      ComputeVarianceTime(replay.seconds()),
      [this](const std::string &csv) {
        saveAs(QStringLiteral("Save points"), QStringLiteral("points.csv"),
               QStringLiteral("CSV files (*.csv)"),
               [&csv](const SaveBytes &bytes, const Progress &, QString &) {
                 return bytes(csv);
               });
      },
      this);
  shown->setAttribute(Qt::WA_DeleteOnClose);
  shown->show();
}

void MainWindow::showNotice(const QString &text) {
  // Not the form's message box: the run and the timer go on.
  auto *box = new QMessageBox(QMessageBox::Warning,
                              windowTitle() + QStringLiteral(" notice"), text,
                              QMessageBox::Ok, this);
  box->setObjectName(QStringLiteral("notice"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  box->show();
}

} // namespace arrivals
