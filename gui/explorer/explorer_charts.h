// The explorer's two charts (Qt Charts):
//  - PressureChart: Cp against x/c with -Cp upwards, the upper and the lower surface as
//    two series, the exact solution where the body has one; hovering shows x and Cp of
//    the nearest point.
//  - PolarChart: Cl against alpha from the circulation and from the pressure, the thin-
//    airfoil line 2 pi (alpha - alpha0), a marker at the current angle, and the quarter-
//    chord moment on a second axis.
#pragma once

#include <QChartView>

#include "app/flow_explorer.h"

class QLineSeries;
class QScatterSeries;
class QValueAxis;
class QGraphicsSimpleTextItem;

namespace velquin {

class PressureChart : public QChartView {
  Q_OBJECT

 public:
  explicit PressureChart(QWidget* parent = nullptr);
  void SetFrame(const ExplorerGeometry& geometry, const ExplorerFrame& frame);
  // The text the pointer's position shows, empty while the pointer is away.
  QString HoverText() const;
  // Shows the nearest point to a position of the view, as hovering does.
  void ShowNearest(const QPointF& position);

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  QLineSeries* upper_;
  QLineSeries* lower_;
  QLineSeries* exact_;
  QValueAxis* x_axis_;
  QValueAxis* y_axis_;
  QGraphicsSimpleTextItem* hover_;
};

class PolarChart : public QChartView {
  Q_OBJECT

 public:
  explicit PolarChart(QWidget* parent = nullptr);
  // The polar of a geometry; call again when the geometry changes.
  void SetGeometry(const ExplorerGeometry& geometry);
  // The marker at the frame's angle.
  void SetFrame(const ExplorerGeometry& geometry, const ExplorerFrame& frame);
  QPointF Marker() const;

 private:
  QLineSeries* cl_circulation_;
  QLineSeries* cl_pressure_;
  QLineSeries* thin_airfoil_;
  QLineSeries* cm_;
  QScatterSeries* marker_;
  QValueAxis* cl_axis_;
  QValueAxis* cm_axis_;
};

}  // namespace velquin
