#include "gui/explorer/flow_view.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <vector>

namespace velquin {
namespace {

const QColor kBodyColour(150, 150, 150);
const QColor kStreamlineColour(30, 30, 30);
constexpr double kColourBarWidth = 80;
constexpr double kMargin = 8;
constexpr double kCaptionHeight = 24;

// Blue (low pressure, fast flow) through white (Cp = 0, the free stream's pressure)
// to red (high pressure, the stagnation point at Cp = 1).
QRgb CpColour(double cp) {
  const double t = std::clamp((cp - kFlowCpLow) / (kFlowCpHigh - kFlowCpLow), 0.0, 1.0);
  const double zero = (0 - kFlowCpLow) / (kFlowCpHigh - kFlowCpLow);
  struct Stop {
    double at;
    int r, g, b;
  };
  const Stop stops[] = {{0, 20, 40, 140},
                        {0.5 * zero, 70, 130, 220},
                        {zero, 250, 250, 245},
                        {0.5 + 0.5 * zero, 250, 190, 110},
                        {1, 180, 20, 20}};
  int k = 0;
  while (k < 3 && t > stops[k + 1].at) ++k;
  const Stop& a = stops[k];
  const Stop& b = stops[k + 1];
  const double s = (t - a.at) / (b.at - a.at);
  const auto mix = [s](int p, int q) { return static_cast<int>(std::lround(p + s * (q - p))); };
  return qRgb(mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b));
}

// 1024 colours spread over the scale: one lookup per node.
const std::array<QRgb, 1024>& CpPalette() {
  static const std::array<QRgb, 1024> palette = [] {
    std::array<QRgb, 1024> colours{};
    for (int k = 0; k < 1024; ++k) {
      colours[k] = CpColour(kFlowCpLow + (kFlowCpHigh - kFlowCpLow) * k / 1023.0);
    }
    return colours;
  }();
  return palette;
}

// From the plane to pixels: uniform scale, y upwards, the view centred in the plot area.
struct PlaneMapping {
  QRectF plot;
  double scale = 1, x0 = 0, y0 = 0;  // pixel = (x0 + scale x, y0 - scale y)
  QPointF ToPixel(double x, double y) const { return {x0 + scale * x, y0 - scale * y}; }
};

PlaneMapping MapView(const QRectF& area, const FlowDomain& view) {
  PlaneMapping m;
  m.plot = QRectF(area.left() + kMargin, area.top() + kCaptionHeight,
                  area.width() - 2 * kMargin - kColourBarWidth,
                  area.height() - kCaptionHeight - kMargin);
  const double w = view.xmax - view.xmin, h = view.ymax - view.ymin;
  m.scale = std::min(m.plot.width() / w, m.plot.height() / h);
  const QPointF centre = m.plot.center();
  m.x0 = centre.x() - m.scale * 0.5 * (view.xmin + view.xmax);
  m.y0 = centre.y() + m.scale * 0.5 * (view.ymin + view.ymax);
  return m;
}

void PaintColourBar(QPainter& painter, const QRectF& area) {
  const QRectF bar(area.right() - kColourBarWidth + 14, area.top() + kCaptionHeight + 10, 16,
                   area.height() - kCaptionHeight - 40);
  QLinearGradient gradient(bar.bottomLeft(), bar.topLeft());
  for (int k = 0; k <= 16; ++k) {
    const double t = k / 16.0;
    gradient.setColorAt(t, QColor(CpColour(kFlowCpLow + t * (kFlowCpHigh - kFlowCpLow))));
  }
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(gradient);
  painter.drawRect(bar);
  painter.drawText(QRectF(bar.left() - 6, area.top() + 2, 40, kCaptionHeight), Qt::AlignCenter,
                   QStringLiteral("Cp"));
  for (int cp = static_cast<int>(kFlowCpLow); cp <= static_cast<int>(kFlowCpHigh); ++cp) {
    const double y = bar.bottom() - (cp - kFlowCpLow) / (kFlowCpHigh - kFlowCpLow) * bar.height();
    painter.drawLine(QPointF(bar.right(), y), QPointF(bar.right() + 5, y));
    QString label = QString::number(cp);
    if (cp == static_cast<int>(kFlowCpLow)) label = QStringLiteral("\u2264 ") + label;
    painter.drawText(QRectF(bar.right() + 8, y - 9, 44, 18), Qt::AlignLeft | Qt::AlignVCenter,
                     label.replace(QLatin1Char('-'), QChar(0x2212)));
  }
}

QString Degrees(double alpha) {
  return QString::number(alpha, 'f', 1).replace(QLatin1Char('-'), QChar(0x2212));
}

}  // namespace

