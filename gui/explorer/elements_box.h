// ElementsBox: the elements of the general problem in the explorer. Element 1 is the
// body chosen above it (by name or file); further elements are added by name or from a
// coordinate file. Every element has a placement (x, y of its leading edge, its angle,
// trailing edge down positive, and its chord); element 1 may have a flap
// (hinge and angle); a ground plane may lie beneath the configuration at a height.
// The box only holds these inputs and says when they change; the window turns them into
// the problem (app/problem_run.h).
#pragma once

#include <QGroupBox>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/problem_run.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;

namespace velquin {

class CheckedDoubleSpinBox;

class ElementsBox : public QGroupBox {
  Q_OBJECT

 public:
  explicit ElementsBox(QWidget* parent = nullptr);

  // Called after every change of an input of the box.
  void SetChangedHandler(std::function<void()> handler) { changed_ = std::move(handler); }
  // Called with the message of a value a box refused (it keeps its value, so the
  // elements stay as they were).
  void SetRefusedHandler(std::function<void(const QString&)> handler) {
    refused_ = std::move(handler);
  }
  // Chooses a coordinate file to add; empty cancels.
  void SetFileChooser(std::function<QString()> chooser) { choose_file_ = std::move(chooser); }
  // Called when the polar per angle is asked for (above a ground).
  void SetGroundPolarHandler(std::function<void()> handler) { ground_polar_ = std::move(handler); }

  // The elements after the first, each an ElementInput with its placement.
  std::vector<ElementInput> ExtraElements() const;
  // Element 1's placement, if it is not the identity.
  std::optional<Placement> FirstPlacement() const;
  // The flap of element 1, if switched on.
  std::optional<Flap> FirstFlap() const;
  std::optional<double> GroundHeight() const;
  // True when the inputs ask for the general problem: several elements, a placement, a
  // flap or a ground.
  bool General() const;
  int ElementCount() const { return static_cast<int>(extra_.size()) + 1; }

  // Sets everything from a problem's inputs (its first element stays with the window).
  void SetProblem(const ProblemInputs& inputs);
  // Adds an element by name; false, with the reason in `error`, when no body has it.
  bool AddByName(const std::string& name, std::string& error);
  // The name of element 1 as the list shows it.
  void SetFirstName(const QString& name);
  QString LastError() const { return error_; }

 private:
  struct Entry {
    ElementInput input;
    Placement placement;
  };
  void ShowList();
  void ShowSelected();
  void OnPlacementEdited();
  void OnAddName();
  void OnAddFile();
  void OnRemove();
  void Changed();

  std::vector<Entry> extra_;
  Placement first_placement_;
  QString first_name_;
  QString error_;
  bool updating_ = false;
  std::function<void()> changed_;
  std::function<void(const QString&)> refused_;
  std::function<QString()> choose_file_;
  std::function<void()> ground_polar_;

  QListWidget* list_ = nullptr;
  QLineEdit* name_edit_ = nullptr;
  QPushButton* add_button_ = nullptr;
  QPushButton* add_file_button_ = nullptr;
  QPushButton* remove_button_ = nullptr;
  CheckedDoubleSpinBox* x_box_ = nullptr;
  CheckedDoubleSpinBox* y_box_ = nullptr;
  CheckedDoubleSpinBox* angle_box_ = nullptr;
  CheckedDoubleSpinBox* chord_box_ = nullptr;
  QCheckBox* flap_box_ = nullptr;
  CheckedDoubleSpinBox* hinge_box_ = nullptr;
  QSlider* flap_slider_ = nullptr;
  QLabel* flap_label_ = nullptr;
  QCheckBox* ground_box_ = nullptr;
  QSlider* ground_slider_ = nullptr;
  QLabel* ground_label_ = nullptr;
  QPushButton* polar_button_ = nullptr;
};

}  // namespace velquin
