#include "window/main_window.h"

#include <algorithm>
#include <utility>

#include <QButtonGroup>
#include <QComboBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTimer>
#include <QWheelEvent>

#include "script/session_recorder.h"
#include "window/canvas.h"
#include "window/fonts.h"
#include "window/pixels.h"

namespace arrivals {

namespace {

std::size_t slot(ComboId which) { return which == ComboId::Experiment ? 0 : 1; }

const ComboBox &comboControl(const Controls &c, ComboId which) {
  return which == ComboId::Experiment ? c.cmbExperiment : c.cmbData;
}

// Buttons, boxes and view buttons have the window grey as their back colour.
void paintGrey(QWidget *w) {
  QPalette pal = w->palette();
  const QColor grey = toColor(kWindowGrey);
  pal.setColor(QPalette::Window, grey);
  pal.setColor(QPalette::Button, grey);
  pal.setColor(QPalette::Base, grey);
  w->setPalette(pal);
}

// A control is found by its name in the form; a person hears a name of its
// own: a box's is set here, and a button's is its caption, which it follows
// as the caption changes ("Start", then "Stop").
void name(QWidget *w, const QString &n, const QString &heard = QString()) {
  w->setObjectName(n);
  w->setAccessibleName(heard);
}

// A push button with a flat face in its palette's button colour, where the
// style would paint a gradient. The outline, the focus ring and the darker
// face while pressed keep the style's colours; the caption is the style's.
class FlatButton final : public QPushButton {
public:
  using QPushButton::QPushButton;

protected:
  void paintEvent(QPaintEvent *) override {
    QStylePainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    const QPalette &pal = opt.palette;
    const bool down =
        (opt.state & (QStyle::State_Sunken | QStyle::State_On)) != 0;
    // The ring shows once the keyboard has moved the focus, as the style's.
    const bool ring = (opt.state & QStyle::State_HasFocus) != 0 &&
                      (opt.state & QStyle::State_KeyboardFocusChange) != 0;
    const QColor highlight = pal.color(QPalette::Highlight);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(ring ? highlight.darker(125)
                  : pal.color(QPalette::Window).darker(140));
    const QColor face = pal.color(QPalette::Button);
    p.setBrush(down ? face.darker(115) : face);
    const QRectF edge = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.drawRoundedRect(edge, 2, 2);
    if (ring) {
      QColor inner = highlight;
      inner.setAlpha(110);
      p.setPen(inner);
      p.setBrush(Qt::NoBrush);
      p.drawRoundedRect(edge.adjusted(1, 1, -1, -1), 1, 1);
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    opt.rect =
        style()->subElementRect(QStyle::SE_PushButtonContents, &opt, this);
    p.drawControl(QStyle::CE_PushButtonLabel, opt);
  }
};

// A box turns with the wheel only while it has the keyboard focus: a wheel
// turned on the way across the window goes on to the window and changes
// nothing. The box does not take the focus on the wheel either.
class FormCombo final : public QComboBox {
public:
  explicit FormCombo(QWidget *parent) : QComboBox(parent) {
    setFocusPolicy(Qt::StrongFocus);
  }

protected:
  void wheelEvent(QWheelEvent *e) override {
    if (hasFocus())
      QComboBox::wheelEvent(e);
    else
      e->ignore();
  }
};

// A view button answers a click anywhere in its box, and every arrow key
// moves the choice and the focus to the next button of its group, round from
// either end.
class ViewButton final : public QRadioButton {
public:
  using QRadioButton::QRadioButton;

protected:
  bool hitButton(const QPoint &pos) const override {
    return rect().contains(pos);
  }

