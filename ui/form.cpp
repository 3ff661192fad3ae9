#include "ui/form.h"

#include <utility>

#include "model/arrival_processes.h"
#include "model/numbers.h"
#include "model/random_source.h"

namespace arrivals {

namespace {

constexpr const char *kRates[] = {"0.1", "0.5", "1.0", "1.5", "2.0",
                                  "2.5", "3.0", "3.5", "4.0"};
constexpr double kHighestRate = 10;

// Clears a flag for the length of a scope, also when the scope is left by an
// exception.
class FlagGuard {
public:
  explicit FlagGuard(bool &flag) : flag_(flag) { flag_ = true; }
  ~FlagGuard() { flag_ = false; }
  FlagGuard(const FlagGuard &) = delete;
  FlagGuard &operator=(const FlagGuard &) = delete;

private:
  bool &flag_;
};

} // namespace

MainForm::MainForm(RandomSource &random)
    : c_(CreateControls()), sim_(*this, random), random_(random) {}

// --- Start-up ---------------------------------------------------------------

void MainForm::Form_Load() {
  RunState &s = sim_.state;
  random_.Randomize();
  FillLists();
  SelectView(0); // the time-series view; its click handling resets the graphs
  sim_.BuildCantorTable();
  sim_.ResetSimulation();
  ResetGraphs();
  s.lastPacket = 50;
  s.packetStep = 250;
  s.stopped = true;
  SetTimerEnabled(false);
}

void MainForm::FillLists() {
  for (const ArrivalProcess &p : kArrivalProcesses)
    c_.cmbExperiment.items.emplace_back(p.name);
  Notify(ComboId::Experiment);
  SetExperimentText(std::string(kStartProcess));
  for (const char *rate : kRates)
    c_.cmbData.items.emplace_back(rate);
  Notify(ComboId::Data);
  SetDataText("2.0"); // accepted by the change handling: lastRate is 2
}

// --- Run control ------------------------------------------------------------

void MainForm::btnStart_Click() {
  RunState &s = sim_.state;
  if (c_.btnStart.caption == "Start") {
    sim_.ResetSimulation();
    ResetGraphs();
    SetTimerEnabled(true);
    SetButtonCaption(ButtonId::Start, "Stop");
    SetButtonCaption(ButtonId::Pause, "Pause");
    s.stopped = false;
    // The first redraw after a start leaves every graph flat.
    s.skipGraphOne = true;
    s.skipGraphTwo = true;
    s.skipGraphThree = true;
  } else {
    s.stopped = true;
    SetTimerEnabled(false);
    SetButtonCaption(ButtonId::Start, "Start");
    SetButtonCaption(ButtonId::Pause, "Pause");
  }
}

void MainForm::btnPause_Click() {
  if (c_.btnPause.caption == "Pause") {
    SetTimerEnabled(false);
    SetButtonCaption(ButtonId::Pause, "Cont");
  } else {
    SetTimerEnabled(true);
    SetButtonCaption(ButtonId::Pause, "Pause");
  }
}

void MainForm::cmbData_Change() {
  const double rate = LeadingNumber(c_.cmbData.text);
  if (rate >= 0 && rate <= kHighestRate) {
    sim_.state.lastRate = rate;
  } else {
    // Show the last accepted rate again; its text reads back inside the
    // range, so the change handling that this runs accepts it.
    SetDataText(NumberText(sim_.state.lastRate));
  }
}

void MainForm::cmbData_Click() { cmbData_Change(); }

void MainForm::cmbExperiment_Change() {
  sim_.ResetSimulation();
  ResetGraphs();
}

void MainForm::cmbExperiment_Click() { cmbExperiment_Change(); }

void MainForm::tmrMain_Timer() { sim_.tmrMain_Timer(); }

// --- Events -----------------------------------------------------------------

void MainForm::UserEditsExperiment(std::string text) {
  c_.cmbExperiment.text = std::move(text);
  cmbExperiment_Change();
}

void MainForm::UserEditsData(std::string text) {
  c_.cmbData.text = std::move(text);
  cmbData_Change();
}

namespace {

// Puts item `index` of a box's list into its text; false when there is no
// such item.
bool TakeItem(ComboBox &box, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= box.items.size())
    return false;
  box.text = box.items[static_cast<std::size_t>(index)];
  return true;
}

} // namespace

