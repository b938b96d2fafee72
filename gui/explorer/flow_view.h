// The explorer's flow picture: the pressure coefficient as a colour map with its colour
// bar, the streamlines, the body filled, and the stagnation points of its surface. The
// mouse wheel zooms about the pointer, dragging pans, a double click shows the whole
// domain again.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRectF>
#include <QWidget>
#include <vector>

#include "app/flow_explorer.h"

class QPainter;

namespace velquin {

// The pressure coefficient shown from deep blue to dark red.
inline constexpr double kFlowCpLow = -3;
inline constexpr double kFlowCpHigh = 1;

// The pressure coefficient of a frame at the grid nodes, those inside the body given the
// value of a neighbour outside, so that the colours run on to the contour.
std::vector<double> FlowCpFilled(const FlowGrid& grid, const FlowFrame& field);

// Paints the whole picture into `area`: the part `view` of the plane, kept to scale,
// with the colour bar at the right; cp from FlowCpFilled.
void PaintFlow(QPainter& painter, const QRectF& area, const ExplorerGeometry& geometry,
               const ExplorerFrame& frame, const std::vector<double>& cp, const FlowDomain& view);

class FlowView : public QWidget {
  Q_OBJECT

 public:
  explicit FlowView(QWidget* parent = nullptr);

  // The geometry and the frame to show; both must outlive the view or the next call.
  // A new geometry shows its whole domain.
  void SetFrame(const ExplorerGeometry* geometry, const ExplorerFrame* frame);
  void ResetView();
  const FlowDomain& view() const { return view_; }

  // Paints the picture at the given size into an image (for PNG) or any paint device.
  QImage Render(const QSize& size) const;
  void Paint(QPainter& painter, const QRectF& area) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  // Plane coordinates per pixel of the widget, and the plane point under a pixel.
  double PlanePerPixel() const;
  QPointF ToPlane(const QPointF& pixel) const;

  const ExplorerGeometry* geometry_ = nullptr;
  const ExplorerFrame* frame_ = nullptr;
  std::vector<double> cp_filled_;
  FlowDomain view_;
  bool dragging_ = false;
  QPoint drag_start_;
  FlowDomain drag_view_;
};

}  // namespace velquin
