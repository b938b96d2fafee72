#include "gui/explorer/form_explorer.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QStringList>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <future>

#include "base/run_error.h"
#include "base/text_number.h"
#include "geometry/body_names.h"
#include "geometry/geometry_file.h"
#include "gui/explorer/boundary_layer_view.h"
#include "gui/explorer/checked_spin_box.h"
#include "gui/explorer/convergence_view.h"
#include "gui/explorer/drag_polar_view.h"
#include "gui/explorer/elements_box.h"
#include "gui/explorer/explorer_charts.h"
#include "gui/explorer/explorer_text.h"
#include "gui/explorer/flow_view.h"
#include "gui/explorer/numbers_view.h"
#include "gui/explorer/view_export.h"

namespace velquin {
namespace {

constexpr int kTenths = 10;  // slider steps per degree

// How long a frame waits for its boundary layers beyond its own computation.
constexpr std::chrono::milliseconds kLayersWait(40);

// The window's size where the screen allows it, and the least it is laid out for.
constexpr int kPreferredWidth = 1500;
constexpr int kPreferredHeight = 950;
constexpr int kLeastWidth = 1024;
constexpr int kLeastHeight = 700;

// The bodies offered in the lists, by the names the command line gives them; any other
// name the command line knows can be typed in.
const char* const kBodyPresets[] = {"circle",
                                    "naca0012",
                                    "naca2412",
                                    "naca4415",
                                    "naca23012",
                                    "joukowski:-0.1:0.1",
                                    "karman-trefftz:-0.1:0.1:10"};

// What an entry of the body list stands for (its item data): a name to look up, a body
// handed over as it is (an index into given_bodies_), or the coordinate file loaded.
constexpr int kNamedBody = -1;
constexpr int kFileBody = -2;

// The most lines a refused input's message takes below the inputs.
constexpr int kProblemLines = 6;

// A message as the problem label can show it in `width`: a word wider than the label (a
// long body name or path, which word wrap cannot break) is cut in its middle, and a
// message longer than kProblemLines lines ends in an ellipsis. The label thus never asks
// for more room than its column, and the inputs above it keep theirs.
QString FittedProblemText(const QString& message, const QFontMetrics& metrics, int width) {
  QStringList words = message.split(QLatin1Char(' '));
  for (QString& word : words) {
    if (metrics.horizontalAdvance(word) > width) {
      word = metrics.elidedText(word, Qt::ElideMiddle, width);
    }
  }
  const auto height = [&](const QString& text) {
    return metrics.boundingRect(QRect(0, 0, width, 1 << 20), Qt::TextWordWrap, text).height();
  };
  QString text = words.join(QLatin1Char(' '));
  while (words.size() > 1 && height(text) > kProblemLines * metrics.lineSpacing()) {
    words.removeLast();
    text = words.join(QLatin1Char(' ')) + QChar(0x2026);
  }
  return text;
}

// The second set's vortex models, in the order of its list.
const VortexModel kCompareModels[] = {VortexModel::kConstantDistribution, VortexModel::kPointVortex,
                                      VortexModel::kNone};

const char* const kGuide = R"(<h3>The flow explorer</h3>
<p>The panel solution of the body on the left, following the angle of attack.</p>
<ul>
<li><b>Flow</b>: streamlines over the pressure coefficient (colour bar on the right). The thick
line is the dividing streamline; the red circle the front stagnation point, white circles
rear ones; the purple &#915; the point vortex. The scale bar is in chord lengths, the
pointer's coordinates are shown at the lower right. Wheel: zoom, drag: pan, double click:
the whole domain; the streamlines are drawn again for the part on show.</li>
<li><b>Pressure</b>: Cp along the upper and the lower surface (&#8722;Cp upwards), the exact
solution where the body has one, the second set dashed, Cp files dash-dotted.</li>
<li><b>Polar</b>: Cl from the circulation and from the pressure against &#945;, the
thin-airfoil line, Cm about the quarter chord (right axis); the dot is the current angle.
Polar files are drawn with their points.</li>
<li><b>Convergence</b>: Run solves the verification case of the body's family (circle,
ellipse, Karman-Trefftz, Joukowski) at 16 to 1024 panels in the background and plots each
error against the panel count; the legend gives the observed orders. Cancel stops it.</li>
<li><b>Numbers</b>: lift, moment (each beside its exact value where the body has one),
suction peak, stagnation point, net source output.</li>
<li><b>Flow conditions</b>: a Reynolds number (for example 1e6; empty: inviscid) adds the
boundary layers of every element (circulation on; not on a circle), with e^N transition
at Ncrit. The displacement thickness is drawn on each element as a band (true scale),
transition (green diamond) and separation (red cross) are marked on the body and on the
viscous Cp (dotted); the numbers add the viscous lift, the drag and where the layers turn
and separate, in all and element by element. The row below the charts shows the layers
(H, Cf, N, &#948;*) of the element chosen and the drag polar with Cl/Cd, computed in the
background over the polar's angles (above a ground one angle at a time; Cancel stops
it).</li>
</ul>
<p>Numbers are typed with a point as the decimal separator and taken on Return or when
the box is left; a value outside a box's range is named and not taken.</p>
<p><b>Compare</b> shows a second body, panel count or vortex model in the charts.
<b>File &gt; Overlay</b> lays an XFOIL polar (PACC) or Cp file (CPWR) or a CSV file
(x,cp or alpha,cl[,cd,cm]) over the charts. A session file keeps everything shown.</p>
<h4>Keys</h4>
<table>
<tr><td>&#8592; &#8594;</td><td>angle by 0.1&#176; (slider focused)</td></tr>
<tr><td>Page Up / Down</td><td>angle by 1&#176;</td></tr>
<tr><td>Ctrl+O / Ctrl+S</td><td>open / save a session</td></tr>
<tr><td>Ctrl+E</td><td>export the views (PNG) and their data (CSV) into a folder</td></tr>
<tr><td>Ctrl+Shift+C</td><td>copy the numbers</td></tr>
<tr><td>F1</td><td>this guide</td></tr>
</table>
<p>A right click on a view saves it as PNG or SVG, its data as CSV, or copies it.</p>)";

const char* const kReynoldsTip =
    "The Reynolds number on the chord, 1000 to 1e9 (for example 1e6): the boundary layers\n"
    "of every element with e^N transition. Empty: the inviscid flow. Taken on Return or\n"
    "when the box is left.";

CheckedDoubleSpinBox* NewLengthBox(QWidget* parent, const char* name, const QString& tip) {
  auto* box = new CheckedDoubleSpinBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setRange(-10, 10);
  box->setDecimals(3);
  box->setSingleStep(0.01);
  box->setToolTip(tip);
  return box;
}

QString Degrees(double value) {
  return FixedText(value, 2).remove(QRegularExpression(QStringLiteral("\\.?0+$")));
}

QString FileName(const QString& path) {
  return QFileInfo(path).fileName();
}

}  // namespace

Form_Explorer::Form_Explorer(const RunInputs& inputs, QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("Form_Explorer"));
  setWindowTitle(QStringLiteral("Velquin2DS - Flow explorer"));
  setAttribute(Qt::WA_DeleteOnClose, false);

  auto* central = new QWidget(this);
  auto* layout = new QHBoxLayout(central);
  layout->setContentsMargins(4, 4, 4, 4);
  auto* scroll = new QScrollArea(central);
  scroll->setObjectName(QStringLiteral("Scroll_Inputs"));
  scroll->setWidgetResizable(true);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll->setFixedWidth(300);
  auto* panel = new QWidget(scroll);
  CreateInputs(panel);
  scroll->setWidget(panel);
  // The inputs scroll on a small screen; a refused input's message stays in sight below.
  auto* left = new QVBoxLayout;
  left->addWidget(scroll, 1);
  problem_label_ = new QLabel(central);
  problem_label_->setObjectName(QStringLiteral("Label_Problem"));
  problem_label_->setWordWrap(true);
  problem_label_->setFixedWidth(300);
  problem_label_->setStyleSheet(QStringLiteral("color: #b00000"));
  left->addWidget(problem_label_);
  layout->addLayout(left);

  charts_splitter_ = new QSplitter(Qt::Horizontal);
  viscous_splitter_ = new QSplitter(Qt::Horizontal);
  top_splitter_ = new QSplitter(Qt::Vertical);
  layout->addWidget(top_splitter_, 1);
  setCentralWidget(central);

  // The views: one line each.
  flow_view_ = new FlowView(central);
  RegisterView(flow_view_, ViewPlace::kTop);
  pressure_chart_ = new PressureChart(central);
  RegisterView(pressure_chart_, ViewPlace::kCharts);
  polar_chart_ = new PolarChart(central);
  RegisterView(polar_chart_, ViewPlace::kCharts);
  RegisterView(new ConvergenceView(central), ViewPlace::kCharts);
  numbers_view_ = new NumbersView(central);
  RegisterView(numbers_view_, ViewPlace::kPanel);
  boundary_layer_view_ = new BoundaryLayerView(central);
  RegisterView(boundary_layer_view_, ViewPlace::kViscous);
  drag_polar_view_ = new DragPolarView(central);
  RegisterView(drag_polar_view_, ViewPlace::kViscous);

  top_splitter_->addWidget(charts_splitter_);
  top_splitter_->addWidget(viscous_splitter_);
  viscous_splitter_->setVisible(false);
  top_splitter_->setStretchFactor(0, 3);
  top_splitter_->setStretchFactor(1, 2);
  pressure_chart_->setMinimumHeight(230);
  polar_chart_->setMinimumHeight(230);

  layers_timer_ = new QTimer(this);
  layers_timer_->setSingleShot(true);
  layers_timer_->setInterval(15);
  connect(layers_timer_, &QTimer::timeout, this, &Form_Explorer::OnLayersTimer);

  view_timer_ = new QTimer(this);
  view_timer_->setSingleShot(true);
  view_timer_->setInterval(120);  // a new view grid once the wheel or the drag rests
  connect(view_timer_, &QTimer::timeout, this, &Form_Explorer::UpdateViewGrid);
  flow_view_->SetViewChangedHandler([this] { view_timer_->start(); });

  CreateMenus();
  for (QWidget* input : findChildren<QWidget*>()) {
    if (qobject_cast<QLineEdit*>(input) || qobject_cast<QAbstractSpinBox*>(input) ||
        qobject_cast<QComboBox*>(input) ||
        (qobject_cast<QAbstractSlider*>(input) && !qobject_cast<QScrollBar*>(input))) {
      input->installEventFilter(this);
      // The wheel scrolls the panel of inputs unless the box or slider was chosen first.
      if (!qobject_cast<QLineEdit*>(input)) input->setFocusPolicy(Qt::StrongFocus);
    }
  }
  statusBar()->setObjectName(QStringLiteral("Status_Explorer"));
  FitToScreen();
  SetInputs(inputs);
  ConnectInputs();
  UpdateGeometry();
  angle_slider_->setFocus();
}