  void keyPressEvent(QKeyEvent *e) override {
    int step = 0;
    switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
      step = -1;
      break;
    case Qt::Key_Right:
    case Qt::Key_Down:
      step = 1;
      break;
    default:
      break;
    }
    const QButtonGroup *g = group();
    if (step == 0 || g == nullptr) {
      QRadioButton::keyPressEvent(e);
      return;
    }
    const QList<QAbstractButton *> buttons = g->buttons();
    const qsizetype n = buttons.size();
    QAbstractButton *next = buttons[(buttons.indexOf(this) + step + n) % n];
    if (isChecked())
      next->click();
    next->setFocus(step < 0 ? Qt::BacktabFocusReason : Qt::TabFocusReason);
  }
};

} // namespace

template <class F> void MainWindow::dispatch(F &&event) {
  ++dispatching_;
  event();
  --dispatching_;
  canvas_->flushBars();
  for (ComboId which : {ComboId::Experiment, ComboId::Data})
    if (std::exchange(comboPending_[slot(which)], false))
      syncCombo(which);
}

MainWindow::MainWindow(MainForm &form, Start start, QWidget *parent)
    : QWidget(parent), form_(form),
      ownRecorder_(std::make_unique<SessionRecorder>(form)),
      recorder_(ownRecorder_.get()) {
  const Controls &c = form_.controls();
  setWindowTitle(QStringLiteral("Arrivals"));
  setWindowIcon(QIcon(QStringLiteral(":/arrivals/icon.png")));
  setObjectName(QStringLiteral("frmMain"));
  setDialogs({});
  setAccessibleName(QStringLiteral("Arrivals"));
  QPalette pal = palette();
  pal.setColor(QPalette::Window, toColor(kWindowGrey));
  setPalette(pal);

  canvas_ = new FormCanvas(c, this);
  canvas_->setForm(&form_);
  // The layout is fixed in twips: the window does not follow its size.
  setFixedSize(canvas_->sizeHint());

  cmbExperiment_ = makeCombo(ComboId::Experiment, "cmbExperiment",
                             QStringLiteral("Arrival process"));

  const auto makeButton = [this](const CommandButton &b, const char *n) {
    auto *w = new FlatButton(QString::fromStdString(b.caption), this);
    name(w, QString::fromLatin1(n));
    w->setAutoDefault(true); // Enter presses the focused button, as Space does
    paintGrey(w);
    return w;
  };
  btnStart_ = makeButton(c.btnStart, "btnStart");
  btnPause_ = makeButton(c.btnPause, "btnPause");
  connect(btnStart_, &QPushButton::clicked, this,
          [this] { dispatch([this] { recorder_->ClickStart(); }); });
  connect(btnPause_, &QPushButton::clicked, this,
          [this] { dispatch([this] { recorder_->ClickPause(); }); });

  cmbData_ =
      makeCombo(ComboId::Data, "cmbData", QStringLiteral("Packets per second"));

  views_ = new QButtonGroup(this);
  views_->setExclusive(true);
  for (std::size_t i = 0; i < optGraphs_.size(); ++i) {
    const OptionButton &o = c.optGraphs[i];
    auto *w = new ViewButton(QString::fromStdString(o.caption), this);
    name(w, QStringLiteral("optGraphs(%1)").arg(i));
    w->setChecked(o.value);
    paintGrey(w);
    views_->addButton(w, static_cast<int>(i));
    optGraphs_[i] = w;
  }
  // Checked by a click, a key or a screen reader's "toggle" (which checks
  // the button without clicking it): each selects its view.
  connect(views_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
    if (checked)
      dispatch([this, id] { recorder_->ClickView(id); });
  });

  layOut();
  const auto shortcut = [this](const QKeySequence &keys,
                               double (*step)(double)) {
    connect(new QShortcut(keys, this), &QShortcut::activated, this,
            [this, step] { setZoom(step(zoom_)); });
  };
  shortcut(QKeySequence::ZoomIn, ZoomIn);
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_Equal), ZoomIn); // + unshifted
  shortcut(QKeySequence::ZoomOut, ZoomOut);
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_0), [](double) { return 1.0; });
  connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated,
          this, &MainWindow::showHelp);
  connect(new QShortcut(QKeySequence(Qt::Key_F2), this), &QShortcut::activated,
          canvas_, &FormCanvas::sayState);

  setTabOrder(cmbData_, btnPause_);
  setTabOrder(btnPause_, cmbExperiment_);
  setTabOrder(cmbExperiment_, btnStart_);
  setTabOrder(btnStart_, optGraphs_[0]);
  setTabOrder(optGraphs_[0], optGraphs_[1]);

  tmrMain_ = new QTimer(this);
  tmrMain_->setObjectName(QStringLiteral("tmrMain"));
  tmrMain_->setTimerType(Qt::PreciseTimer);
  connect(tmrMain_, &QTimer::timeout, this, &MainWindow::timerTick);

  form_.SetObserver(this);
  ComboChanged(ComboId::Experiment);
  ComboChanged(ComboId::Data);
  if (start == Start::Load) {
    dispatch([this] { form_.Form_Load(); });
  } else {
    // The canvas reads the form as it paints; the widgets take its state.
    ButtonChanged(ButtonId::Start);
    ButtonChanged(ButtonId::Pause);
    OptionChanged(0);
    TimerChanged();
  }
  ownRecorder_->Loaded();
  cmbData_->setFocus();
}

