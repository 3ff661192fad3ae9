#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/simulation.h"
#include "model/window_port.h"
#include "ui/controls.h"

namespace arrivals {

class RandomSource;
class RunTrace;
namespace testing {
struct FormProbe;
} // namespace testing

enum class ComboId { Experiment, Data };
enum class ButtonId { Start, Pause };

// The counts behind the bars of the four graphs as they were last drawn:
// what the bars show, kept when the bars were set and never recomputed from
// the tallies, which move on between redraws.
struct DrawnCounts {
  std::array<Integer, 8> one{};   // graph one, seconds with k packets
  std::array<Integer, 14> gaps{}; // inter-arrival histogram, quarter seconds
  std::array<Integer, 23> two{};  // graph two, in the view last drawn
  std::array<Integer, 23> three{};
};

// Told of every change the program makes to a control after creation, right
// after it is made, and asked to show the message boxes. Each call does
// nothing unless overridden: the Qt window overrides them all, the script
// session only ShowMessage. With no observer attached the form runs on its
// own and a message box is closed with OK at once.
class FormObserver {
public:
  // An observer of message boxes alone is told of no changes, so that the
  // form makes none of those calls (a headless run makes millions).
  enum class Wants { Everything, MessagesOnly };

  explicit FormObserver(Wants wants = Wants::Everything) : wants_(wants) {}
  virtual ~FormObserver() = default;
  FormObserver(const FormObserver &) = default;
  FormObserver &operator=(const FormObserver &) = default;

  Wants wants() const { return wants_; }

  // `before` is the shape as it was: its old box is what needs repainting.
  virtual void ShapeChanged(ShapeGroup /*group*/, int /*index*/,
                            const Shape & /*before*/) {}
  virtual void LabelChanged(LabelGroup /*group*/, int /*index*/) {}
  // Text, list or colour of a box; a change of text made by the program.
  virtual void ComboChanged(ComboId /*which*/) {}
  virtual void ButtonChanged(ButtonId /*which*/) {}
  virtual void OptionChanged(int /*index*/) {}
  virtual void TimerChanged() {}
  // Shows the modal box and returns when OK has closed it.
  virtual void ShowMessage(std::string_view /*text*/) {}

private:
  Wants wants_;
};

// The main form: its controls as data, the run it owns, and the handlers
// that the window (or a script) feeds with events. It is the model's window
// port, which no one else needs to see.
class MainForm final : private WindowPort {
public:
  explicit MainForm(RandomSource &random);

  MainForm(const MainForm &) = delete;
  MainForm &operator=(const MainForm &) = delete;

  // One observer at a time; null detaches it.
  void SetObserver(FormObserver *observer) {
    observer_ = observer;
    changes_ = observer != nullptr &&
                       observer->wants() == FormObserver::Wants::Everything
                   ? observer
                   : nullptr;
  }
  FormObserver *observer() const { return observer_; }
  // Told what the run does from here on, for a record of it; null stops it.
  void SetTrace(RunTrace *trace) { sim_.trace = trace; }

  const Controls &controls() const { return c_; }
  const RunState &state() const { return sim_.state; }
  // The counts the bars show, and a number that DrawGraphs and ResetGraphs
  // bump, so that a reader of the graphs learns cheaply whether to read
  // them again.
  const DrawnCounts &drawnCounts() const { return drawn_; }
  std::uint32_t graphsVersion() const { return graphsVersion_; }

  // --- Events from the user and the timer --------------------------------

  // The window is created: the start-up sequence.
  void Form_Load();
  void btnStart_Click();
  void btnPause_Click();
  // The user changed the whole text of a box (a keystroke, a paste, a cut):
  // the text is stored and the change handling runs.
  void UserEditsExperiment(std::string text);
  void UserEditsData(std::string text);
  // The user picked item `index` of a box's list: the text becomes the item
  // and the click handling runs once. Returns false for an index out of range.
  bool UserPicksExperiment(int index);
  bool UserPicksData(int index);
  // The user selects view button `index` (0 or 1). Nothing happens when it
  // is already selected.
  void UserSelectsView(int index);
  // The selected view button, or -1 while neither is selected.
  int SelectedView() const;
  // One event of tmrMain. Dropped while the timer is disabled or while a
  // tick is still running (a message box is open). Returns whether it ran.
  bool TimerEvent();

  // --- Handlers of the form ---------------------------------------------
  void cmbData_Change();
  void cmbData_Click();
  void cmbExperiment_Change();
  void cmbExperiment_Click();
  void optGraphs_Click(Integer Index);
  void tmrMain_Timer();

  // Graph drawing
  void DrawGraphs();
  void ResetGraphs();

private:
  // Tests reach the run state and the window port through it, to set up
  // states that take long to reach by events.
  friend struct testing::FormProbe;

  // --- WindowPort --------------------------------------------------------
  Long TimerInterval() const override { return c_.tmrMain.interval; }
  const std::string &ExperimentText() const override {
    return c_.cmbExperiment.text;
  }
  const std::string &DataText() const override { return c_.cmbData.text; }
  Long ExperimentColor() const override { return c_.cmbExperiment.foreColor; }
  void SetExperimentColor(Long color) override;
  bool PacketVisible(Integer i) const override {
    return c_.sPacket[static_cast<std::size_t>(i)].visible;
  }
  void SetPacketVisible(Integer i, bool visible) override;
  Single PacketLeft(Integer i) const override {
    return c_.sPacket[static_cast<std::size_t>(i)].box.left;
  }
  void SetPacketLeft(Integer i, Single left) override;
  void SetPacketTop(Integer i, Single top) override;
  void SetPacketFillColor(Integer i, Long color) override;
  void SetServicedCaption(std::string_view caption) override;
  void ShowMessage(std::string_view text) override;
  void RequestRedraw() override { DrawGraphs(); }

  void FillLists();
  void SelectView(int index); // runs optGraphs_Click when it changes
  void Notify(ComboId which);
  template <class Change> void ChangePacket(Integer i, Change change);
  void SetExperimentText(std::string text); // runs cmbExperiment_Change
  void SetDataText(std::string text);       // runs cmbData_Change
  void SetButtonCaption(ButtonId which, std::string caption);
  void SetTimerEnabled(bool enabled);
  void SetOption(int index, bool value);
  void SetLabelCaption(LabelGroup group, int index, std::string caption);
  void SetLabelVisible(LabelGroup group, int index, bool visible);
  Label &MutableLabel(LabelGroup group, int index);
  Shape &PacketAt(Integer i);
  void SetBar(ShapeGroup group, Shape &bar, int index, Single top,
              Single height);
  template <std::size_t N, std::size_t M>
  void ScaleGraph(ShapeGroup group, std::array<Shape, N> &bars,
                  const std::array<Integer, M> &data, const Line &baseline,
                  double fullHeight, std::array<Integer, N> &drawn);
  template <std::size_t N>
  void FlattenGraph(ShapeGroup group, std::array<Shape, N> &bars,
                    const Line &baseline);

  Controls c_;
  Simulation sim_;
  RandomSource &random_;
  FormObserver *observer_ = nullptr;
  FormObserver *changes_ = nullptr; // the observer, if it wants the changes
  bool inTick_ = false;
  DrawnCounts drawn_;
  std::uint32_t graphsVersion_ = 0;
};

} // namespace arrivals
