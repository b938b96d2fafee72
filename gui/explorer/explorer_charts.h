// The explorer's two charts (Qt Charts), both views of the explorer:
//  - PressureChart: Cp against x/c with -Cp upwards, the upper and the lower surface as
//    two series, the exact solution where the body has one (a smooth curve round the
//    true contour: the circle, the ellipse, the mapped sections), the second set of
//    inputs dashed, Cp files laid over; hovering shows x and Cp of the nearest point.
//    The axes fit the data with a small margin. With boundary layers, the viscous
//    solution's pressure dotted, transition (green diamonds) and separation (red
//    crosses) marked on it; on every element where there are several. The legend names
//    each kind of line once, in a word.
//  - PolarChart: Cl against alpha from the circulation and from the pressure, the thin-
//    airfoil line 2 pi (alpha - alpha0) for a section with circulation, a marker at the
//    current angle, the quarter-chord moment on a second axis, the second set's Cl and
//    polar files laid over, and the swept angles marked when a sweep is drawn.
// Both titles name the inputs and the angle, so that a saved picture says what it shows.
#pragma once

#include <QChartView>
#include <string>
#include <vector>

#include "app/flow_explorer.h"
#include "gui/explorer/explorer_view.h"

class QCategoryAxis;
class QLineSeries;
class QScatterSeries;
class QGraphicsSimpleTextItem;

namespace velquin {

// Labels an axis from `low` to `high` at the multiples of a step of 1, 2 or 5 times a
// power of ten (about `ticks` of them), each label the exact value of its tick with as
// many decimals as the step needs, and no "-0". Returns the step.
// On an axis whose length FitAxesToPlot has measured, fewer ticks where `ticks` labels
// would not fit without eliding.
double SetNiceAxis(QCategoryAxis* axis, double low, double high, int ticks);

// Measures the plot's axes and labels those set by SetNiceAxis again, with as many of
// their ticks as fit. FitAxesOnResize does it after every resize of the view: at
// 1024 x 700 the angle axis of the lift chart read "... ... 0 5 ... ..." with eight ticks.
void FitAxesToPlot(QChart* chart);
void FitAxesOnResize(QChartView* view);

// The pieces every chart of the explorer is made of: a line of a fixed width in pixels,
// an axis labelled at its ticks (SetNiceAxis), a series attached to two axes, a chart
// with the legend below in small lettering and narrow margins.
QLineSeries* NewChartLine(const QString& name, const QColor& colour,
                          Qt::PenStyle style = Qt::SolidLine, double width = 2);
QCategoryAxis* NewChartAxis(const QString& title);
void AttachSeries(QChart* chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y);
QChart* NewExplorerChart();

// Scales every lettering of a chart (title, legend, axis labels and titles), so that a
// picture much larger than the window reads as well as the window.
void ScaleChartLettering(QChart* chart, double factor);

class PressureChart : public QChartView, public ExplorerView {
  Q_OBJECT

 public:
  explicit PressureChart(QWidget* parent = nullptr);
  // The frame of a geometry alone (the batch pictures and the tests).
  void SetFrame(const ExplorerGeometry& geometry, const ExplorerFrame& frame);

  QWidget* Widget() override { return this; }
  QString ExportName() const override { return QStringLiteral("Cp"); }
  void SetFrame(const ExplorerScene& scene) override;
  std::string DataCsv() const override { return csv_; }

  // The text the pointer's position shows, empty while the pointer is away.
  QString HoverText() const;
  // Shows the nearest point to a position of the view, as hovering does.
  void ShowNearest(const QPointF& position);
  QCategoryAxis* xAxis() const { return x_axis_; }
  QCategoryAxis* yAxis() const { return y_axis_; }
  // The marks shown on the viscous pressure: transition and separation, (x, Cp) each.
  QList<QPointF> TransitionMarks() const;
  QList<QPointF> SeparationMarks() const;

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // The legend in short words, one entry a kind of line: the chart is a third of the
  // window wide, and with the layers and a second element its nine entries were elided
  // to "Up...", "Vis...". The series keep their full names for the hover text. `further`:
  // the elements after the first.
  void ShortenLegend(std::size_t further);
  void FitAxisTitle();
  // Lines for the elements after the first, two an element (upper, lower), made up to
  // `count`; `kind` goes into their names ("viscous "), `style` draws them.
  void AddElementSeries(std::vector<QLineSeries*>& series, std::size_t count, const QString& kind,
                        Qt::PenStyle style);

  QLineSeries* upper_;
  QLineSeries* lower_;
  QLineSeries* exact_;
  QLineSeries* second_upper_;
  QLineSeries* second_lower_;
  // With boundary layers: the pressure of the viscous solution, and the marks of
  // transition and separation on it.
  QLineSeries* viscous_upper_;
  QLineSeries* viscous_lower_;
  QScatterSeries* transition_marks_;
  QScatterSeries* separation_marks_;
  std::vector<QLineSeries*> overlays_;
  // The surfaces of the elements after the first (general problem), two an element:
  // the inviscid pressure, and with boundary layers the viscous one.
  std::vector<QLineSeries*> element_series_;
  std::vector<QLineSeries*> viscous_element_series_;
  QCategoryAxis* x_axis_;
  QCategoryAxis* y_axis_;
  QGraphicsSimpleTextItem* hover_;
  std::string csv_;
};

class PolarChart : public QChartView, public ExplorerView {
  Q_OBJECT

 public:
  explicit PolarChart(QWidget* parent = nullptr);
  // The polar of a geometry alone; call again when the geometry changes.
  void SetGeometry(const ExplorerGeometry& geometry);
  // The marker at the frame's angle.
  void SetFrame(const ExplorerGeometry& geometry, const ExplorerFrame& frame);
  QPointF Marker() const;

  QWidget* Widget() override { return this; }
  QString ExportName() const override { return QStringLiteral("Polar"); }
  void SetGeometry(const ExplorerScene& scene) override;
  void SetFrame(const ExplorerScene& scene) override;
  std::string DataCsv() const override { return csv_; }

  QCategoryAxis* alphaAxis() const { return alpha_axis_; }
  bool ThinAirfoilShown() const;
  int MarkedCount() const;

 private:
  QLineSeries* cl_circulation_;
  QLineSeries* cl_pressure_;
  QLineSeries* thin_airfoil_;
  QLineSeries* cm_;
  QLineSeries* second_cl_;
  QLineSeries* second_cm_;
  QScatterSeries* marker_;
  QScatterSeries* marked_;
  std::vector<QAbstractSeries*> overlays_;
  QCategoryAxis* alpha_axis_;
  QCategoryAxis* cl_axis_;
  QCategoryAxis* cm_axis_;
  std::string csv_;
  QString title_;  // the inputs, without the angle
};

}  // namespace velquin