MainWindow::~MainWindow() {
  // The children outlive this part of the window: a box losing the focus
  // as it goes must no longer reach the form.
  for (QObject *child : findChildren<QObject *>())
    child->disconnect(this);
  form_.SetObserver(nullptr);
}

QComboBox *MainWindow::makeCombo(ComboId which, const char *n,
                                 const QString &heard) {
  auto *box = new FormCombo(this);
  name(box, QString::fromLatin1(n), heard);
  paintGrey(box);
  // Enter adds nothing: the list holds exactly what start-up puts there.
  box->setInsertPolicy(QComboBox::NoInsert);

  // The line edit is made here so that the slot marking the end of an edit
  // is connected before the box's own, and the one clearing it after.
  auto *edit = new QLineEdit(box);
  edit->setAccessibleName(heard);
  const std::size_t i = slot(which);
  connect(edit, &QLineEdit::editingFinished, this,
          [this, i] { finishing_[i] = true; });
  box->setLineEdit(edit);
  connect(edit, &QLineEdit::editingFinished, this, [this, i, which] {
    finishing_[i] = false;
    ComboChanged(which); // undo anything the box did to the text itself
  });
  // No completion: every keystroke is one change of the text, as typed.
  box->setCompleter(nullptr);

  // textEdited comes from the user only (a keystroke, a paste, a cut); a
  // text set by the program reaches the form through the form itself.
  connect(edit, &QLineEdit::textEdited, this,
          [this, which](const QString &text) { userEdits(which, text); });
  connect(box, &QComboBox::activated, this, [this, which, i](int index) {
    if (!finishing_[i])
      userPicks(which, index);
  });
  return box;
}

QComboBox *MainWindow::combo(ComboId which) const {
  return which == ComboId::Experiment ? cmbExperiment_ : cmbData_;
}

void MainWindow::userEdits(ComboId which, const QString &text) {
  dispatch([this, which, t = text.toStdString()]() mutable {
    recorder_->Type(which, std::move(t));
  });
  // A typed item of the list becomes its current item, so that the arrow
  // keys step on from the text shown.
  syncCombo(which);
}

void MainWindow::userPicks(ComboId which, int index) {
  dispatch([this, which, index] { recorder_->Pick(which, index); });
  ComboChanged(which);
}

void MainWindow::setZoom(double zoom) {
  zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
  if (fitToScreen_) {
    if (const QScreen *s = screen()) {
      // Room for the window's frame too: as it is once shown, or as a
      // common title bar and border before.
      QSize frame = frameGeometry().size() - geometry().size();
      if (frame.isEmpty())
        frame = QSize(16, 48);
      const QSize room = s->availableGeometry().size() - frame;
      zoom = FitZoom(zoom, room.width(), room.height());
    }
  }
  if (zoom == zoom_)
    return;
  zoom_ = zoom;
  layOut();
}

void MainWindow::layOut() {
  const Controls &c = form_.controls();
  canvas_->setZoom(zoom_);
  setFixedSize(canvas_->sizeHint());
  const auto place = [this](QWidget *w, const Box &box, const Font &font) {
    w->setGeometry(toPixels(box, zoom_));
    w->setFont(toQFont(font, zoom_));
  };
  place(cmbExperiment_, c.cmbExperiment.box, c.cmbExperiment.font);
  place(btnStart_, c.btnStart.box, c.btnStart.font);
  place(btnPause_, c.btnPause.box, c.btnPause.font);
  place(cmbData_, c.cmbData.box, c.cmbData.font);
  for (std::size_t i = 0; i < optGraphs_.size(); ++i)
    place(optGraphs_[i], c.optGraphs[i].box, c.optGraphs[i].font);

  QRegion covered;
  for (const QWidget *w : std::initializer_list<const QWidget *>{
           cmbExperiment_, btnStart_, btnPause_, cmbData_, optGraphs_[0],
           optGraphs_[1]})
    covered += w->geometry();
  canvas_->setCovered(covered);
}

