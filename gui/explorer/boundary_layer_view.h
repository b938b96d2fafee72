// The explorer's boundary-layer view: the layers of both surfaces against x/c at the
// current angle, in four small charts: the shape factor H, the skin friction Cf, the
// amplification exponent N (with Ncrit, where transition comes) and the displacement
// thickness delta*/c. The upper surface red, the lower blue, as in the pressure chart;
// each from the stagnation point to the trailing edge. With several elements a list
// chooses the element shown (the first at the start), against x over the reference
// chord. It draws what the frame's boundary layers hold (app/explorer_viscous.h) and
// saves them, every element's, as bl.csv has them.
#pragma once

#include <QWidget>
#include <array>
#include <optional>
#include <string>
#include <utility>

#include "app/explorer_viscous.h"
#include "gui/explorer/explorer_view.h"

class QCategoryAxis;
class QChartView;
class QComboBox;
class QLabel;
class QLineSeries;

namespace velquin {

class BoundaryLayerView : public QWidget, public ExplorerView {
  Q_OBJECT

 public:
  // The quantities in the order of the charts.
  enum Quantity { kShape, kFriction, kAmplification, kDisplacement, kQuantities };

  explicit BoundaryLayerView(QWidget* parent = nullptr);

  QWidget* Widget() override { return this; }
  QString ExportName() const override { return QStringLiteral("BoundaryLayer"); }
  void SetFrame(const ExplorerScene& scene) override;
  std::string DataCsv() const override { return csv_; }
  QString CopyText() const override { return QString::fromStdString(csv_); }

  // The points of a quantity on a surface as drawn.
  int PointCount(Quantity quantity, bool upper) const;
  bool AllFinite() const;
  // The list of the elements, shown where there are several.
  QComboBox* elementBox() const { return element_box_; }

 private:
  struct Plot {
    QChartView* view = nullptr;
    QLineSeries* upper = nullptr;
    QLineSeries* lower = nullptr;
    QCategoryAxis* x_axis = nullptr;
    QCategoryAxis* y_axis = nullptr;
    double low = 0, high = 0;  // the y axis's range
  };
  std::array<Plot, kQuantities> plots_;
  QLineSeries* ncrit_line_ = nullptr;
  // The charts of the element chosen in the layers on show.
  void Draw();

  QLabel* title_ = nullptr;
  QComboBox* element_box_ = nullptr;
  std::optional<ExplorerViscousFrame> layers_;  // on show, for another element's choice
  double alpha_degrees_ = 0;
  std::pair<double, double> x_range_{0, 1};  // of the x axes
  std::string csv_;
};

}  // namespace velquin