std::vector<double> FlowCpFilled(const FlowGrid& grid, const FlowFrame& field) {
  std::vector<double> cp = field.cp;
  const int nx = grid.nx, ny = grid.ny;
  for (int j = 0; j < ny; ++j) {
    for (int i = 0; i < nx; ++i) {
      const std::size_t k = static_cast<std::size_t>(j) * nx + i;
      if (!grid.inside[k]) continue;
      // The first neighbour outside, if any: the colour then runs on to the contour.
      const std::pair<int, int> neighbours[] = {{i - 1, j}, {i + 1, j}, {i, j - 1}, {i, j + 1}};
      for (const auto& [a, b] : neighbours) {
        if (a < 0 || b < 0 || a >= nx || b >= ny) continue;
        const std::size_t n = static_cast<std::size_t>(b) * nx + a;
        if (!grid.inside[n]) {
          cp[k] = field.cp[n];
          break;
        }
      }
    }
  }
  return cp;
}

namespace {

// Where a pixel column (or row) falls in the grid: the cell and the fraction across it,
// or no cell outside the grid.
struct GridStep {
  int cell = -1;
  double t = 0;
};

std::vector<GridStep> GridSteps(int first_pixel, int count, double origin, double step, int nodes,
                                const std::function<double(double)>& plane_of_pixel) {
  std::vector<GridStep> steps(static_cast<std::size_t>(count));
  for (int p = 0; p < count; ++p) {
    const double f = (plane_of_pixel(first_pixel + p + 0.5) - origin) / step;
    if (!(f >= 0 && f <= nodes - 1)) continue;
    const int cell = std::min(static_cast<int>(f), nodes - 2);
    steps[static_cast<std::size_t>(p)] = {cell, f - cell};
  }
  return steps;
}

// The colour map: Cp interpolated bilinearly between the grid nodes, then coloured, in
// blocks of kColourMapBlock x kColourMapBlock pixels (a grid cell spans several blocks
// on the screen, so the blocks do not show, and a quarter of the pixels costs a quarter
// of the time); blocks outside the grid stay grey.
constexpr int kColourMapBlock = 2;

void PaintColourMap(QPainter& painter, const PlaneMapping& m, const FlowGrid& grid,
                    const std::vector<double>& cp) {
  const QRect pixels = m.plot.toAlignedRect();
  const QSize blocks((pixels.width() + kColourMapBlock - 1) / kColourMapBlock,
                     (pixels.height() + kColourMapBlock - 1) / kColourMapBlock);
  if (blocks.isEmpty()) return;
  QImage image(blocks, QImage::Format_RGB32);
  image.fill(QColor(235, 235, 235));
  const double half = 0.5 * kColourMapBlock;  // the centre of a block
  const auto columns =
      GridSteps(0, blocks.width(), grid.domain.xmin, grid.dx, grid.nx, [&](double b) {
        return (pixels.left() + kColourMapBlock * b - 0.5 + half - m.x0) / m.scale;
      });
  const auto rows =
      GridSteps(0, blocks.height(), grid.domain.ymin, grid.dy, grid.ny, [&](double b) {
        return (m.y0 - (pixels.top() + kColourMapBlock * b - 0.5 + half)) / m.scale;
      });
  const std::array<QRgb, 1024>& palette = CpPalette();
  const double to_index = 1023 / (kFlowCpHigh - kFlowCpLow);
  std::vector<double> row_cp(static_cast<std::size_t>(grid.nx));
  for (int r = 0; r < blocks.height(); ++r) {
    const GridStep& row = rows[static_cast<std::size_t>(r)];
    if (row.cell < 0) continue;
    const double* below = cp.data() + static_cast<std::size_t>(row.cell) * grid.nx;
    const double* above = below + grid.nx;
    for (int i = 0; i < grid.nx; ++i) row_cp[i] = below[i] + row.t * (above[i] - below[i]);
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(r));
    for (int c = 0; c < blocks.width(); ++c) {
      const GridStep& column = columns[static_cast<std::size_t>(c)];
      if (column.cell < 0) continue;
      const double left = row_cp[column.cell];
      const double value = left + column.t * (row_cp[column.cell + 1] - left);
      const double index = std::clamp((value - kFlowCpLow) * to_index, 0.0, 1023.0);
      line[c] = palette[static_cast<int>(index)];
    }
  }
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(QRect(pixels.topLeft(), blocks * kColourMapBlock), image);
  painter.restore();
}

}  // namespace

