// Form_Explorer: the flow explorer. The body, the panels, the vortex model and the angle
// of attack on the left, with a second set of inputs to compare and the files laid over
// the charts; the views (the flow, the pressure along the surface, the polar and the
// numbers) follow the angle as it moves. A change of body, panels or vortex model
// prepares a new geometry (assembly, one elimination, both base fields); a change of
// angle only combines them (app/flow_explorer.h). The views are kept in one list
// (ExplorerView); each saves itself from its context menu. File > Save session writes
// what the window shows into a session file (app/explorer_session.h), Open session
// reads one back; nothing is remembered between starts otherwise.
#pragma once

#include <QMainWindow>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/explorer_session.h"
#include "app/flow_explorer.h"
#include "app/overlay_files.h"
#include "geometry/geometry_file.h"
#include "gui/explorer/explorer_view.h"
#include "solver/run_inputs.h"

class QCheckBox;
class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QSplitter;
class QTimer;
class QVBoxLayout;
class QWidget;

namespace velquin {

class BoundaryLayerView;
class CheckedDoubleSpinBox;
class DragPolarView;
class CheckedSpinBox;
class ElementsBox;
class FlowView;
class NumbersView;
class PolarChart;
class PressureChart;

// Where the explorer opens on a screen with this available area: 1500 x 950 where it
// fits, else the area less a margin for the window's frame, never below 1024 x 700
// unless the area itself is smaller; centred.
QRect ExplorerWindowRect(const QRect& available);

class Form_Explorer : public QMainWindow {
  Q_OBJECT

 public:
  // Chooses the file a view or session is saved to, given a suggestion and the kind
  // ("PNG", "SVG", "CSV", "Session", "Folder"); empty cancels. By default a dialog asks.
  using SavePathChooser = std::function<QString(const QString& suggestion, const QString& kind)>;

  // Chooses a file to open (coordinate, overlay or session file); empty cancels. By
  // default a file dialog asks.
  using OpenPathChooser = std::function<QString()>;

  explicit Form_Explorer(const RunInputs& inputs, QWidget* parent = nullptr);
  ~Form_Explorer() override;

  // Shows a new geometry from these inputs at their angle.
  void ShowInputs(const RunInputs& inputs);
  // Shows the general problem: element 1 in the body inputs (a body by name), the others,
  // the flap and the ground in the elements box.
  void ShowProblemInputs(const ProblemInputs& inputs);
  // The general problem the inputs ask for, or nothing for the seed's single body.
  std::optional<ProblemInputs> ProblemInputsShown() const;
  ElementsBox* elementsBox() const { return elements_box_; }

  // Shows the section of a coordinate file: with NP panels through a spline, or with the
  // file's own points when none is given (or NP is their count). `path` is the file's
  // (empty: the one its source names).
  void ShowSection(const SectionPoints& section, std::optional<int> NP = std::nullopt,
                   const QString& path = QString());

  void SetSavePathChooser(SavePathChooser chooser) { save_path_chooser_ = std::move(chooser); }
  void SetOpenPathChooser(OpenPathChooser chooser) { open_path_chooser_ = std::move(chooser); }

  // The angle of attack in degrees. SetAngle refuses, with a message, an angle outside
  // the explorer's range.
  double Angle() const { return alpha_; }
  void SetAngle(double alpha_degrees);

  // The boundary layers' flow conditions: no Reynolds number is the inviscid flow.
  // SetFlowConditions shows them in the boxes and takes them.
  const ExplorerFlowConditions& FlowConditions() const { return conditions_; }
  void SetFlowConditions(const ExplorerFlowConditions& conditions);
  // The options the frames' boundary layers are computed with: nothing while inviscid
  // or when the geometry cannot have them (ExplorerViscousUnavailable).
  std::optional<ViscousOptions> ViscousOptionsShown() const;

  // The inputs the controls hold (the body null when they name none).
  RunInputs Inputs() const;
  // The message of the last refused input or note, empty when there is none.
  QString Problem() const;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // The panel count of the geometry on show (per element in the general problem).
  int PanelsInUse() const;