Form_Explorer::~Form_Explorer() {
  // The inputs are destroyed after the geometry: a box that still holds typed text takes
  // it when it loses the focus on the way, and must not ask for a frame then.
  for (QWidget* input : findChildren<QWidget*>()) input->blockSignals(true);
}

void Form_Explorer::RegisterView(ExplorerView* view, ViewPlace place) {
  QWidget* widget = view->Widget();
  switch (place) {
    case ViewPlace::kTop:
      top_splitter_->insertWidget(0, widget);
      break;
    case ViewPlace::kCharts:
      charts_splitter_->addWidget(widget);
      break;
    case ViewPlace::kViscous:
      viscous_splitter_->addWidget(widget);
      break;
    case ViewPlace::kPanel: {
      auto* box = new QGroupBox(view->ExportName(), panel_column_->parentWidget());
      auto* column = new QVBoxLayout(box);
      column->setContentsMargins(4, 4, 4, 4);
      column->addWidget(widget);
      // Before the stretch at the end of the column.
      panel_column_->insertWidget(panel_column_->count() - 1, box);
      break;
    }
  }
  widget->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(widget, &QWidget::customContextMenuRequested, this,
          [this, view](const QPoint& position) { ShowViewMenu(view, position); });
  views_.push_back(view);
}

QRect ExplorerWindowRect(const QRect& available) {
  const int least_width = std::min(kLeastWidth, available.width());
  const int least_height = std::min(kLeastHeight, available.height());
  const int width = std::max(least_width, std::min(kPreferredWidth, available.width() * 96 / 100));
  const int height =
      std::max(least_height, std::min(kPreferredHeight, available.height() * 92 / 100));
  QRect rect(0, 0, width, height);
  rect.moveCenter(available.center());
  return rect;
}

void Form_Explorer::FitToScreen() {
  const QRect available = screen()->availableGeometry();
  setMinimumSize(std::min(kLeastWidth, available.width()),
                 std::min(kLeastHeight, available.height()));
  setGeometry(ExplorerWindowRect(available));
  top_splitter_->setSizes({height() * 55 / 100, height() * 45 / 100});
}

void Form_Explorer::CreateInputs(QWidget* panel) {
  panel_column_ = new QVBoxLayout(panel);
  panel_column_->setContentsMargins(0, 0, 4, 0);
  panel_column_->addWidget(CreateBodyInputs(panel));

  auto* vortex_box = new QGroupBox(QStringLiteral("Circulation"), panel);
  auto* vortex_column = new QVBoxLayout(vortex_box);
  circulation_box_ = new QCheckBox(QStringLiteral("Circulation"), vortex_box);
  circulation_box_->setObjectName(QStringLiteral("Check_Circulation"));
  circulation_box_->setToolTip(
      QStringLiteral("A vortex unknown fixed by the Kutta-type condition at the trailing edge"));
  constant_vortex_option_ =
      new QRadioButton(QStringLiteral("Constant vortex distribution"), vortex_box);
  constant_vortex_option_->setObjectName(QStringLiteral("Option_ConstVortex"));
  constant_vortex_option_->setToolTip(QStringLiteral("One vortex strength on every panel"));
  point_vortex_option_ = new QRadioButton(QStringLiteral("Point vortex"), vortex_box);
  point_vortex_option_->setObjectName(QStringLiteral("Option_PointVortex"));
  point_vortex_option_->setToolTip(QStringLiteral("One point vortex at (Xv, Yv)"));
  vortex_position_frame_ = new QWidget(vortex_box);
  auto* position_form = new QFormLayout(vortex_position_frame_);
  position_form->setContentsMargins(20, 0, 0, 0);
  xv_box_ =
      NewLengthBox(vortex_position_frame_, "Spin_Xv",
                   QStringLiteral("x of the point vortex, in chord lengths (\u221210 to 10)"));
  yv_box_ =
      NewLengthBox(vortex_position_frame_, "Spin_Yv",
                   QStringLiteral("y of the point vortex, in chord lengths (\u221210 to 10)"));
  position_form->addRow(QStringLiteral("Xv"), xv_box_);
  position_form->addRow(QStringLiteral("Yv"), yv_box_);
  for (QWidget* w : std::initializer_list<QWidget*>{circulation_box_, constant_vortex_option_,
                                                    point_vortex_option_, vortex_position_frame_}) {
    vortex_column->addWidget(w);
  }
  panel_column_->addWidget(vortex_box);

  auto* angle_box = new QGroupBox(QStringLiteral("Angle of attack (degrees)"), panel);
  auto* angle_row = new QHBoxLayout(angle_box);
  angle_slider_ = new QSlider(Qt::Horizontal, angle_box);
  angle_slider_->setObjectName(QStringLiteral("Slider_Alpha"));
  angle_slider_->setRange(static_cast<int>(kExplorerAlphaMin) * kTenths,
                          static_cast<int>(kExplorerAlphaMax) * kTenths);
  angle_slider_->setSingleStep(1);      // arrow keys: 0.1 degrees
  angle_slider_->setPageStep(kTenths);  // Page Up / Page Down: 1 degree
  angle_slider_->setFocusPolicy(Qt::StrongFocus);
  angle_slider_->setToolTip(
      QStringLiteral("The angle of attack: arrow keys 0.1\u00B0, Page Up / Down 1\u00B0"));
  alpha_box_ = new CheckedDoubleSpinBox(angle_box);
  alpha_box_->setObjectName(QStringLiteral("Spin_Alpha"));
  alpha_box_->setRange(kExplorerAlphaMin, kExplorerAlphaMax);
  alpha_box_->setDecimals(2);
  alpha_box_->setSingleStep(0.1);
  alpha_box_->setToolTip(QStringLiteral(
      "The angle of attack in degrees, \u221220 to 20; taken on Return or when the box is left"));
  angle_row->addWidget(angle_slider_, 1);
  angle_row->addWidget(alpha_box_);
  panel_column_->addWidget(angle_box);
  panel_column_->addWidget(CreateConditionInputs(panel));
  elements_box_ = new ElementsBox(panel);
  panel_column_->addWidget(elements_box_);
  panel_column_->addWidget(CreateCompareInputs(panel));
  panel_column_->addWidget(CreateOverlayInputs(panel));

  panel_column_->addStretch(1);
}

QGroupBox* Form_Explorer::CreateBodyInputs(QWidget* panel) {
  auto* group = new QGroupBox(QStringLiteral("Body"), panel);
  auto* form = new QFormLayout(group);
  body_box_ = new QComboBox(group);
  body_box_->setObjectName(QStringLiteral("Combo_Body"));
  body_box_->setEditable(true);  // any name of the command line's --body
  body_box_->setInsertPolicy(QComboBox::NoInsert);
  body_box_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  body_box_->setMinimumContentsLength(12);
  body_box_->setToolTip(
      QString::fromStdString("A body as --body names it: " + BodyNamesSynopsis()));
  for (const char* name : kBodyPresets) body_box_->addItem(QString::fromLatin1(name), kNamedBody);
  file_button_ = new QPushButton(QStringLiteral("Coordinate file\u2026"), group);
  file_button_->setObjectName(QStringLiteral("Command_File"));
  file_button_->setToolTip(QStringLiteral("A section from a Selig or Lednicer coordinate file"));

  file_frame_ = new QWidget(group);
  auto* file_column = new QVBoxLayout(file_frame_);
  file_column->setContentsMargins(0, 0, 0, 0);
  file_label_ = new QLabel(file_frame_);
  file_label_->setObjectName(QStringLiteral("Label_File"));
  file_label_->setWordWrap(true);
  file_points_option_ = new QRadioButton(QStringLiteral("The file's points"), file_frame_);
  file_points_option_->setObjectName(QStringLiteral("Option_FilePoints"));
  file_points_option_->setToolTip(
      QStringLiteral("The file's points are the panel nodes (the panel count is theirs)"));
  spline_option_ =
      new QRadioButton(QStringLiteral("Re-panelled: spline, Panels below"), file_frame_);
  spline_option_->setObjectName(QStringLiteral("Option_Spline"));
  spline_option_->setToolTip(QStringLiteral(
      "A cubic spline through the file's points, re-panelled with the panel count, nodes "
      "crowded towards both edges"));
  file_column->addWidget(file_label_);
  file_column->addWidget(file_points_option_);
  file_column->addWidget(spline_option_);
  file_frame_->setVisible(false);

  panels_box_ = new CheckedSpinBox(group);
  panels_box_->setObjectName(QStringLiteral("Spin_NP"));
  panels_box_->setRange(kExplorerPanelsMin, kExplorerPanelsMax);
  panels_box_->setToolTip(QStringLiteral("The number of panels, 3 to 198 (sections: even)"));
  form->addRow(QStringLiteral("Body"), body_box_);
  form->addRow(QString(), file_button_);
  form->addRow(file_frame_);
  form->addRow(QStringLiteral("Panels"), panels_box_);
  return group;
}

