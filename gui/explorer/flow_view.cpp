#include "gui/explorer/flow_view.h"

#include <QFontMetricsF>
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

#include "gui/explorer/explorer_text.h"

namespace velquin {
namespace {

const QColor kBodyColour(150, 150, 150);
const QColor kStreamlineColour(30, 30, 30);
const QColor kDividingColour(0, 0, 0);
const QColor kVortexColour(160, 0, 160);
const QColor kBandColour(255, 190, 0, 170);
const QColor kBandEdgeColour(150, 90, 0);
// The band of layers whose interaction did not settle: grey, a last pass and no result.
const QColor kUnsettledBandColour(150, 150, 150, 150);
const QColor kUnsettledBandEdgeColour(90, 90, 90);
const QColor kTransitionColour(0, 190, 60);
const QColor kSeparationColour(220, 0, 0);

// The lettering and the frame grow with the picture: a pixel size of about a fortieth
// of its height, at least 12, so that a 2000 x 1000 export reads as well as the window.
struct Lettering {
  double font_pixels = 12;
  double bar_width = 80;
  double margin = 8;
  double caption = 24;
};

Lettering LetteringFor(const QRectF& area) {
  Lettering l;
  l.font_pixels = std::max(12.0, std::round(area.height() / 40));
  const double s = l.font_pixels / 12;
  l.bar_width = 80 * s;
  l.margin = 8 * s;
  l.caption = 24 * s;
  return l;
}

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
  const Lettering l = LetteringFor(area);
  PlaneMapping m;
  m.plot = QRectF(area.left() + l.margin, area.top() + l.caption,
                  area.width() - 2 * l.margin - l.bar_width, area.height() - l.caption - l.margin);
  const double w = view.xmax - view.xmin, h = view.ymax - view.ymin;
  m.scale = std::min(m.plot.width() / w, m.plot.height() / h);
  const QPointF centre = m.plot.center();
  m.x0 = centre.x() - m.scale * 0.5 * (view.xmin + view.xmax);
  m.y0 = centre.y() + m.scale * 0.5 * (view.ymin + view.ymax);
  return m;
}

void PaintColourBar(QPainter& painter, const QRectF& area) {
  const Lettering l = LetteringFor(area);
  const double s = l.font_pixels / 12;
  const QRectF bar(area.right() - l.bar_width + 14 * s, area.top() + l.caption + 10 * s, 16 * s,
                   area.height() - l.caption - 40 * s);
  QLinearGradient gradient(bar.bottomLeft(), bar.topLeft());
  for (int k = 0; k <= 16; ++k) {
    const double t = k / 16.0;
    gradient.setColorAt(t, QColor(CpColour(kFlowCpLow + t * (kFlowCpHigh - kFlowCpLow))));
  }
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(gradient);
  painter.drawRect(bar);
  painter.drawText(QRectF(bar.left() - 6 * s, area.top() + 2, 40 * s, l.caption), Qt::AlignCenter,
                   QStringLiteral("Cp"));
  for (int cp = static_cast<int>(kFlowCpLow); cp <= static_cast<int>(kFlowCpHigh); ++cp) {
    const double y = bar.bottom() - (cp - kFlowCpLow) / (kFlowCpHigh - kFlowCpLow) * bar.height();
    painter.drawLine(QPointF(bar.right(), y), QPointF(bar.right() + 5 * s, y));
    QString label = QString::number(cp);
    if (cp == static_cast<int>(kFlowCpLow)) label = QStringLiteral("\u2264 ") + label;
    painter.drawText(QRectF(bar.right() + 8 * s, y - 9 * s, 44 * s, 18 * s),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     label.replace(QLatin1Char('-'), QChar(0x2212)));
  }
}

QString Degrees(double alpha) {
  return FixedText(alpha, 1);
}

// The scale: a bar of a round length at the lower left of the plot, in chord lengths.
void PaintScaleBar(QPainter& painter, const PlaneMapping& m, const FlowDomain& view,
                   const Lettering& l) {
  const double length = ScaleBarLength(view.xmax - view.xmin);
  const double pixels = length * m.scale;
  const double s = l.font_pixels / 12;
  const QPointF start(m.plot.left() + 12 * s, m.plot.bottom() - 12 * s);
  const QPointF end = start + QPointF(pixels, 0);
  const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(length) + 1e-9)));
  const QString text = FixedText(length, decimals) + QStringLiteral(" c");
  const QRectF label(start.x(), start.y() - l.font_pixels * 1.8, std::max(pixels, 60 * s),
                     l.font_pixels * 1.5);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 255, 255, 190));
  painter.drawRect(label.united(QRectF(start, end)).adjusted(-4 * s, -2 * s, 4 * s, 6 * s));
  painter.setPen(QPen(Qt::black, 2 * s));
  painter.drawLine(start, end);
  painter.drawLine(start + QPointF(0, -4 * s), start + QPointF(0, 4 * s));
  painter.drawLine(end + QPointF(0, -4 * s), end + QPointF(0, 4 * s));
  painter.drawText(label, Qt::AlignLeft | Qt::AlignBottom, text);
}