  // Sessions: the one the window shows, and reading one from a file. A file that cannot
  // be read or does not give inputs the explorer takes is refused with a message (in
  // `error`, and under the inputs) and the window keeps what it had.
  ExplorerSession Session() const;
  bool OpenSession(const QString& path, std::string& error);
  bool SaveSession(const QString& path, std::string& error);

  // Lays a file's curve over the charts; false, with the message shown, when refused.
  bool AddOverlay(const QString& path, OverlayKind kind);
  const std::vector<OverlayCurve>& overlays() const { return overlays_; }

  const ExplorerGeometry* geometry() const { return geometry_.get(); }
  const ExplorerGeometry* secondGeometry() const { return second_geometry_.get(); }
  const ExplorerFrame& frame() const { return frame_; }
  const std::vector<ExplorerView*>& views() const { return views_; }
  FlowView* flowView() const { return flow_view_; }
  PressureChart* pressureChart() const { return pressure_chart_; }
  PolarChart* polarChart() const { return polar_chart_; }
  NumbersView* numbersView() const { return numbers_view_; }
  BoundaryLayerView* boundaryLayerView() const { return boundary_layer_view_; }
  DragPolarView* dragPolarView() const { return drag_polar_view_; }
  QLineEdit* reynoldsBox() const { return reynolds_box_; }
  CheckedDoubleSpinBox* ncritBox() const { return ncrit_box_; }
  QSlider* angleSlider() const { return angle_slider_; }
  QDialog* guide() const { return guide_; }

 private:
  // Where a view goes: the top of the right side, beside the charts, in the panel, or in
  // the row below the charts that is shown while the boundary layers are computed.
  enum class ViewPlace { kTop, kCharts, kPanel, kViscous };
  void RegisterView(ExplorerView* view, ViewPlace place);

  void CreateInputs(QWidget* panel);
  QGroupBox* CreateBodyInputs(QWidget* panel);
  QGroupBox* CreateCompareInputs(QWidget* panel);
  QGroupBox* CreateOverlayInputs(QWidget* panel);
  QGroupBox* CreateConditionInputs(QWidget* panel);
  // The Reynolds number or Ncrit typed: taken when they read, else named as refused.
  void OnConditionsTyped();
  // The boxes enabled where the geometry can have boundary layers (a tip saying why
  // not), and the row of the viscous views shown while they are computed.
  void UpdateViscousInputs();
  void CreateMenus();
  void FitToScreen();
  void SetInputs(const RunInputs& inputs);
  void ConnectInputs();
  void SelectBody(const BodyPtr& body);
  void OnBodyChanged();
  void file_button_Click();
  void ShowFileChoice();
  // The body the list names, for a panel count; null, with the reason in `problem`, when
  // it names none.
  BodyPtr SelectedBody(double NP, bool circulation, std::string& problem) const;
  RunInputs ReadInputs(std::string& problem) const;
  RunInputs ReadSecondInputs(std::string& problem) const;
  void OnVortexChanged();
  void OnAngleTyped(double alpha);
  // A new geometry from the inputs, then the frame at the current angle.
  void UpdateGeometry();
  void UpdateComparison();
  void UpdateViewGrid();
  void UpdateFrame();
  void ComputeGroundPolarClick();
  ExplorerScene Scene() const;
  void ShowGeometryInViews();
  void ShowProblem(const QString& message);
  // Puts the panel count of the geometry on show back into the panels box.
  void ShowPanelsInUse();
  void ShowOutOfRange(const QString& what, double value, double low, double high,
                      const QString& kept);
  void ShowOverlayList();
  void ShowViewMenu(ExplorerView* view, const QPoint& position);
  void SaveView(ExplorerView* view, const QString& kind);
  void ExportPictures();
  void OpenSessionClick();
  void SaveSessionClick();
  void AddOverlayClick(OverlayKind kind);
  void ShowGuide();
  QString ChooseOpenPath(const QString& title, const QString& filter);