void MainWindow::timerTick() {
  dispatch([this] { recorder_->TimerEvent(); });
}

// --- FormObserver -----------------------------------------------------------

void MainWindow::ShapeChanged(ShapeGroup group, int index,
                              const Shape &before) {
  canvas_->shapeChanged(group, index, before);
}

void MainWindow::LabelChanged(LabelGroup group, int index) {
  canvas_->labelChanged(group, index);
}

// Brings the widget in line with the form: list, text and text colour. The
// widget's signals are blocked meanwhile, so a text set by the program does
// not come back to the form as an edit.
void MainWindow::ComboChanged(ComboId which) {
  // Inside an event the box is brought up to date once, at its end: a tick
  // of a Pareto process at its scale turns the name black and red again,
  // which must not reach the widget as two changes.
  if (dispatching_ > 0)
    comboPending_[slot(which)] = true;
  else
    syncCombo(which);
}

void MainWindow::syncCombo(ComboId which) {
  QComboBox *box = combo(which);
  if (box == nullptr)
    return; // still being made
  const ComboBox &c = comboControl(form_.controls(), which);
  QLineEdit *edit = box->lineEdit();
  const QSignalBlocker blockBox(box);
  const QSignalBlocker blockEdit(edit);

  // The form fills each list once, from empty, so its length tells whether
  // the widget's list is still to be filled.
  if (box->count() != static_cast<int>(c.items.size())) {
    box->clear();
    for (const std::string &item : c.items)
      box->addItem(QString::fromStdString(item));
  }

  const QString text = QString::fromStdString(c.text);
  // The list's current item follows the text where the text is an item, so
  // the arrow keys step on from there.
  const int item =
      box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (item >= 0 && item != box->currentIndex())
    box->setCurrentIndex(item);
  if (edit->text() != text)
    edit->setText(text);

  const QColor ink = toColor(c.foreColor);
  QPalette pal = edit->palette();
  if (pal.color(QPalette::Text) != ink) {
    pal.setColor(QPalette::Text, ink);
    edit->setPalette(pal);
  }
}

void MainWindow::ButtonChanged(ButtonId which) {
  const Controls &c = form_.controls();
  if (which == ButtonId::Start)
    btnStart_->setText(QString::fromStdString(c.btnStart.caption));
  else
    btnPause_->setText(QString::fromStdString(c.btnPause.caption));
}

void MainWindow::OptionChanged(int index) {
  (void)index;
  // An exclusive group refuses to clear its checked button; lift that while
  // both buttons take the form's values.
  const QSignalBlocker block(views_);
  views_->setExclusive(false);
  bool any = false;
  for (const OptionButton &o : form_.controls().optGraphs)
    any = any || o.value;
  for (std::size_t i = 0; i < optGraphs_.size(); ++i) {
    const bool value = form_.controls().optGraphs[i].value;
    const QSignalBlocker blockButton(optGraphs_[i]);
    optGraphs_[i]->setChecked(value);
    // Tab comes to the group at its selected button; the arrow keys move
    // between the two.
    optGraphs_[i]->setFocusPolicy(value || !any ? Qt::StrongFocus
                                                : Qt::ClickFocus);
  }
  views_->setExclusive(true);
}

void MainWindow::TimerChanged() {
  const Timer &t = form_.controls().tmrMain;
  if (!t.enabled)
    tmrMain_->stop();
  else if (!tmrMain_->isActive())
    tmrMain_->start(static_cast<int>(t.interval));
}

void MainWindow::ShowMessage(std::string_view text) {
  // Show what the tick has done so far behind the box.
  canvas_->flushBars();
  QMessageBox box(
      QMessageBox::NoIcon, windowTitle(),
      QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
      QMessageBox::Ok, this);
  box.setObjectName(QStringLiteral("message"));
  // The timer goes on meanwhile; the form drops its events until OK.
  box.exec();
}

} // namespace arrivals