QGroupBox* Form_Explorer::CreateConditionInputs(QWidget* panel) {
  auto* group = new QGroupBox(QStringLiteral("Flow conditions"), panel);
  auto* form = new QFormLayout(group);
  reynolds_box_ = new QLineEdit(group);
  reynolds_box_->setObjectName(QStringLiteral("Edit_Reynolds"));
  reynolds_box_->setPlaceholderText(QStringLiteral("inviscid"));
  reynolds_box_->setToolTip(QString::fromUtf8(kReynoldsTip));
  ncrit_box_ = new CheckedDoubleSpinBox(group);
  ncrit_box_->setObjectName(QStringLiteral("Spin_Ncrit"));
  ncrit_box_->setRange(kExplorerNcritMin, kExplorerNcritMax);
  ncrit_box_->setDecimals(2);
  ncrit_box_->setSingleStep(1);
  ncrit_box_->setValue(kDefaultNcrit);
  ncrit_box_->setToolTip(QStringLiteral(
      "The amplification exponent at which the laminar layer turns turbulent (e^N method):\n"
      "9 for a quiet wind tunnel, lower for a disturbed stream; 0.01 to 30"));
  form->addRow(QStringLiteral("Reynolds"), reynolds_box_);
  form->addRow(QStringLiteral("Ncrit"), ncrit_box_);
  return group;
}

void Form_Explorer::OnConditionsTyped() {
  if (updating_inputs_) return;
  const ReynoldsReading reading = ReadExplorerReynolds(reynolds_box_->text().toStdString());
  if (reading.refused) {
    // Shown as refused; the conditions in effect stay.
    reynolds_box_->setStyleSheet(QStringLiteral("color: #b00000"));
    ShowProblem(QString::fromStdString(reading.problem));
    return;
  }
  reynolds_box_->setStyleSheet(QString());
  // A refusal of either box is over once they give conditions again.
  if (Problem().startsWith(QStringLiteral("The Reynolds number")) ||
      Problem().startsWith(QStringLiteral("Ncrit "))) {
    ShowProblem(QString());
  }
  const ExplorerFlowConditions conditions{reading.reynolds, ncrit_box_->value()};
  if (conditions == conditions_) return;
  conditions_ = conditions;
  UpdateViscousInputs();
  ShowGeometryInViews();
}

void Form_Explorer::SetFlowConditions(const ExplorerFlowConditions& conditions) {
  const bool updating = updating_inputs_;
  updating_inputs_ = true;
  reynolds_box_->setText(
      conditions.reynolds ? QString::fromStdString(NumberText(*conditions.reynolds)) : QString());
  reynolds_box_->setStyleSheet(QString());
  ncrit_box_->setValue(conditions.ncrit);
  updating_inputs_ = updating;
  conditions_ = conditions;
  if (updating_inputs_) return;
  UpdateViscousInputs();
  ShowGeometryInViews();
}

std::optional<ViscousOptions> Form_Explorer::ViscousOptionsShown() const {
  if (!geometry_ || !ExplorerViscousUnavailable(*geometry_).empty()) return std::nullopt;
  return ExplorerViscousOptions(conditions_);
}

void Form_Explorer::UpdateViscousInputs() {
  if (!geometry_) return;
  const std::string why = ExplorerViscousUnavailable(*geometry_);
  reynolds_box_->setEnabled(why.empty());
  ncrit_box_->setEnabled(why.empty());
  reynolds_box_->setToolTip(QString::fromStdString(why.empty() ? std::string(kReynoldsTip) : why));
  const bool shown = ViscousOptionsShown().has_value();
  if (shown == !viscous_splitter_->isHidden()) return;
  viscous_splitter_->setVisible(shown);
  if (shown && !viscous_row_sized_) {
    // The three rows about equal: the layers' four charts need the height.
    // (The window's height: the splitter has none of its own before it is first shown.)
    viscous_row_sized_ = true;
    const int h = height() - 60;
    top_splitter_->setSizes({h * 38 / 100, h * 30 / 100, h * 32 / 100});
  }
}

QGroupBox* Form_Explorer::CreateCompareInputs(QWidget* panel) {
  auto* group = new QGroupBox(QStringLiteral("Compare (dashed in the charts)"), panel);
  auto* form = new QFormLayout(group);
  compare_box_ = new QCheckBox(QStringLiteral("Show a second set"), group);
  compare_box_->setObjectName(QStringLiteral("Check_Compare"));
  compare_box_->setToolTip(QStringLiteral(
      "A second body, panel count or vortex model in the pressure and polar charts"));
  compare_body_box_ = new QComboBox(group);
  compare_body_box_->setObjectName(QStringLiteral("Combo_CompareBody"));
  compare_body_box_->setEditable(true);
  compare_body_box_->setInsertPolicy(QComboBox::NoInsert);
  compare_body_box_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  compare_body_box_->setMinimumContentsLength(12);
  compare_body_box_->setToolTip(QStringLiteral("The second body, as --body names it"));
  for (const char* name : kBodyPresets) compare_body_box_->addItem(QString::fromLatin1(name));
  compare_panels_box_ = new CheckedSpinBox(group);
  compare_panels_box_->setObjectName(QStringLiteral("Spin_CompareNP"));
  compare_panels_box_->setRange(kExplorerPanelsMin, kExplorerPanelsMax);
  compare_panels_box_->setToolTip(QStringLiteral("The second set's panel count, 3 to 198"));
  compare_vortex_box_ = new QComboBox(group);
  compare_vortex_box_->setObjectName(QStringLiteral("Combo_CompareVortex"));
  compare_vortex_box_->addItems({QStringLiteral("Constant vortex distribution"),
                                 QStringLiteral("Point vortex at (Xv, Yv)"),
                                 QStringLiteral("No circulation")});
  compare_vortex_box_->setToolTip(
      QStringLiteral("The second set's vortex model; the point vortex at the first set's Xv, Yv"));
  form->addRow(compare_box_);
  form->addRow(QStringLiteral("Body"), compare_body_box_);
  form->addRow(QStringLiteral("Panels"), compare_panels_box_);
  form->addRow(QStringLiteral("Vortex"), compare_vortex_box_);
  return group;
}

QGroupBox* Form_Explorer::CreateOverlayInputs(QWidget* panel) {
  auto* group = new QGroupBox(QStringLiteral("Files laid over the charts"), panel);
  auto* column = new QVBoxLayout(group);
  overlay_label_ = new QLabel(QStringLiteral("none"), group);
  overlay_label_->setObjectName(QStringLiteral("Label_Overlays"));
  overlay_label_->setWordWrap(true);
  auto* row = new QHBoxLayout;
  auto* polar = new QPushButton(QStringLiteral("Polar\u2026"), group);
  polar->setObjectName(QStringLiteral("Command_OverlayPolar"));
  polar->setToolTip(
      QStringLiteral("Lay a polar over the polar chart: XFOIL's polar file or "
                     "CSV alpha,cl[,cd,cm]"));
  auto* cp = new QPushButton(QStringLiteral("Cp\u2026"), group);
  cp->setObjectName(QStringLiteral("Command_OverlayCp"));
  cp->setToolTip(QStringLiteral(
      "Lay a pressure distribution over the Cp chart: XFOIL's CPWR file or CSV x,cp"));
  auto* clear = new QPushButton(QStringLiteral("Clear"), group);
  clear->setObjectName(QStringLiteral("Command_ClearOverlays"));
  clear->setToolTip(QStringLiteral("Remove the files' curves"));
  row->addWidget(polar);
  row->addWidget(cp);
  row->addWidget(clear);
  column->addWidget(overlay_label_);
  column->addLayout(row);
  connect(polar, &QPushButton::clicked, this, [this] { AddOverlayClick(OverlayKind::kPolar); });
  connect(cp, &QPushButton::clicked, this, [this] { AddOverlayClick(OverlayKind::kPressure); });
  connect(clear, &QPushButton::clicked, this, [this] {
    overlays_.clear();
    ShowOverlayList();
    ShowGeometryInViews();
  });
  return group;
}