void PaintFlow(QPainter& painter, const QRectF& area, const ExplorerGeometry& geometry,
               const ExplorerFrame& frame, const std::vector<double>& cp, const FlowDomain& view) {
  painter.save();
  painter.fillRect(area, Qt::white);
  const PlaneMapping m = MapView(area, view);
  painter.setPen(Qt::black);
  painter.drawText(QRectF(area.left() + kMargin, area.top(), area.width(), kCaptionHeight),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Flow past ") +
                       QString::fromStdString(geometry.inputs.body->Name()) +
                       QStringLiteral(", %1 panels, \u03B1 = %2\u00B0")
                           .arg(static_cast<int>(geometry.inputs.NP))
                           .arg(Degrees(frame.alpha_degrees)));
  painter.setClipRect(m.plot);
  PaintColourMap(painter, m, geometry.grid, cp);

  painter.setRenderHint(QPainter::Antialiasing, true);
  QPen streamline(kStreamlineColour, 1);
  streamline.setCosmetic(true);  // one pixel wide, drawn without the general stroker
  painter.setPen(streamline);
  QPolygonF points;
  for (const Streamline& line : frame.streamlines) {
    points.resize(static_cast<int>(line.x.size()));
    for (std::size_t k = 0; k < line.x.size(); ++k) {
      points[static_cast<int>(k)] = m.ToPixel(line.x[k], line.y[k]);
    }
    painter.drawPolyline(points);
  }

  QPolygonF body;
  for (std::size_t k = 0; k < geometry.contour.x.size(); ++k) {
    body << m.ToPixel(geometry.contour.x[k], geometry.contour.y[k]);
  }
  painter.setPen(QPen(Qt::black, 1.2));
  painter.setBrush(kBodyColour);
  painter.drawPolygon(body);

  for (const StagnationPoint& p : frame.stagnation) {
    painter.setPen(QPen(Qt::black, 1.5));
    painter.setBrush(p.attachment ? QColor(220, 0, 0) : QColor(Qt::white));
    painter.drawEllipse(m.ToPixel(p.x, p.y), 5, 5);
  }
  painter.setClipping(false);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(Qt::darkGray, 1));
  painter.drawRect(m.plot);
  PaintColourBar(painter, area);
  painter.restore();
}

FlowView::FlowView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("View_Flow"));
  setMinimumSize(320, 200);
  setContextMenuPolicy(Qt::CustomContextMenu);
  setToolTip(QStringLiteral(
      "Streamlines and the pressure coefficient; filled circle: front stagnation point.\n"
      "Wheel: zoom, drag: pan, double click: whole domain. Right click: save."));
}

void FlowView::SetFrame(const ExplorerGeometry* geometry, const ExplorerFrame* frame) {
  const bool new_geometry = geometry != geometry_;
  geometry_ = geometry;
  frame_ = frame;
  if (geometry_ && frame_) {
    cp_filled_ = FlowCpFilled(geometry_->grid, frame_->field);
    if (new_geometry) view_ = geometry_->grid.domain;
  }
  update();
}

void FlowView::ResetView() {
  if (geometry_) view_ = geometry_->grid.domain;
  update();
}

void FlowView::Paint(QPainter& painter, const QRectF& area) const {
  if (!geometry_ || !frame_) {
    painter.fillRect(area, Qt::white);
    return;
  }
  PaintFlow(painter, area, *geometry_, *frame_, cp_filled_, view_);
}

QImage FlowView::Render(const QSize& size) const {
  QImage image(size, QImage::Format_RGB32);
  QPainter painter(&image);
  Paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
  return image;
}

void FlowView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Paint(painter, QRectF(rect()));
}

double FlowView::PlanePerPixel() const {
  return 1 / MapView(QRectF(rect()), view_).scale;
}

QPointF FlowView::ToPlane(const QPointF& pixel) const {
  const PlaneMapping m = MapView(QRectF(rect()), view_);
  return {(pixel.x() - m.x0) / m.scale, (m.y0 - pixel.y()) / m.scale};
}

void FlowView::wheelEvent(QWheelEvent* event) {
  if (!geometry_) return;
  // One notch (120) zooms by a fifth, about the point under the pointer.
  const double factor = std::pow(1.2, -event->angleDelta().y() / 120.0);
  const QPointF anchor = ToPlane(event->position());
  view_.xmin = anchor.x() + (view_.xmin - anchor.x()) * factor;
  view_.xmax = anchor.x() + (view_.xmax - anchor.x()) * factor;
  view_.ymin = anchor.y() + (view_.ymin - anchor.y()) * factor;
  view_.ymax = anchor.y() + (view_.ymax - anchor.y()) * factor;
  update();
  event->accept();
}

void FlowView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  dragging_ = true;
  drag_start_ = event->position().toPoint();
  drag_view_ = view_;
}

void FlowView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  const QPointF moved = event->position() - QPointF(drag_start_);
  view_ = drag_view_;
  const double per_pixel = PlanePerPixel();
  view_.xmin -= moved.x() * per_pixel;
  view_.xmax -= moved.x() * per_pixel;
  view_.ymin += moved.y() * per_pixel;
  view_.ymax += moved.y() * per_pixel;
  update();
}

void FlowView::mouseReleaseEvent(QMouseEvent*) {
  dragging_ = false;
}

void FlowView::mouseDoubleClickEvent(QMouseEvent*) {
  ResetView();
}

}  // namespace velquin