  // The boundary layers of an angle under way on another thread.
  struct LayersJob {
    double alpha_degrees = 0;
    std::shared_ptr<const ExplorerGeometry> geometry;
    ViscousOptions options;
    std::future<std::optional<ExplorerViscousFrame>> result;
  };
  void StartLayers(const ViscousOptions& options);
  // Whether the job's layers belong to the frame on show (angle, geometry, conditions).
  bool LayersJobCurrent() const;
  void OnLayersTimer();

  std::shared_ptr<ExplorerGeometry> geometry_;
  std::unique_ptr<ExplorerGeometry> second_geometry_;
  std::unique_ptr<FlowGrid> view_grid_;  // the zoomed or panned view's grid, if any
  ExplorerFrame frame_;
  ExplorerFrame second_frame_;
  double alpha_ = 0;
  std::vector<OverlayCurve> overlays_;
  std::vector<PolarPoint> ground_polar_;  // above a ground: the polar per angle, if computed
  ExplorerFlowConditions conditions_;
  std::vector<ExplorerView*> views_;
  SavePathChooser save_path_chooser_;
  OpenPathChooser open_path_chooser_;
  std::vector<BodyPtr> given_bodies_;     // bodies handed over as they are
  std::optional<SectionPoints> section_;  // the coordinate file loaded
  QString section_path_;                  // and where it was read from
  QString body_text_;                     // the body name last taken
  QString pending_note_;                  // shown once the next geometry is made
  bool updating_inputs_ = false;

  QSplitter* top_splitter_ = nullptr;
  QSplitter* charts_splitter_ = nullptr;
  QSplitter* viscous_splitter_ = nullptr;
  bool viscous_row_sized_ = false;
  QVBoxLayout* panel_column_ = nullptr;
  QComboBox* body_box_ = nullptr;
  QPushButton* file_button_ = nullptr;
  QWidget* file_frame_ = nullptr;
  QLabel* file_label_ = nullptr;
  QRadioButton* file_points_option_ = nullptr;
  QRadioButton* spline_option_ = nullptr;
  CheckedSpinBox* panels_box_ = nullptr;
  QCheckBox* circulation_box_ = nullptr;
  QRadioButton* constant_vortex_option_ = nullptr;
  QRadioButton* point_vortex_option_ = nullptr;
  QWidget* vortex_position_frame_ = nullptr;
  CheckedDoubleSpinBox* xv_box_ = nullptr;
  CheckedDoubleSpinBox* yv_box_ = nullptr;
  QSlider* angle_slider_ = nullptr;
  CheckedDoubleSpinBox* alpha_box_ = nullptr;
  QLineEdit* reynolds_box_ = nullptr;
  CheckedDoubleSpinBox* ncrit_box_ = nullptr;
  QCheckBox* compare_box_ = nullptr;
  QComboBox* compare_body_box_ = nullptr;
  CheckedSpinBox* compare_panels_box_ = nullptr;
  QComboBox* compare_vortex_box_ = nullptr;
  QLabel* overlay_label_ = nullptr;
  ElementsBox* elements_box_ = nullptr;
  QLabel* problem_label_ = nullptr;
  QString problem_;  // the whole message; the label may show it shortened
  QTimer* view_timer_ = nullptr;
  QTimer* layers_timer_ = nullptr;  // looks for layers that came after their frame
  QDialog* guide_ = nullptr;
  FlowView* flow_view_ = nullptr;
  PressureChart* pressure_chart_ = nullptr;
  PolarChart* polar_chart_ = nullptr;
  NumbersView* numbers_view_ = nullptr;
  BoundaryLayerView* boundary_layer_view_ = nullptr;
  DragPolarView* drag_polar_view_ = nullptr;
  // Declared last: destroyed first, waiting for its thread, while the rest still stands.
  std::unique_ptr<LayersJob> layers_job_;
};

}  // namespace velquin