void Form_Explorer::CreateMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  const auto add = [this](QMenu* menu, const QString& text, const char* name,
                          const QKeySequence& keys, auto slot) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    if (!keys.isEmpty()) action->setShortcut(keys);
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  add(file, QStringLiteral("&Open session\u2026"), "Mn_OpenSession", QKeySequence::Open,
      &Form_Explorer::OpenSessionClick);
  add(file, QStringLiteral("&Save session\u2026"), "Mn_SaveSession", QKeySequence::Save,
      &Form_Explorer::SaveSessionClick);
  add(file, QStringLiteral("&Export views\u2026"), "Mn_Export",
      QKeySequence(QStringLiteral("Ctrl+E")), &Form_Explorer::ExportPictures);
  file->addSeparator();
  add(file, QStringLiteral("Overlay &polar file\u2026"), "Mn_OverlayPolar", QKeySequence(),
      [this] { AddOverlayClick(OverlayKind::kPolar); });
  add(file, QStringLiteral("Overlay &Cp file\u2026"), "Mn_OverlayCp", QKeySequence(),
      [this] { AddOverlayClick(OverlayKind::kPressure); });
  file->addSeparator();
  add(file, QStringLiteral("&Close"), "Mn_Close", QKeySequence::Close, &QWidget::close);
  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  add(edit, QStringLiteral("&Copy numbers"), "Mn_CopyNumbers",
      QKeySequence(QStringLiteral("Ctrl+Shift+C")), [this] {
        QApplication::clipboard()->setText(numbers_view_->CopyText());
        statusBar()->showMessage(QStringLiteral("The numbers are on the clipboard."), 5000);
      });
  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  add(help, QStringLiteral("&Guide"), "Mn_Guide", QKeySequence::HelpContents,
      &Form_Explorer::ShowGuide);
}

void Form_Explorer::ShowGuide() {
  if (!guide_) {
    guide_ = new QDialog(this);
    guide_->setObjectName(QStringLiteral("Dialog_Guide"));
    guide_->setWindowTitle(QStringLiteral("Velquin2DS - Flow explorer guide"));
    auto* column = new QVBoxLayout(guide_);
    auto* text = new QTextBrowser(guide_);
    text->setHtml(QString::fromUtf8(kGuide));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, guide_);
    connect(buttons, &QDialogButtonBox::rejected, guide_, &QDialog::hide);
    column->addWidget(text);
    column->addWidget(buttons);
    guide_->resize(560, 600);
  }
  guide_->show();
  guide_->raise();
}

void Form_Explorer::SetInputs(const RunInputs& inputs) {
  updating_inputs_ = true;
  SelectBody(inputs.body ? inputs.body : CircleBody());
  // Values beyond the explorer's ranges are named, not cut without a word.
  QStringList notes;
  const double NP = std::clamp(inputs.NP, static_cast<double>(kExplorerPanelsMin),
                               static_cast<double>(kExplorerPanelsMax));
  if (NP != inputs.NP) {
    notes << QStringLiteral(
                 "The panel count %1 lies outside the explorer's range, %2 to %3: "
                 "shown with %4.")
                 .arg(QString::fromStdString(NumberText(inputs.NP)))
                 .arg(kExplorerPanelsMin)
                 .arg(kExplorerPanelsMax)
                 .arg(NP);
  }
  panels_box_->setValue(static_cast<int>(std::lround(NP)));
  circulation_box_->setChecked(inputs.circulation);
  point_vortex_option_->setChecked(inputs.vortex == VortexModel::kPointVortex);
  constant_vortex_option_->setChecked(inputs.vortex != VortexModel::kPointVortex);
  xv_box_->setValue(inputs.Xv);
  yv_box_->setValue(inputs.Yv);
  const double alpha = std::clamp(inputs.alpha_degrees, kExplorerAlphaMin, kExplorerAlphaMax);
  if (alpha != inputs.alpha_degrees) {
    notes << QStringLiteral(
                 "The angle of attack %1\u00B0 lies outside the explorer's range, "
                 "\u221220\u00B0 to 20\u00B0: shown at %2\u00B0.")
                 .arg(Degrees(inputs.alpha_degrees), Degrees(alpha));
  }
  alpha_ = alpha;
  angle_slider_->setValue(static_cast<int>(std::lround(alpha * kTenths)));
  alpha_box_->setValue(alpha);
  updating_inputs_ = false;
  pending_note_ = notes.join(QLatin1Char(' '));
  OnVortexChanged();
}

void Form_Explorer::ShowOutOfRange(const QString& what, double value, double low, double high,
                                   const QString& kept) {
  // The value as typed (0.0001 is not "0"), the range and the value kept as the box shows
  // them.
  ShowProblem(QStringLiteral("%1 %2 lies outside the range %3 to %4; it stays at %5.")
                  .arg(what, TypedText(value), Degrees(low), Degrees(high), kept));
}

void Form_Explorer::ConnectInputs() {
  elements_box_->SetChangedHandler([this] { UpdateGeometry(); });
  elements_box_->SetRefusedHandler([this](const QString& message) { ShowProblem(message); });
  elements_box_->SetFileChooser([this] {
    return ChooseOpenPath(QStringLiteral("Coordinate file of elements"),
                          QStringLiteral("Coordinate files (*.dat *.txt);;All files (*)"));
  });
  elements_box_->SetGroundPolarHandler([this] { ComputeGroundPolarClick(); });
  connect(body_box_, &QComboBox::currentIndexChanged, this, &Form_Explorer::OnBodyChanged);
  connect(body_box_->lineEdit(), &QLineEdit::editingFinished, this, &Form_Explorer::OnBodyChanged);
  connect(file_button_, &QPushButton::clicked, this, &Form_Explorer::file_button_Click);
  connect(panels_box_, &QSpinBox::valueChanged, this, &Form_Explorer::UpdateGeometry);
  connect(file_points_option_, &QRadioButton::toggled, this, [this](bool) {
    if (updating_inputs_) return;
    ShowFileChoice();
    UpdateGeometry();
  });
  for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{
           circulation_box_, constant_vortex_option_, point_vortex_option_}) {
    connect(button, &QAbstractButton::toggled, this, [this](bool) {
      if (updating_inputs_) return;
      OnVortexChanged();
      UpdateGeometry();
    });
  }
  connect(xv_box_, &QDoubleSpinBox::valueChanged, this, &Form_Explorer::UpdateGeometry);
  connect(yv_box_, &QDoubleSpinBox::valueChanged, this, &Form_Explorer::UpdateGeometry);
  connect(angle_slider_, &QSlider::valueChanged, this, [this](int tenths) {
    if (updating_inputs_) return;
    alpha_ = tenths / static_cast<double>(kTenths);
    updating_inputs_ = true;
    alpha_box_->setValue(alpha_);
    updating_inputs_ = false;
    UpdateFrame();
  });
  connect(alpha_box_, &QDoubleSpinBox::valueChanged, this, &Form_Explorer::OnAngleTyped);
  connect(reynolds_box_, &QLineEdit::editingFinished, this, &Form_Explorer::OnConditionsTyped);
  connect(ncrit_box_, &QDoubleSpinBox::valueChanged, this, &Form_Explorer::OnConditionsTyped);
  ncrit_box_->SetOutOfRangeHandler([this](double value) {
    ShowOutOfRange(QStringLiteral("Ncrit"), value, kExplorerNcritMin, kExplorerNcritMax,
                   Degrees(ncrit_box_->value()));
  });

  // The arrows step past the counts the body on show refuses (odd ones for NACA
  // sections).
  panels_box_->SetAcceptable([this](int NP) {
    return !geometry_ || !geometry_->inputs.body ||
           geometry_->inputs.body->PanelCountProblem(NP).empty();
  });
  panels_box_->SetOutOfRangeHandler([this](double value) {
    ShowOutOfRange(QStringLiteral("The panel count"), value, kExplorerPanelsMin,
                   panels_box_->maximum(), QString::number(PanelsInUse()));
  });
  alpha_box_->SetOutOfRangeHandler([this](double value) {
    ShowOutOfRange(QStringLiteral("The angle of attack"), value, kExplorerAlphaMin,
                   kExplorerAlphaMax, Degrees(alpha_) + QStringLiteral("\u00B0"));
  });
  for (CheckedDoubleSpinBox* box : {xv_box_, yv_box_}) {
    box->SetOutOfRangeHandler([this, box](double value) {
      ShowOutOfRange(box == xv_box_ ? QStringLiteral("Xv") : QStringLiteral("Yv"), value,
                     box->minimum(), box->maximum(), Degrees(box->value()));
    });
  }
  compare_panels_box_->SetOutOfRangeHandler([this](double value) {
    ShowOutOfRange(QStringLiteral("The second set's panel count"), value, kExplorerPanelsMin,
                   kExplorerPanelsMax, QString::number(compare_panels_box_->value()));
  });
  connect(compare_box_, &QCheckBox::toggled, this, [this](bool on) {
    if (updating_inputs_) return;
    if (on && compare_body_box_->currentText().isEmpty()) {
      compare_body_box_->setEditText(body_box_->currentText());
    }
    UpdateComparison();
  });
  connect(compare_body_box_, &QComboBox::currentIndexChanged, this,
          &Form_Explorer::UpdateComparison);
  connect(compare_body_box_->lineEdit(), &QLineEdit::editingFinished, this,
          &Form_Explorer::UpdateComparison);
  connect(compare_panels_box_, &QSpinBox::valueChanged, this, &Form_Explorer::UpdateComparison);
  connect(compare_vortex_box_, &QComboBox::currentIndexChanged, this,
          &Form_Explorer::UpdateComparison);
}

