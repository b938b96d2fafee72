// The explorer's flow picture: the pressure coefficient as a colour map with its colour
// bar, the streamlines, the body filled, the stagnation points of its surface and the
// point vortex, a scale, and the pointer's coordinates. The mouse wheel zooms about the
// pointer, dragging pans, a double click shows the whole domain again; after each the
// explorer is told, so that it can hand over a frame whose streamlines are seeded for
// the part on show. The caption names the inputs and the angle, and the lettering grows
// with the picture, so that a large export stays readable.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRectF>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "app/flow_explorer.h"
#include "gui/explorer/explorer_view.h"

class QPainter;

namespace velquin {

// The pressure coefficient shown from deep blue to dark red.
inline constexpr double kFlowCpLow = -3;
inline constexpr double kFlowCpHigh = 1;

// The pressure coefficient of a frame at the grid nodes, those inside the body given the
// value of a neighbour outside, so that the colours run on to the contour.
std::vector<double> FlowCpFilled(const FlowGrid& grid, const FlowFrame& field);

// Paints the whole picture into `area`: the part `view` of the plane, kept to scale,
// with the colour bar at the right; cp from FlowCpFilled of `grid` (the frame's view
// grid or the geometry's); the pointer's plane coordinates when given.
void PaintFlow(QPainter& painter, const QRectF& area, const ExplorerGeometry& geometry,
               const ExplorerFrame& frame, const FlowGrid& grid, const std::vector<double>& cp,
               const FlowDomain& view, const std::optional<QPointF>& pointer = std::nullopt);

// The length of the scale bar for a view of this width (plane units): 1, 2 or 5 times a
// power of ten, at most a fifth of the width.
double ScaleBarLength(double view_width);

class FlowView : public QWidget, public ExplorerView {
  Q_OBJECT

 public:
  explicit FlowView(QWidget* parent = nullptr);

  QWidget* Widget() override { return this; }
  QString ExportName() const override { return QStringLiteral("Flow"); }
  void SetFrame(const ExplorerScene& scene) override;

  // Called after the part of the plane on show has changed (zoom, pan, whole domain).
  void SetViewChangedHandler(std::function<void()> handler) { view_changed_ = std::move(handler); }
  // The part of the plane shown; tells the handler.
  void SetView(const FlowDomain& view);
  // The part of the plane the picture shows at the widget's size (the view, widened to
  // the plot's shape).
  FlowDomain VisibleDomain() const;
  // The pointer's plane coordinates as the picture shows them, empty while it is away.
  QString PointerText() const;

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
  void leaveEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Plane coordinates per pixel of the widget, and the plane point under a pixel.
  double PlanePerPixel() const;
  QPointF ToPlane(const QPointF& pixel) const;

  const ExplorerGeometry* geometry_ = nullptr;
  const ExplorerFrame* frame_ = nullptr;
  std::vector<double> cp_filled_;
  FlowDomain view_;
  std::function<void()> view_changed_;
  std::optional<QPointF> pointer_;  // in the plane
  bool dragging_ = false;
  QPoint drag_start_;
  FlowDomain drag_view_;
};

}  // namespace velquin
