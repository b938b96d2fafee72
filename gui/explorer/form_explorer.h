// Form_Explorer: the flow explorer. The body, the panels, the vortex model and the angle
// of attack on the left; the flow, the pressure along the surface, the polar and the
// numbers, all following the angle slider as it moves. A change of body, panels or
// vortex model prepares a new geometry (assembly, one elimination, both base fields);
// a change of angle only combines them (app/flow_explorer.h). Each view saves itself
// from its context menu (PNG, SVG; the pressure also as CSV). Nothing else is written.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/flow_explorer.h"
#include "geometry/geometry_file.h"
#include "solver/run_inputs.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QWidget;

namespace velquin {

class FlowView;
class NumbersView;
class PolarChart;
class PressureChart;

class Form_Explorer : public QMainWindow {
  Q_OBJECT

 public:
  // Chooses the file a view is saved to, given a suggestion and the kind ("PNG", "SVG",
  // "CSV"); empty cancels. By default a file dialog asks.
  using SavePathChooser = std::function<QString(const QString& suggestion, const QString& kind)>;

  // Chooses a coordinate file to open; empty cancels. By default a file dialog asks.
  using OpenPathChooser = std::function<QString()>;

  explicit Form_Explorer(const RunInputs& inputs, QWidget* parent = nullptr);
  ~Form_Explorer() override;

  // Shows a new geometry from these inputs at their angle.
  void ShowInputs(const RunInputs& inputs);

  // Shows the section of a coordinate file with NP panels, or with its own count when
  // none is given (re-panelled whenever the count is not the file's own).
  void ShowSection(const SectionPoints& section, std::optional<int> NP = std::nullopt);

  void SetSavePathChooser(SavePathChooser chooser) { save_path_chooser_ = std::move(chooser); }
  void SetOpenPathChooser(OpenPathChooser chooser) { open_path_chooser_ = std::move(chooser); }

  // The angle of attack in degrees, as the slider holds it.
  double Angle() const;
  void SetAngle(double alpha_degrees);

  // The inputs the controls hold (the body null when they name none).
  RunInputs Inputs() const;
  // The message of the last refused input, empty when the inputs were accepted.
  QString Problem() const;

  const ExplorerGeometry* geometry() const { return geometry_.get(); }
  const ExplorerFrame& frame() const { return frame_; }
  FlowView* flowView() const { return flow_view_; }
  PressureChart* pressureChart() const { return pressure_chart_; }
  PolarChart* polarChart() const { return polar_chart_; }
  NumbersView* numbersView() const { return numbers_view_; }
  QSlider* angleSlider() const { return angle_slider_; }

 private:
  void CreateInputs(QWidget* panel);
  void SetInputs(const RunInputs& inputs);
  void ConnectInputs();
  void SelectBody(const BodyPtr& body);
  void OnBodyChanged();
  void file_button_Click();
  // The body the list names, for a panel count (a coordinate file is re-panelled);
  // null, with the reason in `problem`, when it names none.
  BodyPtr SelectedBody(double NP, bool circulation, std::string& problem) const;
  RunInputs ReadInputs(std::string& problem) const;
  void OnVortexChanged();
  // A new geometry from the inputs, then the frame at the current angle.
  void UpdateGeometry();
  void UpdateFrame();
  void ShowProblem(const QString& message);
  void ShowViewMenu(QWidget* view, const QPoint& position);
  void SaveView(QWidget* view, const QString& kind);

  std::unique_ptr<ExplorerGeometry> geometry_;
  ExplorerFrame frame_;
  SavePathChooser save_path_chooser_;
  OpenPathChooser open_path_chooser_;
  std::vector<BodyPtr> given_bodies_;     // bodies handed over as they are
  std::optional<SectionPoints> section_;  // the coordinate file loaded
  std::optional<int> section_panels_;     // the panel count it is first shown with
  QString body_text_;                     // the body name last taken
  bool updating_inputs_ = false;

  QComboBox* body_box_ = nullptr;
  QPushButton* file_button_ = nullptr;
  QSpinBox* panels_box_ = nullptr;
  QCheckBox* circulation_box_ = nullptr;
  QRadioButton* constant_vortex_option_ = nullptr;
  QRadioButton* point_vortex_option_ = nullptr;
  QWidget* vortex_position_frame_ = nullptr;
  QDoubleSpinBox* xv_box_ = nullptr;
  QDoubleSpinBox* yv_box_ = nullptr;
  QSlider* angle_slider_ = nullptr;
  QDoubleSpinBox* alpha_box_ = nullptr;
  QLabel* problem_label_ = nullptr;
  FlowView* flow_view_ = nullptr;
  PressureChart* pressure_chart_ = nullptr;
  PolarChart* polar_chart_ = nullptr;
  NumbersView* numbers_view_ = nullptr;
};

}  // namespace velquin