void Form_Explorer::OnAngleTyped(double alpha) {
  if (updating_inputs_) return;
  alpha_ = alpha;
  updating_inputs_ = true;
  angle_slider_->setValue(static_cast<int>(std::lround(alpha * kTenths)));
  updating_inputs_ = false;
  ShowProblem(QString());
  UpdateFrame();
}

void Form_Explorer::SelectBody(const BodyPtr& body) {
  // The entry of that very body, else one whose name gives a body of the same name (the
  // list's "naca2412" for a NACA 2412 handed over), else a new entry.
  for (int k = 0; k < body_box_->count(); ++k) {
    const int kind = body_box_->itemData(k).toInt();
    bool same = false;
    if (kind >= 0) {
      same = given_bodies_[static_cast<std::size_t>(kind)] == body;
    } else if (kind == kNamedBody) {
      std::string ignored;
      const BodyPtr named = BodyFromName(body_box_->itemText(k).toStdString(), ignored);
      same = named && (named == body || named->Name() == body->Name());
    }
    if (same) {
      body_box_->setCurrentIndex(k);
      body_text_ = body_box_->currentText();
      return;
    }
  }
  given_bodies_.push_back(body);
  body_box_->addItem(QString::fromStdString(body->Name()),
                     static_cast<int>(given_bodies_.size()) - 1);
  body_box_->setCurrentIndex(body_box_->count() - 1);
  body_text_ = body_box_->currentText();
}

void Form_Explorer::ShowSection(const SectionPoints& section, std::optional<int> NP,
                                const QString& path) {
  section_ = section;
  section_path_ = path;
  if (section_path_.isEmpty()) {
    // "coordinate file 'PATH'": the path between the quotes.
    const QString source = QString::fromStdString(section.source);
    const int first = source.indexOf(QLatin1Char('\'')),
              last = source.lastIndexOf(QLatin1Char('\''));
    section_path_ = first >= 0 && last > first ? source.mid(first + 1, last - first - 1) : source;
  }
  const QString text = QStringLiteral("file: ") + FileName(section_path_);
  // The same section handed over as a body (the command line's --body-file) is this
  // entry: the list keeps one.
  updating_inputs_ = true;
  for (int k = body_box_->count() - 1; k >= 0; --k) {
    const int kind = body_box_->itemData(k).toInt();
    if (kind >= 0 && given_bodies_[static_cast<std::size_t>(kind)]->Name() == section.name) {
      body_box_->removeItem(k);
    }
  }
  updating_inputs_ = false;
  int index = body_box_->findData(kFileBody);
  if (index < 0) {
    body_box_->addItem(text, kFileBody);
    index = body_box_->count() - 1;
  }
  body_box_->setItemText(index, text);
  body_box_->setItemData(index, section_path_, Qt::ToolTipRole);
  const int own = section.NodeCount();
  const bool own_fits = own <= kExplorerPanelsMax;
  updating_inputs_ = true;
  body_box_->setCurrentIndex(index);
  file_points_option_->setEnabled(own_fits);
  file_points_option_->setText(QStringLiteral("The file's points (%1 panels)").arg(own));
  const bool spline = (NP && *NP != own) || !own_fits;
  spline_option_->setChecked(spline);
  file_points_option_->setChecked(!spline);
  panels_box_->setValue(spline ? (NP ? *NP : kExplorerPanelsMax) : own);
  file_label_->setText(QStringLiteral("<b>%1</b><br>%2, %3 points")
                           .arg(FileName(section_path_).toHtmlEscaped(),
                                QString::fromStdString(section.name).toHtmlEscaped())
                           .arg(section.file_points));
  file_label_->setToolTip(section_path_);
  updating_inputs_ = false;
  setWindowTitle(QStringLiteral("Velquin2DS - Flow explorer - ") + FileName(section_path_));
  body_text_.clear();
  OnBodyChanged();
}

void Form_Explorer::ShowFileChoice() {
  const bool file = body_box_->currentData().toInt() == kFileBody && section_;
  file_frame_->setVisible(file);
  if (!file) return;
  const bool own = file_points_option_->isChecked();
  panels_box_->setEnabled(!own);
  if (own) {
    updating_inputs_ = true;
    panels_box_->setValue(section_->NodeCount());
    updating_inputs_ = false;
  }
}

QString Form_Explorer::ChooseOpenPath(const QString& title, const QString& filter) {
  if (open_path_chooser_) return open_path_chooser_();
  return QFileDialog::getOpenFileName(this, title, QString(), filter);
}

void Form_Explorer::file_button_Click() {
  const QString path =
      ChooseOpenPath(QStringLiteral("Coordinate file"),
                     QStringLiteral("Coordinate files (*.dat *.txt);;All files (*)"));
  if (path.isEmpty()) return;
  std::string error;
  const std::optional<SectionPoints> section = ReadSectionFile(path.toStdString(), error);
  if (!section) {
    ShowProblem(QString::fromStdString(error));
    return;
  }
  ShowSection(*section, std::nullopt, path);
}

BodyPtr Form_Explorer::SelectedBody(double NP, bool circulation, std::string& problem) const {
  const QString text = body_box_->currentText();
  const int index = body_box_->findText(text);
  const int kind = index < 0 ? kNamedBody : body_box_->itemData(index).toInt();
  if (kind >= 0) return given_bodies_[static_cast<std::size_t>(kind)];
  if (kind == kFileBody && section_) {
    const std::optional<double> panels =
        file_points_option_->isChecked() ? std::nullopt : std::optional<double>(NP);
    return SectionFileBody(*section_, panels, circulation, problem);
  }
  return BodyFromTypedName(text.toStdString(), problem);
}

void Form_Explorer::OnBodyChanged() {
  if (updating_inputs_ || body_box_->currentText() == body_text_) return;
  body_text_ = body_box_->currentText();
  std::string problem;
  const BodyPtr body = SelectedBody(panels_box_->value(), true, problem);
  if (!body) {
    ShowProblem(QString::fromStdString(problem));
    return;
  }
  const bool file = body_box_->currentData().toInt() == kFileBody;
  if (!file) setWindowTitle(QStringLiteral("Velquin2DS - Flow explorer"));
  // Sections lift through their circulation; the circle is shown without by default.
  const bool circle = body == CircleBody();
  updating_inputs_ = true;
  circulation_box_->setChecked(!circle);
  if (!circle) constant_vortex_option_->setChecked(true);
  // A count the body refuses (an odd one on a section whose halves mirror) moves up one.
  const int NP = panels_box_->value();
  if (!file && !body->PanelCountProblem(NP).empty() && body->PanelCountProblem(NP + 1).empty() &&
      NP < kExplorerPanelsMax) {
    panels_box_->setValue(NP + 1);
  }
  updating_inputs_ = false;
  ShowFileChoice();
  OnVortexChanged();
  UpdateGeometry();
}

void Form_Explorer::OnVortexChanged() {
  const bool circulation = circulation_box_->isChecked();
  constant_vortex_option_->setEnabled(circulation);
  point_vortex_option_->setEnabled(circulation);
  vortex_position_frame_->setVisible(circulation && point_vortex_option_->isChecked());
}

RunInputs Form_Explorer::Inputs() const {
  std::string ignored;
  return ReadInputs(ignored);
}

RunInputs Form_Explorer::ReadInputs(std::string& problem) const {
  RunInputs inputs;
  inputs.NP = panels_box_->value();
  inputs.circulation = circulation_box_->isChecked();
  inputs.body = SelectedBody(inputs.NP, inputs.circulation, problem);
  inputs.vortex =
      ChooseVortexModel(inputs.circulation, constant_vortex_option_->isChecked(),
                        point_vortex_option_->isChecked(), VortexModel::kConstantDistribution);
  inputs.Xv = xv_box_->value();
  inputs.Yv = yv_box_->value();
  inputs.alpha_degrees = Angle();
  return inputs;
}

RunInputs Form_Explorer::ReadSecondInputs(std::string& problem) const {
  RunInputs inputs;
  inputs.NP = compare_panels_box_->value();
  const VortexModel model = kCompareModels[std::max(0, compare_vortex_box_->currentIndex())];
  inputs.circulation = model != VortexModel::kNone;
  inputs.vortex = model;
  inputs.Xv = xv_box_->value();
  inputs.Yv = yv_box_->value();
  inputs.alpha_degrees = Angle();
  const QString text = compare_body_box_->currentText().trimmed();
  if (section_ && text == QStringLiteral("file: ") + FileName(section_path_)) {
    const std::optional<double> panels =
        inputs.NP == section_->NodeCount() ? std::nullopt : std::optional<double>(inputs.NP);
    inputs.body = SectionFileBody(*section_, panels, inputs.circulation, problem);
  } else {
    inputs.body = BodyFromTypedName(text.toStdString(), problem);
  }
  return inputs;
}

void Form_Explorer::ShowInputs(const RunInputs& inputs) {
  SetInputs(inputs);
  UpdateGeometry();
}

void Form_Explorer::SetAngle(double alpha_degrees) {
  if (!(alpha_degrees >= kExplorerAlphaMin && alpha_degrees <= kExplorerAlphaMax)) {
    ShowOutOfRange(QStringLiteral("The angle of attack"), alpha_degrees, kExplorerAlphaMin,
                   kExplorerAlphaMax, Degrees(alpha_) + QStringLiteral("\u00B0"));
    return;
  }
  updating_inputs_ = true;
  alpha_box_->setValue(alpha_degrees);
  updating_inputs_ = false;
  OnAngleTyped(alpha_degrees);
}