bool MainForm::UserPicksExperiment(int index) {
  if (!TakeItem(c_.cmbExperiment, index))
    return false;
  cmbExperiment_Click();
  return true;
}

bool MainForm::UserPicksData(int index) {
  if (!TakeItem(c_.cmbData, index))
    return false;
  cmbData_Click();
  return true;
}

void MainForm::UserSelectsView(int index) { SelectView(index); }

bool MainForm::TimerEvent() {
  // A tick that waits on a message box is still running: events that
  // arrive meanwhile are dropped, not queued.
  if (!c_.tmrMain.enabled || inTick_)
    return false;
  FlagGuard guard(inTick_);
  tmrMain_Timer();
  return true;
}

int MainForm::SelectedView() const {
  if (c_.optGraphs[0].value)
    return 0;
  if (c_.optGraphs[1].value)
    return 1;
  return -1;
}

void MainForm::SelectView(int index) {
  if (index < 0 || index > 1 ||
      c_.optGraphs[static_cast<std::size_t>(index)].value)
    return;
  SetOption(index, true);
  SetOption(1 - index, false);
  optGraphs_Click(static_cast<Integer>(index));
}

// --- Setters that tell the view -------------------------------------------

void MainForm::SetExperimentText(std::string text) {
  c_.cmbExperiment.text = std::move(text);
  Notify(ComboId::Experiment);
  cmbExperiment_Change();
}

void MainForm::SetDataText(std::string text) {
  c_.cmbData.text = std::move(text);
  Notify(ComboId::Data);
  cmbData_Change();
}

void MainForm::Notify(ComboId which) {
  if (changes_)
    changes_->ComboChanged(which);
}

void MainForm::SetButtonCaption(ButtonId which, std::string caption) {
  CommandButton &b = which == ButtonId::Start ? c_.btnStart : c_.btnPause;
  b.caption = std::move(caption);
  if (changes_)
    changes_->ButtonChanged(which);
}

void MainForm::SetTimerEnabled(bool enabled) {
  c_.tmrMain.enabled = enabled;
  if (changes_)
    changes_->TimerChanged();
}

void MainForm::SetOption(int index, bool value) {
  c_.optGraphs[static_cast<std::size_t>(index)].value = value;
  if (changes_)
    changes_->OptionChanged(index);
}

Label &MainForm::MutableLabel(LabelGroup group, int index) {
  return const_cast<Label &>(LabelAt(std::as_const(c_), group, index));
}

void MainForm::SetLabelCaption(LabelGroup group, int index,
                               std::string caption) {
  MutableLabel(group, index).caption = std::move(caption);
  if (changes_)
    changes_->LabelChanged(group, index);
}

void MainForm::SetLabelVisible(LabelGroup group, int index, bool visible) {
  MutableLabel(group, index).visible = visible;
  if (changes_)
    changes_->LabelChanged(group, index);
}

// --- WindowPort
// ---------------------------------------------------------------

void MainForm::SetExperimentColor(Long color) {
  c_.cmbExperiment.foreColor = color;
  Notify(ComboId::Experiment);
}

Shape &MainForm::PacketAt(Integer i) {
  return c_.sPacket[static_cast<std::size_t>(i)];
}

template <class Change> void MainForm::ChangePacket(Integer i, Change change) {
  Shape &p = PacketAt(i);
  if (!changes_) {
    change(p);
    return;
  }
  const Shape before = p;
  change(p);
  changes_->ShapeChanged(ShapeGroup::Packet, i, before);
}

void MainForm::SetPacketVisible(Integer i, bool visible) {
  ChangePacket(i, [visible](Shape &p) { p.visible = visible; });
}

void MainForm::SetPacketLeft(Integer i, Single left) {
  ChangePacket(i, [left](Shape &p) { p.box.left = left; });
}

void MainForm::SetPacketTop(Integer i, Single top) {
  ChangePacket(i, [top](Shape &p) { p.box.top = top; });
}

void MainForm::SetPacketFillColor(Integer i, Long color) {
  ChangePacket(i, [color](Shape &p) { p.fillColor = color; });
}

void MainForm::SetServicedCaption(std::string_view caption) {
  SetLabelCaption(LabelGroup::Serviced, 0, std::string(caption));
}

void MainForm::ShowMessage(std::string_view text) {
  if (observer_)
    observer_->ShowMessage(text);
}

} // namespace arrivals