// The point vortex: a ring with a cross, and its name, where the solution puts it.
void PaintPointVortex(QPainter& painter, const PlaneMapping& m, const ExplorerGeometry& g,
                      const Lettering& l) {
  if (!g.inputs.circulation || g.inputs.vortex != VortexModel::kPointVortex) return;
  const QPointF at = m.ToPixel(g.panels.setup.Xv, g.panels.setup.Yv);
  const double r = 0.5 * l.font_pixels;
  painter.setPen(QPen(kVortexColour, std::max(1.5, r / 4)));
  painter.setBrush(Qt::white);
  painter.drawEllipse(at, r, r);
  painter.drawLine(at + QPointF(-0.7 * r, -0.7 * r), at + QPointF(0.7 * r, 0.7 * r));
  painter.drawLine(at + QPointF(-0.7 * r, 0.7 * r), at + QPointF(0.7 * r, -0.7 * r));
  painter.drawText(QRectF(at.x() + r + 2, at.y() - 2 * r, 200, 2 * r),
                   Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("\u0393"));
}

// The band of the displacement thickness on one side: the surface and its displaced
// line, filled between, the line drawn.
void PaintBand(QPainter& painter, const PlaneMapping& m, const ExplorerLayerSide& side,
               bool settled) {
  QPolygonF band, edge;
  for (std::size_t k = 0; k < side.surface_x.size(); ++k) {
    band << m.ToPixel(side.surface_x[k], side.surface_y[k]);
  }
  for (std::size_t k = side.edge_x.size(); k-- > 0;) {
    const QPointF p = m.ToPixel(side.edge_x[k], side.edge_y[k]);
    band << p;
    edge.prepend(p);
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(settled ? kBandColour : kUnsettledBandColour);
  painter.drawPolygon(band);
  QPen line(settled ? kBandEdgeColour : kUnsettledBandEdgeColour, 1.2);
  line.setCosmetic(true);
  painter.setPen(line);
  painter.drawPolyline(edge);
}

// The boundary layers: the displacement thickness as a band on each surface of every
// element (the body's contour and the line the outer flow sees, true scale), transition
// as a green diamond and the start of separation as a red cross on the body. The band is
// grey where the interaction did not settle.
void PaintBoundaryLayers(QPainter& painter, const PlaneMapping& m, const ExplorerViscousFrame& v,
                         const Lettering& l) {
  for (const ExplorerElementLayers& element : v.elements) {
    for (const ExplorerLayerSide* side : {&element.upper, &element.lower}) {
      PaintBand(painter, m, *side, v.result.converged);
    }
  }
  const double r = 0.55 * l.font_pixels;
  for (const ExplorerLayerMark& mark : v.marks) {
    const QPointF at = m.ToPixel(mark.x, mark.y);
    if (mark.separation) {
      painter.setPen(QPen(Qt::white, r / 2.2));
      painter.drawLine(at + QPointF(-r, -r), at + QPointF(r, r));
      painter.drawLine(at + QPointF(-r, r), at + QPointF(r, -r));
      painter.setPen(QPen(kSeparationColour, r / 3.5));
      painter.drawLine(at + QPointF(-r, -r), at + QPointF(r, r));
      painter.drawLine(at + QPointF(-r, r), at + QPointF(r, -r));
    } else {
      painter.setPen(QPen(Qt::black, 1.2));
      painter.setBrush(kTransitionColour);
      painter.drawPolygon(QPolygonF{at + QPointF(0, -r), at + QPointF(r, 0), at + QPointF(0, r),
                                    at + QPointF(-r, 0)});
    }
  }
}

QString PointerCoordinates(const QPointF& plane) {
  return QStringLiteral("x = ") + FixedText(plane.x(), 3) + QStringLiteral("   y = ") +
         FixedText(plane.y(), 3);
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

double ScaleBarLength(double view_width) {
  const double most = view_width / 5;
  const double power = std::pow(10, std::floor(std::log10(most)));
  double length = power;
  for (double factor : {2.0, 5.0}) {
    if (factor * power <= most) length = factor * power;
  }
  return length;
}

void PaintFlow(QPainter& painter, const QRectF& area, const ExplorerGeometry& geometry,
               const ExplorerFrame& frame, const FlowGrid& grid, const std::vector<double>& cp,
               const FlowDomain& view, const std::optional<QPointF>& pointer) {
  painter.save();
  painter.fillRect(area, Qt::white);
  const Lettering l = LetteringFor(area);
  QFont font = painter.font();
  font.setPixelSize(static_cast<int>(l.font_pixels));
  painter.setFont(font);
  const PlaneMapping m = MapView(area, view);
  painter.setPen(Qt::black);
  // Up to the colour bar's "Cp", which it ran into.
  const QRectF caption(area.left() + l.margin, area.top(),
                       area.width() - 2 * l.margin - l.bar_width + 6 * l.font_pixels / 12,
                       l.caption);
  const QString text =
      QStringLiteral("Flow: ") + QString::fromStdString(ExplorerGeometryLabel(geometry)) +
      QStringLiteral(", \u03B1 = ") + Degrees(frame.alpha_degrees) + QStringLiteral("\u00B0") +
      (frame.viscous
           ? QStringLiteral(", ") +
                 QString::fromStdString(ExplorerConditionsLabel(frame.viscous->options)) +
                 (frame.viscous->result.converged ? QString()
                                                  : QStringLiteral(", layers not converged"))
           : QString());
  // A long title (several elements, a flap, a ground and the layers) in smaller letters,
  // down to two thirds, before it is elided: cut in the middle it lost the panel count.
  QFont caption_font = font;
  const double wide = QFontMetricsF(font).horizontalAdvance(text);
  if (wide > caption.width()) {
    caption_font.setPixelSize(
        static_cast<int>(std::max(2.0 / 3.0, caption.width() / wide) * l.font_pixels));
  }
  painter.setFont(caption_font);
  painter.drawText(
      caption, Qt::AlignLeft | Qt::AlignVCenter,
      painter.fontMetrics().elidedText(text, Qt::ElideMiddle, static_cast<int>(caption.width())));
  painter.setFont(font);
  painter.setClipRect(m.plot);
  PaintColourMap(painter, m, grid, cp);

  painter.setRenderHint(QPainter::Antialiasing, true);
  QPen streamline(kStreamlineColour, std::max(1.0, l.font_pixels / 12));
  streamline.setCosmetic(true);  // a fixed width in pixels, drawn without the general stroker
  QPen dividing(kDividingColour, 2.2 * std::max(1.0, l.font_pixels / 12));
  dividing.setCosmetic(true);
  QPolygonF points;
  for (const Streamline& line : frame.streamlines) {
    // The dividing streamlines end on a stagnation point, or begin on one.
    const bool divides = line.end == StreamlineEnd::kStagnation ||
                         std::any_of(frame.stagnation.begin(), frame.stagnation.end(),
                                     [&](const StagnationPoint& p) {
                                       return line.x.front() == p.x && line.y.front() == p.y;
                                     });
    painter.setPen(divides ? dividing : streamline);
    points.resize(static_cast<int>(line.x.size()));
    for (std::size_t k = 0; k < line.x.size(); ++k) {
      points[static_cast<int>(k)] = m.ToPixel(line.x[k], line.y[k]);
    }
    painter.drawPolyline(points);
  }

  for (const Contour& contour : geometry.contours) {
    QPolygonF body;
    for (std::size_t k = 0; k < contour.x.size(); ++k) {
      body << m.ToPixel(contour.x[k], contour.y[k]);
    }
    painter.setPen(QPen(Qt::black, 1.2));
    painter.setBrush(kBodyColour);
    painter.drawPolygon(body);
  }
  if (geometry.panels.setup.ground_y &&
      m.ToPixel(0, *geometry.panels.setup.ground_y).y() < m.plot.bottom()) {
    // The ground: a line, the plane beneath it hatched (the images' side, not flow).
    const double ground = m.ToPixel(0, *geometry.panels.setup.ground_y).y();
    const QRectF below(m.plot.left(), ground, m.plot.width(),
                       std::max(0.0, m.plot.bottom() - ground));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(QColor(120, 100, 80), Qt::BDiagPattern));
    painter.drawRect(below);
    painter.setPen(QPen(QColor(90, 70, 50), 2.5));
    painter.drawLine(QPointF(m.plot.left(), ground), QPointF(m.plot.right(), ground));
  }

  if (frame.viscous) PaintBoundaryLayers(painter, m, *frame.viscous, l);
  for (const StagnationPoint& p : frame.stagnation) {
    painter.setPen(QPen(Qt::black, 1.5));
    painter.setBrush(p.attachment ? QColor(220, 0, 0) : QColor(Qt::white));
    painter.drawEllipse(m.ToPixel(p.x, p.y), 0.42 * l.font_pixels, 0.42 * l.font_pixels);
  }
  PaintPointVortex(painter, m, geometry, l);
  painter.setRenderHint(QPainter::Antialiasing, false);
  PaintScaleBar(painter, m, view, l);
  if (pointer) {
    const QString where = PointerCoordinates(*pointer);
    const QRectF box(m.plot.right() - 16 * l.font_pixels, m.plot.bottom() - 1.8 * l.font_pixels,
                     16 * l.font_pixels - 6, 1.6 * l.font_pixels);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 200));
    painter.drawRect(box);
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, where);
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
  setMouseTracking(true);  // the pointer's coordinates
  setToolTip(
      QStringLiteral("Streamlines over the pressure coefficient; the thick line divides the flow.\n"
                     "Red circle: front stagnation point, white: rear; \u0393: the point vortex.\n"
                     "With a Reynolds number: the displacement thickness as a yellow band\n"
                     "(grey where the interaction did not settle), transition a green\n"
                     "diamond, separation a red cross.\n"
                     "Wheel: zoom, drag: pan, double click: whole domain. Right click: save."));
}