int Form_Explorer::PanelsInUse() const {
  return geometry_ ? static_cast<int>(std::lround(geometry_->inputs.NP)) : panels_box_->value();
}

void Form_Explorer::ShowPanelsInUse() {
  if (!geometry_ || panels_box_->value() == PanelsInUse()) return;
  updating_inputs_ = true;
  panels_box_->setValue(PanelsInUse());
  updating_inputs_ = false;
}

bool Form_Explorer::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr) return QMainWindow::eventFilter(watched, event);
  // A text box takes Ctrl+E for the end of its line, before the menu's shortcut could:
  // left unaccepted, the shortcut exports the views from every box as from the slider.
  if (event->type() == QEvent::ShortcutOverride) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_E)) return true;
  }
  // A wheel over a box or slider that was not chosen scrolls the panel (the event, ignored,
  // goes on to the scroll area) instead of changing its value under the pointer (the
  // ground's height went to its least on the way down the panel).
  if (event->type() == QEvent::Wheel && !widget->hasFocus() && !qobject_cast<QLineEdit*>(widget)) {
    event->ignore();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

QString Form_Explorer::Problem() const {
  return problem_;
}

void Form_Explorer::ShowProblem(const QString& message) {
  problem_ = message;
  problem_label_->setText(FittedProblemText(message, problem_label_->fontMetrics(),
                                            problem_label_->contentsRect().width()));
  problem_label_->setToolTip(problem_label_->text() == message ? QString() : message);
}

void Form_Explorer::UpdateGeometry() {
  if (updating_inputs_) return;
  if (!elements_box_->LastError().isEmpty()) {
    ShowProblem(elements_box_->LastError());
    return;
  }
  // Panels per element: the seed's arrays for a single plain body, a share of
  // kMaxProblemPanels for every element of the general problem.
  const int most = elements_box_->General() ? kMaxProblemPanels / elements_box_->ElementCount()
                                            : kExplorerPanelsMax;
  if (panels_box_->maximum() != most) {
    updating_inputs_ = true;
    panels_box_->setRange(kExplorerPanelsMin, most);
    panels_box_->setToolTip(QStringLiteral("The number of panels per element, 3 to %1").arg(most));
    updating_inputs_ = false;
  }
  std::string problem;
  const RunInputs inputs = ReadInputs(problem);
  if (!inputs.body) {
    // The panel count goes back to the one on show, so that the box and the message
    // ("needs an even number of panels") describe the geometry in use.
    ShowPanelsInUse();
    ShowProblem(QString::fromStdString(problem));
    return;
  }
  elements_box_->SetFirstName(QString::fromStdString(inputs.body->Name()));
  try {
    ground_polar_.clear();
    if (const std::optional<ProblemInputs> general = ProblemInputsShown()) {
      geometry_ = MakeExplorerGeometry(*general, Angle());
    } else {
      geometry_ = MakeExplorerGeometry(inputs);
    }
  } catch (const RunError& error) {
    // The last geometry stays on show, with the reason beneath the inputs.
    ShowPanelsInUse();
    ShowProblem(QString::fromStdString(error.what()));
    return;
  }
  ShowProblem(pending_note_);
  pending_note_.clear();
  UpdateViscousInputs();
  view_grid_.reset();  // a new geometry is shown whole, its view grid made once shown
  view_timer_->start();
  if (!compare_panels_box_->property("set").toBool()) {
    // The second set starts as the first at twice the panels, to show convergence.
    compare_panels_box_->setProperty("set", true);
    updating_inputs_ = true;
    compare_panels_box_->setValue(std::min(2 * panels_box_->value(), kExplorerPanelsMax));
    const bool named = body_box_->currentData().toInt() == kNamedBody;
    compare_body_box_->setEditText(named ? body_box_->currentText() : QStringLiteral("naca0012"));
    updating_inputs_ = false;
  }
  if (compare_box_->isChecked()) {
    UpdateComparison();
  } else {
    ShowGeometryInViews();
  }
}

void Form_Explorer::UpdateComparison() {
  if (updating_inputs_ || !geometry_) return;
  second_geometry_.reset();
  if (compare_box_->isChecked()) {
    std::string problem;
    const RunInputs inputs = ReadSecondInputs(problem);
    if (!inputs.body) {
      ShowProblem(QStringLiteral("Second set: ") + QString::fromStdString(problem));
    } else {
      try {
        second_geometry_ = MakeExplorerGeometry(inputs);
        if (Problem().startsWith(QStringLiteral("Second set: "))) ShowProblem(QString());
      } catch (const RunError& error) {
        ShowProblem(QStringLiteral("Second set: ") + QString::fromStdString(error.what()));
      }
    }
  }
  ShowGeometryInViews();
}

ExplorerScene Form_Explorer::Scene() const {
  ExplorerScene scene;
  scene.geometry = geometry_.get();
  scene.frame = &frame_;
  if (second_geometry_) {
    scene.second_geometry = second_geometry_.get();
    scene.second_frame = &second_frame_;
  }
  scene.overlays = &overlays_;
  scene.viscous = ViscousOptionsShown();
  return scene;
}

void Form_Explorer::ShowGeometryInViews() {
  if (!geometry_) return;
  const ExplorerScene scene = Scene();
  for (ExplorerView* view : views_) view->SetGeometry(scene);
  UpdateFrame();
}

void Form_Explorer::UpdateViewGrid() {
  if (!geometry_) return;
  // The part of the plane on show, as the plot's shape widens it: its own grid, so that
  // the colours fill the plot and the streamlines are seeded for what is seen.
  const FlowDomain view = flow_view_->VisibleDomain();
  const FlowDomain& shown = view_grid_ ? view_grid_->domain : geometry_->grid.domain;
  const double width = view.xmax - view.xmin;
  const double tolerance = 1e-6 * width;
  if (!(width > 0) || (std::fabs(view.xmin - shown.xmin) < tolerance &&
                       std::fabs(view.xmax - shown.xmax) < tolerance &&
                       std::fabs(view.ymin - shown.ymin) < tolerance &&
                       std::fabs(view.ymax - shown.ymax) < tolerance)) {
    return;
  }
  view_grid_ = MakeExplorerViewGrid(*geometry_, view);
  UpdateFrame();
}

std::optional<ProblemInputs> Form_Explorer::ProblemInputsShown() const {
  if (!elements_box_->General()) return std::nullopt;
  std::string problem;
  const RunInputs inputs = ReadInputs(problem);
  if (!inputs.body) return std::nullopt;
  ProblemInputs general;
  ElementInput first;
  first.body = inputs.body;
  first.placement = elements_box_->FirstPlacement();
  first.flap = elements_box_->FirstFlap();
  general.elements.push_back(first);
  for (const ElementInput& e : elements_box_->ExtraElements()) general.elements.push_back(e);
  general.panels = inputs.NP;
  general.vortex = inputs.circulation ? inputs.vortex : VortexModel::kNone;
  general.Xv = inputs.Xv;
  general.Yv = inputs.Yv;
  general.ground_height = elements_box_->GroundHeight();
  return general;
}

void Form_Explorer::ShowProblemInputs(const ProblemInputs& inputs) {
  if (inputs.elements.empty()) return;
  // A first element from a coordinate file is the body box's file entry.
  const ElementInput& first = inputs.elements.front();
  if (first.section) {
    ShowSection(*first.section, inputs.panels ? std::optional<int>(*inputs.panels) : std::nullopt);
  }
  updating_inputs_ = true;
  if (first.body) SelectBody(first.body);
  if (inputs.panels) panels_box_->setRange(kExplorerPanelsMin, kMaxProblemPanels);
  if (inputs.panels) panels_box_->setValue(static_cast<int>(*inputs.panels));
  circulation_box_->setChecked(inputs.vortex != VortexModel::kNone);
  if (inputs.vortex == VortexModel::kPointVortex) point_vortex_option_->setChecked(true);
  if (inputs.vortex == VortexModel::kConstantDistribution)
    constant_vortex_option_->setChecked(true);
  elements_box_->SetProblem(inputs);
  updating_inputs_ = false;
  UpdateGeometry();
}

void Form_Explorer::ComputeGroundPolarClick() {
  if (!geometry_ || !geometry_->Ground()) return;
  QProgressDialog progress(QStringLiteral("The polar above the ground, one angle at a time…"),
                           QStringLiteral("Cancel"), 0, 1, this);
  progress.setObjectName(QStringLiteral("Progress_GroundPolar"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  const std::shared_ptr<const PanelProblem> problem = geometry_->problem;
  std::vector<PolarPoint> polar;
  try {
    polar =
        ComputeGroundPolar(*problem, kExplorerGroundPolarStep, [&progress](int done, int total) {
          progress.setMaximum(total);
          progress.setValue(done);
          QCoreApplication::processEvents();
          return !progress.wasCanceled();
        });
  } catch (const RunError& error) {
    ShowProblem(QString::fromStdString(error.what()));
    return;
  }
  if (!geometry_ || progress.wasCanceled()) return;
  ground_polar_ = std::move(polar);
  geometry_->polar = ground_polar_;
  ShowGeometryInViews();
}

void Form_Explorer::UpdateFrame() {
  if (!geometry_) return;
  if (NeedsNewGeometry(*geometry_, Angle())) {
    // Above a ground the panels turn with the angle: a new geometry for every angle.
    try {
      geometry_ = TurnExplorerGeometry(*geometry_, Angle());
    } catch (const RunError& error) {
      ShowProblem(QString::fromStdString(error.what()));
      return;
    }
    geometry_->polar = ground_polar_;
    view_grid_.reset();
    const ExplorerScene scene = Scene();
    for (ExplorerView* view : views_) view->SetGeometry(scene);
  }
  // The boundary layers read only the geometry: they are computed on a second core
  // while this one combines the field and draws the streamlines, and the frame waits
  // for them up to kLayersWait. An angle whose interaction takes longer (beyond stall it
  // may run all its passes for most of a second) does not hold the slider: the frame is
  // shown without layers, and they follow when ready if the angle is still on show;
  // meanwhile no other analysis starts, and the latest angle is analysed next.
  const std::optional<ViscousOptions> viscous = ViscousOptionsShown();
  if (viscous && !layers_job_) StartLayers(*viscous);
  ComputeExplorerFrame(*geometry_, Angle(), frame_, view_grid_.get());
  frame_.viscous.reset();
  if (layers_job_ && LayersJobCurrent() &&
      layers_job_->result.wait_for(kLayersWait) == std::future_status::ready) {
    frame_.viscous = layers_job_->result.get();
    layers_job_.reset();
  }
  if (layers_job_) layers_timer_->start();
  if (second_geometry_) ComputeExplorerFrame(*second_geometry_, Angle(), second_frame_);
  const ExplorerScene scene = Scene();
  for (ExplorerView* view : views_) view->SetFrame(scene);
}

void Form_Explorer::StartLayers(const ViscousOptions& options) {
  auto job = std::make_unique<LayersJob>();
  job->alpha_degrees = Angle();
  job->geometry = geometry_;
  job->options = options;
  // The job holds its geometry: a new one may replace it on show meanwhile.
  job->result =
      std::async(std::launch::async, [geometry = job->geometry, alpha = Angle(), options] {
        return ComputeExplorerViscous(*geometry, alpha, options);
      });
  layers_job_ = std::move(job);
}

bool Form_Explorer::LayersJobCurrent() const {
  const std::optional<ViscousOptions> options = ViscousOptionsShown();
  return layers_job_ && options && layers_job_->geometry == geometry_ &&
         layers_job_->alpha_degrees == Angle() &&
         layers_job_->options.reynolds == options->reynolds &&
         layers_job_->options.ncrit == options->ncrit;
}

void Form_Explorer::OnLayersTimer() {
  if (!layers_job_) return;
  if (layers_job_->result.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
    layers_timer_->start();
    return;
  }
  if (!LayersJobCurrent()) {
    // Layers of an angle or inputs no longer on show: the frame on show gets its own.
    layers_job_->result.get();
    layers_job_.reset();
    UpdateFrame();
    return;
  }
  frame_.viscous = layers_job_->result.get();
  layers_job_.reset();
  const ExplorerScene scene = Scene();
  for (ExplorerView* view : views_) view->SetFrame(scene);
}

void Form_Explorer::ShowOverlayList() {
  QStringList names;
  for (const OverlayCurve& curve : overlays_) {
    names << QStringLiteral("%1: %2").arg(
        curve.kind == OverlayKind::kPolar ? QStringLiteral("polar") : QStringLiteral("Cp"),
        QString::fromStdString(curve.name).toHtmlEscaped());
  }
  overlay_label_->setText(names.isEmpty() ? QStringLiteral("none")
                                          : names.join(QStringLiteral("<br>")));
}

bool Form_Explorer::AddOverlay(const QString& path, OverlayKind kind) {
  std::string error;
  std::optional<OverlayCurve> curve = ReadOverlayFile(path.toStdString(), kind, error);
  if (!curve) {
    ShowProblem(QString::fromStdString(error));
    return false;
  }
  overlays_.push_back(std::move(*curve));
  ShowProblem(QString());
  ShowOverlayList();
  ShowGeometryInViews();
  return true;
}

void Form_Explorer::AddOverlayClick(OverlayKind kind) {
  const QString path = ChooseOpenPath(
      kind == OverlayKind::kPolar ? QStringLiteral("Polar file") : QStringLiteral("Cp file"),
      QStringLiteral("Polar and Cp files (*.txt *.dat *.csv *.pol *.cp);;All files (*)"));
  if (!path.isEmpty()) AddOverlay(path, kind);
}

void Form_Explorer::ShowViewMenu(ExplorerView* view, const QPoint& position) {
  QMenu menu(this);
  menu.addAction(QStringLiteral("Save as PNG\u2026"), this,
                 [=] { SaveView(view, QStringLiteral("PNG")); });
  menu.addAction(QStringLiteral("Save as SVG\u2026"), this,
                 [=] { SaveView(view, QStringLiteral("SVG")); });
  if (!view->DataCsv().empty()) {
    menu.addAction(QStringLiteral("Save data as CSV\u2026"), this,
                   [=] { SaveView(view, QStringLiteral("CSV")); });
  }
  if (!view->CopyText().isEmpty()) {
    menu.addAction(QStringLiteral("Copy"), this,
                   [=] { QApplication::clipboard()->setText(view->CopyText()); });
  }
  menu.exec(view->Widget()->mapToGlobal(position));
}

void Form_Explorer::SaveView(ExplorerView* view, const QString& kind) {
  const QString suggestion =
      QDir::current().filePath(view->ExportName() + QLatin1Char('.') + kind.toLower());
  QString path;
  if (save_path_chooser_) {
    path = save_path_chooser_(suggestion, kind);
  } else {
    path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save as ") + kind, suggestion,
        kind + QStringLiteral(" files (*.") + kind.toLower() + QStringLiteral(")"));
  }
  if (path.isEmpty()) return;
  QWidget& widget = *view->Widget();
  std::string error;
  if (kind == QStringLiteral("CSV")) {
    error = SaveText(path, view->DataCsv());
  } else if (kind == QStringLiteral("SVG")) {
    error = SaveViewSvg(widget, widget.size(), path);
  } else {
    error = SaveViewPng(widget, widget.size(), path);
  }
  ShowProblem(QString::fromStdString(error));
  if (error.empty()) statusBar()->showMessage(QStringLiteral("Saved ") + path, 5000);
}

void Form_Explorer::ExportPictures() {
  QString folder;
  if (save_path_chooser_) {
    folder = save_path_chooser_(QDir::currentPath(), QStringLiteral("Folder"));
  } else {
    folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Export the views into"),
                                               QDir::currentPath());
  }
  if (folder.isEmpty()) return;
  const QDir dir(folder);
  QStringList written;
  for (ExplorerView* view : views_) {
    QWidget& widget = *view->Widget();
    if (widget.isHidden() || (widget.parentWidget() && widget.parentWidget()->isHidden())) {
      continue;  // the boundary layers' row while the flow is inviscid
    }
    const QString name = view->ExportName();
    std::string error =
        SaveViewPng(widget, widget.size(), dir.filePath(name + QStringLiteral(".png")));
    if (error.empty()) written << name + QStringLiteral(".png");
    if (error.empty() && !view->DataCsv().empty()) {
      error = SaveText(dir.filePath(name + QStringLiteral(".csv")), view->DataCsv());
      if (error.empty()) written << name + QStringLiteral(".csv");
    }
    if (!error.empty()) {
      // Each file is whole or absent; say which got there before the fault.
      ShowProblem(QString::fromStdString(error) +
                  (written.isEmpty()
                       ? QStringLiteral(" Nothing was exported.")
                       : QStringLiteral(" Exported before it: ") +
                             written.join(QStringLiteral(", ")) + QStringLiteral(".")));
      return;
    }
  }
  ShowProblem(QString());
  statusBar()->showMessage(QStringLiteral("Saved ") + written.join(QStringLiteral(", ")) +
                           QStringLiteral(" in ") + folder);
}

ExplorerSession Form_Explorer::Session() const {
  ExplorerSession session;
  session.alpha_degrees = alpha_;
  session.conditions = conditions_;
  ExplorerSessionSet& shown = session.shown;
  if (body_box_->currentData().toInt() == kFileBody && section_ &&
      body_box_->currentText() == body_box_->itemText(body_box_->findData(kFileBody))) {
    shown.body_file = section_path_.toStdString();
    shown.file_points = file_points_option_->isChecked();
    shown.panels = shown.file_points ? 0 : panels_box_->value();
  } else {
    shown.body = body_box_->currentText().trimmed().toStdString();
    const int index = body_box_->findText(body_box_->currentText());
    if (index >= 0 && body_box_->itemData(index).toInt() >= 0) {
      // A body handed over as it is: by a name the list knows for it, else its own.
      const BodyPtr body =
          given_bodies_[static_cast<std::size_t>(body_box_->itemData(index).toInt())];
      shown.body = BodyNameKey(body->Name());
    }
    shown.panels = panels_box_->value();
  }
  shown.vortex = circulation_box_->isChecked()
                     ? (point_vortex_option_->isChecked() ? VortexModel::kPointVortex
                                                          : VortexModel::kConstantDistribution)
                     : VortexModel::kNone;
  shown.xv = xv_box_->value();
  shown.yv = yv_box_->value();
  session.placement = elements_box_->FirstPlacement();
  session.flap = elements_box_->FirstFlap();
  session.ground_height = elements_box_->GroundHeight();
  for (const ElementInput& e : elements_box_->ExtraElements()) {
    ExplorerSessionElement element;
    if (e.body) {
      element.body = BodyNameKey(e.body->Name());
    } else {
      element.body_file = e.file;
      element.file_element = e.file_element;
    }
    element.placement = e.placement.value_or(Placement());
    element.flap = e.flap;
    session.elements.push_back(element);
  }
  if (compare_box_->isChecked()) {
    ExplorerSessionSet second;
    const QString text = compare_body_box_->currentText().trimmed();
    if (section_ && text == QStringLiteral("file: ") + FileName(section_path_)) {
      second.body_file = section_path_.toStdString();
      second.file_points = compare_panels_box_->value() == section_->NodeCount();
    } else {
      second.body = text.toStdString();
    }
    second.panels = compare_panels_box_->value();
    second.vortex = kCompareModels[std::max(0, compare_vortex_box_->currentIndex())];
    second.xv = shown.xv;
    second.yv = shown.yv;
    session.compare = second;
  }
  for (const OverlayCurve& curve : overlays_) session.overlays.emplace_back(curve.kind, curve.path);
  return session;
}

namespace {

// The inputs of a session's set, and the coordinate file it names; nothing, with the
// reason, when its body does not read.
std::optional<RunInputs> SetInputsOf(const ExplorerSessionSet& set,
                                     std::optional<SectionPoints>& section, std::string& error) {
  RunInputs inputs;
  inputs.circulation = set.vortex != VortexModel::kNone;
  inputs.vortex = set.vortex;
  inputs.Xv = set.xv;
  inputs.Yv = set.yv;
  if (!set.body_file.empty()) {
    section = ReadSectionFile(set.body_file, error);
    if (!section) return std::nullopt;
    inputs.NP = set.file_points ? section->NodeCount() : set.panels;
    const std::optional<double> panels =
        set.file_points ? std::nullopt : std::optional<double>(set.panels);
    inputs.body = SectionFileBody(*section, panels, inputs.circulation, error);
  } else {
    inputs.NP = set.panels;
    inputs.body = BodyFromTypedName(set.body, error);
  }
  if (!inputs.body) return std::nullopt;
  return inputs;
}

// The general problem of a session: the shown body (its inputs read) placed and flapped,
// the further elements, the ground; nothing, with the reason, when an element's body
// does not read.
std::optional<ProblemInputs> SessionLayout(const ExplorerSession& session, const RunInputs& shown,
                                           std::string& error) {
  ProblemInputs layout;
  ElementInput first;
  first.body = shown.body;
  first.placement = session.placement;
  first.flap = session.flap;
  layout.elements.push_back(first);
  for (std::size_t k = 0; k < session.elements.size(); ++k) {
    const ExplorerSessionElement& e = session.elements[k];
    const std::string name = "[element " + std::to_string(k + 2) + "]: ";
    ElementInput input;
    if (e.body_file.empty()) {
      input.body = BodyFromTypedName(e.body, error);
      if (!input.body) {
        error = name + error;
        return std::nullopt;
      }
    } else {
      const std::optional<std::vector<SectionPoints>> sections =
          ReadElementFile(e.body_file, error);
      if (!sections) {
        error = name + error;
        return std::nullopt;
      }
      if (e.file_element > static_cast<int>(sections->size())) {
        error = name + QuotedPath(e.body_file) + " holds " + std::to_string(sections->size()) +
                " element(s), not " + std::to_string(e.file_element);
        return std::nullopt;
      }
      input.section = (*sections)[static_cast<std::size_t>(e.file_element - 1)];
      input.file = e.body_file;
      input.file_element = e.file_element;
    }
    input.placement = e.placement;
    input.flap = e.flap;
    layout.elements.push_back(input);
  }
  layout.panels = shown.NP;
  layout.vortex = shown.circulation ? shown.vortex : VortexModel::kNone;
  layout.Xv = shown.Xv;
  layout.Yv = shown.Yv;
  layout.ground_height = session.ground_height;
  return layout;
}

}  // namespace

bool Form_Explorer::OpenSession(const QString& path, std::string& error) {
  const auto refuse = [&](const std::string& message) {
    error = message;
    ShowProblem(QString::fromStdString(message));
    return false;
  };
  const std::optional<ExplorerSession> session = ReadExplorerSessionFile(path.toStdString(), error);
  if (!session) return refuse(error);
  const std::string where = "session file " + QuotedPath(path.toStdString()) + ": ";
  // Everything is read and solved before the window changes, so that a session that
  // cannot be shown leaves the window as it was.
  std::optional<SectionPoints> section, second_section;
  std::string reason;
  std::optional<RunInputs> shown = SetInputsOf(session->shown, section, reason);
  if (!shown) return refuse(where + reason);
  if (!(session->alpha_degrees >= kExplorerAlphaMin &&
        session->alpha_degrees <= kExplorerAlphaMax)) {
    return refuse(where + "the angle of attack " + NumberText(session->alpha_degrees) +
                  " lies outside the explorer's range, -20 to 20 degrees");
  }
  shown->alpha_degrees = session->alpha_degrees;
  const std::optional<ProblemInputs> layout = SessionLayout(*session, *shown, reason);
  if (!layout) return refuse(where + reason);
  std::unique_ptr<ExplorerGeometry> made;
  try {
    made = NeedsGeneralProblem(*layout) ? MakeExplorerGeometry(*layout, shown->alpha_degrees)
                                        : MakeExplorerGeometry(*shown);
  } catch (const RunError& e) {
    return refuse(where + e.what());
  }
  if (session->compare) {
    std::optional<RunInputs> second = SetInputsOf(*session->compare, second_section, reason);
    if (!second) return refuse(where + "[compare]: " + reason);
    try {
      MakeExplorerGeometry(*second);
    } catch (const RunError& e) {
      return refuse(where + "[compare]: " + e.what());
    }
  }
  std::vector<OverlayCurve> curves;
  for (const auto& [kind, file] : session->overlays) {
    std::optional<OverlayCurve> curve = ReadOverlayFile(file, kind, reason);
    if (!curve) return refuse(where + reason);
    curves.push_back(std::move(*curve));
  }

  // Now shown as the session says.
  error.clear();
  overlays_ = std::move(curves);
  ShowOverlayList();
  updating_inputs_ = true;
  compare_box_->setChecked(false);
  updating_inputs_ = false;
  if (section) {
    SetInputs(*shown);
    ShowSection(
        *section,
        session->shown.file_points ? std::nullopt : std::optional<int>(session->shown.panels),
        QString::fromStdString(session->shown.body_file));
  } else {
    SetInputs(*shown);
    body_box_->setEditText(QString::fromStdString(session->shown.body));
    body_text_ = body_box_->currentText();
    ShowFileChoice();
  }
  updating_inputs_ = true;
  circulation_box_->setChecked(shown->circulation);
  point_vortex_option_->setChecked(shown->vortex == VortexModel::kPointVortex);
  constant_vortex_option_->setChecked(shown->vortex != VortexModel::kPointVortex);
  panels_box_->setValue(static_cast<int>(shown->NP));
  if (session->compare) {
    const ExplorerSessionSet& c = *session->compare;
    compare_panels_box_->setProperty("set", true);
    compare_body_box_->setEditText(c.body_file.empty()
                                       ? QString::fromStdString(c.body)
                                       : QStringLiteral("file: ") +
                                             FileName(QString::fromStdString(c.body_file)));
    if (!c.body_file.empty() && !section) {
      section_ = second_section;
      section_path_ = QString::fromStdString(c.body_file);
    }
    compare_panels_box_->setValue(c.file_points && second_section ? second_section->NodeCount()
                                                                  : c.panels);
    compare_vortex_box_->setCurrentIndex(
        static_cast<int>(std::find(std::begin(kCompareModels), std::end(kCompareModels), c.vortex) -
                         std::begin(kCompareModels)));
    compare_box_->setChecked(true);
  }
  SetFlowConditions(session->conditions);
  elements_box_->SetProblem(*layout);
  updating_inputs_ = false;
  OnVortexChanged();
  UpdateGeometry();
  statusBar()->showMessage(QStringLiteral("Opened ") + path, 5000);
  return true;
}

bool Form_Explorer::SaveSession(const QString& path, std::string& error) {
  error = SaveText(path, ExplorerSessionText(Session()));
  ShowProblem(QString::fromStdString(error));
  if (!error.empty()) return false;
  statusBar()->showMessage(QStringLiteral("Saved ") + path, 5000);
  return true;
}

void Form_Explorer::OpenSessionClick() {
  const QString path = ChooseOpenPath(QStringLiteral("Open session"),
                                      QStringLiteral("Explorer sessions (*.ini);;All files (*)"));
  std::string error;
  if (!path.isEmpty()) OpenSession(path, error);
}

void Form_Explorer::SaveSessionClick() {
  const QString suggestion = QDir::current().filePath(QStringLiteral("explorer.ini"));
  QString path;
  if (save_path_chooser_) {
    path = save_path_chooser_(suggestion, QStringLiteral("Session"));
  } else {
    path = QFileDialog::getSaveFileName(this, QStringLiteral("Save session"), suggestion,
                                        QStringLiteral("Explorer sessions (*.ini)"));
  }
  std::string error;
  if (!path.isEmpty()) SaveSession(path, error);
}

}  // namespace velquin
