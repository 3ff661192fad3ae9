#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include <QWidget>

#include "ui/form.h"

class QButtonGroup;
class QComboBox;
class QDialog;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;

namespace arrivals {

class FormCanvas;
class SessionRecorder;

// The main window: shows the form's controls and hands every user and timer
// event to the form. It holds no run state of its own. Real widgets stand
// where a person types or clicks (the buttons, the two boxes and the view
// buttons); one canvas paints everything else.
//
// Creating the window runs the form's Form_Load, unless the form has run it
// already, so it is ready to show.
// Every control carries its name from the form as objectName and accessible
// name ("btnStart", "cmbData", "optGraphs(0)", ...).
class MainWindow final : public QWidget, private FormObserver {
public:
  // Load runs the form's start-up sequence; Loaded shows a form that has
  // run it already (a played script), as it stands.
  enum class Start { Load, Loaded };

  explicit MainWindow(MainForm &form, QWidget *parent = nullptr)
      : MainWindow(form, Start::Load, parent) {}
  MainWindow(MainForm &form, Start start, QWidget *parent = nullptr);
  ~MainWindow() override;

  MainWindow(const MainWindow &) = delete;
  MainWindow &operator=(const MainWindow &) = delete;

  // What a timeout of tmrMain does; tests call it to step without waiting.
  void timerTick();

  // Draws the whole form, canvas and widgets, at `zoom` times its size (0.5
  // to 4, see ui/zoom.h). Ctrl++, Ctrl+- and Ctrl+0 call it with the next
  // step up, down, and 1. A window fitted to its screen takes the largest
  // zoom that fits where `zoom` would not.
  void setZoom(double zoom);
  double zoom() const { return zoom_; }
  // Whether setZoom fits the window to its screen: an open window is, a
  // picture is not.
  void setFitToScreen(bool fit) { fitToScreen_ = fit; }

  // Every user and timer event goes to the form through `recorder` (which
  // must be on this window's form) from now on; until then through a
  // recorder of the window's own.
  void setRecorder(SessionRecorder &recorder) { recorder_ = &recorder; }
  SessionRecorder &recorder() const { return *recorder_; }

  // The dialogs of the form's menu, replaceable so that a test can answer
  // them; by default Qt's standard ones.
  struct Dialogs {
    // The file to save to, or empty when the user cancels.
    std::function<QString(QWidget *parent, const QString &title,
                          const QString &name, const QString &filter)>
        saveFileName;
    // Says that a save failed, in one line.
    std::function<void(QWidget *parent, const QString &text)> error;
    // Told how far a long save has come; false cancels it. Unset: a
    // progress dialog with Cancel, shown when the save takes a while.
    std::function<bool(std::uint64_t done, std::uint64_t total)> progress;
  };
  void setDialogs(Dialogs dialogs);

  // The form's menu (a right click, the Menu key or Shift+F10), at
  // `globalPos`; it is a child of the window named "formMenu".
  void openFormMenu(const QPoint &globalPos);
  // Its commands. A save to a regular file goes to a temporary file renamed
  // over the one chosen, so that an old file is never left half-written; a
  // FIFO or a device is written straight through, waiting between slices
  // for a slow reader with the progress dialog live. A failure is said with
  // the system's reason, in a message box and on standard error.
  void savePicture();
  void savePackets();
  void saveSeconds();
  void saveScript();
  // "Variance-time of this run...": the session played again through the
  // traced replay (with progress and Cancel), the seconds since the last
  // Start or change of process made into the plot, shown in a dialog (a
  // child of the window named "varianceTime") with "Save points...".
  void showVarianceTime();
  void copyPicture();
  // Shows the help (F1, or Help in the form's menu) beside the window; it
  // is a child of the window named "help".
  void showHelp();

  // Tells whether a file name is the recording this session writes while
  // it is live: a save there from the menu is refused.
  void setLiveRecording(std::function<bool(const std::string &path)> isLive) {
    liveRecording_ = std::move(isLive);
  }
  // Says something without stopping the run (not a message box of the
  // form's, and not recorded), such as a recording that has failed.
  void showNotice(const QString &text);

  FormCanvas *canvas() const { return canvas_; }
  QTimer *tmrMain() const { return tmrMain_; }

protected:
  void contextMenuEvent(QContextMenuEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;

private:
  // Asks for a file and writes it with `write`, which hands its bytes to
  // the writer (false once the save failed or was cancelled), tells the
  // progress, returns false when cancelled and sets its last argument when
  // it fails; either way an old regular file is kept whole. A failure is
  // said with the file's name and why.
  using SaveBytes = std::function<bool(std::string_view)>;
  using Progress = std::function<bool(std::uint64_t, std::uint64_t)>;
  using SaveWriter =
      std::function<bool(const SaveBytes &, const Progress &, QString &)>;
  void saveAs(const QString &title, const QString &name, const QString &filter,
              const SaveWriter &write);
  void saveFailed(const QString &path, const QString &why);
  // The packets (or seconds) trace of the session so far.
  void saveTrace(bool packets);

  // FormObserver
  void ShapeChanged(ShapeGroup group, int index, const Shape &before) override;
  void LabelChanged(LabelGroup group, int index) override;
  void ComboChanged(ComboId which) override;
  void ButtonChanged(ButtonId which) override;
  void OptionChanged(int index) override;
  void TimerChanged() override;
  void ShowMessage(std::string_view text) override;

  QComboBox *makeCombo(ComboId which, const char *name, const QString &heard);
  QComboBox *combo(ComboId which) const;
  // Shows the box's text, list and text colour as the form holds them.
  void syncCombo(ComboId which);
  void userEdits(ComboId which, const QString &text);
  void userPicks(ComboId which, int index);
  // Runs an event of the form, then asks for the repaints it caused.
  template <class F> void dispatch(F &&event);
  // Places and sizes the widgets at the zoom.
  void layOut();

  MainForm &form_;
  Dialogs dialogs_;
  QMenu *formMenu_ = nullptr;
  QDialog *help_ = nullptr;
  bool saving_ = false;
  std::function<bool(const std::string &)> liveRecording_;
  std::unique_ptr<SessionRecorder> ownRecorder_;
  SessionRecorder *recorder_ = nullptr;
  FormCanvas *canvas_ = nullptr;
  QComboBox *cmbExperiment_ = nullptr;
  QComboBox *cmbData_ = nullptr;
  QPushButton *btnStart_ = nullptr;
  QPushButton *btnPause_ = nullptr;
  std::array<QRadioButton *, 2> optGraphs_{};
  QButtonGroup *views_ = nullptr;
  QTimer *tmrMain_ = nullptr;
  double zoom_ = 1;
  bool fitToScreen_ = false;
  // Set while a box's line edit finishes editing (Enter, or the focus
  // leaves): QComboBox then reports the item matching the typed text as
  // "activated", which is no pick from the list.
  std::array<bool, 2> finishing_{};
  // Events of the form in progress, and the boxes that changed during them.
  int dispatching_ = 0;
  std::array<bool, 2> comboPending_{};
};

} // namespace arrivals