void FlowView::SetFrame(const ExplorerScene& scene) {
  SetFrame(scene.geometry, scene.frame);
}

void FlowView::SetView(const FlowDomain& view) {
  view_ = view;
  update();
  if (view_changed_) view_changed_();
}

FlowDomain FlowView::VisibleDomain() const {
  const PlaneMapping m = MapView(QRectF(rect()), view_);
  return {(m.plot.left() - m.x0) / m.scale, (m.plot.right() - m.x0) / m.scale,
          (m.y0 - m.plot.bottom()) / m.scale, (m.y0 - m.plot.top()) / m.scale};
}

void FlowView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (view_changed_) view_changed_();
}

QString FlowView::PointerText() const {
  return pointer_ ? PointerCoordinates(*pointer_) : QString();
}

void FlowView::leaveEvent(QEvent* event) {
  pointer_.reset();
  update();
  QWidget::leaveEvent(event);
}

void FlowView::SetFrame(const ExplorerGeometry* geometry, const ExplorerFrame* frame) {
  const bool new_geometry = geometry != geometry_;
  geometry_ = geometry;
  frame_ = frame;
  if (geometry_ && frame_) {
    cp_filled_ = frame_->view_grid ? FlowCpFilled(*frame_->view_grid, frame_->view_field)
                                   : FlowCpFilled(geometry_->grid, frame_->field);
    if (new_geometry) view_ = geometry_->grid.domain;
  }
  update();
}

