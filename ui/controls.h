#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "model/types.h"

namespace arrivals {

// The controls of the main form as plain data, in twips, as the window is
// created. The Qt window renders them; nothing here knows about Qt.

inline constexpr Single kTwipsPerPixel = 15;
inline constexpr Single kClientWidth = 12660; // 844 px
inline constexpr Single kClientHeight = 9675; // 645 px
inline constexpr Long kWindowGrey = Rgb(224, 224, 224);
inline constexpr Long kPurple = Rgb(128, 0, 128);
inline constexpr Long kNavy = Rgb(0, 0, 128);
inline constexpr Long kGreen = Rgb(0, 128, 0);
inline constexpr Long kDarkBlue = Rgb(0, 0, 192);

struct Box {
  Single left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Box &) const = default;
};

// Every text is "MS Sans Serif" (or a similar face) at these points.
struct Font {
  float points = 12;
  bool bold = false;
  bool operator==(const Font &) const = default;
};

struct CommandButton {
  Box box;
  std::string caption;
  Font font;
  bool operator==(const CommandButton &) const = default;
};

struct ComboBox {
  Box box;
  std::string text;
  std::vector<std::string> items; // the drop-down list
  Long foreColor = kBlack;
  Font font;
  bool operator==(const ComboBox &) const = default;
};

struct OptionButton {
  Box box;
  std::string caption;
  bool value = false; // selected
  Font font;
  bool operator==(const OptionButton &) const = default;
};

enum class Alignment { Left, Center };

struct Label {
  Box box;
  std::string caption;
  Font font;
  Alignment alignment = Alignment::Left;
  bool transparent = true; // otherwise an opaque window-grey ground
  bool visible = true;
};

enum class ShapeKind { Rectangle, Oval };

struct Shape {
  ShapeKind kind = ShapeKind::Rectangle;
  Box box;
  bool filled = false; // solid fill in fillColor, or no fill
  Long fillColor = kBlack;
  int outlinePixels = 0; // solid outline of this width; 0 for none
  Long outlineColor = kBlack;
  bool visible = true;
};

struct Line {
  Single x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  int widthPixels = 1;
};

struct Image {
  Box box; // shows the 300 x 48 pixel logo at its own size
};

struct Timer {
  Long interval = 50;
  bool enabled = true;
};

// The thick horizontal line of lneGraph that each graph's bars stand on.
inline constexpr std::size_t kGraphOneBaseline = 3;
inline constexpr std::size_t kInterArrivalBaseline = 9;
inline constexpr std::size_t kGraphTwoBaseline = 16;
inline constexpr std::size_t kGraphThreeBaseline = 22;

// Item 7 of lblArrivalGraph does not exist; its slot is marked absent.
struct OptionalLabel {
  bool exists = false;
  Label label;
};

struct Controls {
  ComboBox cmbExperiment;
  CommandButton btnStart;
  CommandButton btnPause;
  ComboBox cmbData;
  std::array<OptionButton, 2> optGraphs;
  Shape shpDataBorder;
  Label lblDataRate;
  Label lblServiced;
  Line Line1;
  std::array<Shape, 51> sPacket;
  std::array<Line, 24> lneGraph;
  std::array<Shape, 8> shpOneBar;
  std::array<Shape, 14> shpInterArrivalBar;
  std::array<Shape, 23> shpTwoBar;
  std::array<Shape, 23> shpThreeBar;
  std::array<Label, 3> lblGraphTitle;
  std::array<Label, 3> lblYAxis;
  std::array<Label, 8> lblGraph;
  Label lblMeanWaitingTime;
  std::array<OptionalLabel, 9> lblArrivalGraph;
  std::array<Label, 8> lblGraphTwo;
  std::array<Label, 8> lblGraphThree;
  Image Image1;
  Timer tmrMain;
};

// The controls with their creation properties.
Controls CreateControls();

// The shapes and labels that the program changes after creation, named by
// group and index in change notifications.
enum class ShapeGroup { Packet, OneBar, InterArrivalBar, TwoBar, ThreeBar };
enum class LabelGroup { Serviced, Graph, GraphTwo, GraphThree, GraphTitle };

const Shape &ShapeAt(const Controls &c, ShapeGroup group, int index);
const Label &LabelAt(const Controls &c, LabelGroup group, int index);

} // namespace arrivals