void FlowView::ResetView() {
  if (geometry_) SetView(geometry_->grid.domain);
}

void FlowView::Paint(QPainter& painter, const QRectF& area) const {
  if (!geometry_ || !frame_) {
    painter.fillRect(area, Qt::white);
    return;
  }
  const FlowGrid& grid = frame_->view_grid ? *frame_->view_grid : geometry_->grid;
  PaintFlow(painter, area, *geometry_, *frame_, grid, cp_filled_, view_);
}

QImage FlowView::Render(const QSize& size) const {
  QImage image(size, QImage::Format_RGB32);
  QPainter painter(&image);
  Paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
  return image;
}

void FlowView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!geometry_ || !frame_) {
    painter.fillRect(rect(), Qt::white);
    return;
  }
  const FlowGrid& grid = frame_->view_grid ? *frame_->view_grid : geometry_->grid;
  PaintFlow(painter, QRectF(rect()), *geometry_, *frame_, grid, cp_filled_, view_, pointer_);
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
  SetView(view_);
  event->accept();
}

void FlowView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  dragging_ = true;
  drag_start_ = event->position().toPoint();
  drag_view_ = view_;
}

void FlowView::mouseMoveEvent(QMouseEvent* event) {
  if (geometry_) pointer_ = ToPlane(event->position());
  if (!dragging_) {
    update();
    return;
  }
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
  if (dragging_) SetView(view_);
  dragging_ = false;
}

void FlowView::mouseDoubleClickEvent(QMouseEvent*) {
  ResetView();
}

}  // namespace velquin
