#include "gui/explorer/explorer_charts.h"

#include <QCategoryAxis>
#include <QFontMetrics>
#include <QGraphicsSimpleTextItem>
#include <QImage>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QScatterSeries>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <limits>

#include "app/explorer_exact.h"
#include "gui/explorer/explorer_text.h"

namespace velquin {
namespace {

const QColor kUpperColour(200, 30, 30);
const QColor kLowerColour(30, 80, 200);
const QColor kSecondColour(230, 130, 0);
const QColor kSecondLowerColour(120, 60, 170);
// Curves from files: one colour each, in turn.
const QColor kOverlayColours[] = {QColor(0, 150, 150), QColor(140, 90, 40), QColor(90, 90, 90),
                                  QColor(200, 0, 160)};

void HideFromLegend(QChart* chart, QAbstractSeries* series) {
  for (QLegendMarker* marker : chart->legend()->markers(series)) marker->setVisible(false);
}

void RemoveSeries(QChart* chart, std::vector<QAbstractSeries*>& series) {
  for (QAbstractSeries* s : series) {
    chart->removeSeries(s);
    delete s;
  }
  series.clear();
}

// The lowest and highest of the values seen, for an axis that fits them.
struct Span {
  double low = std::numeric_limits<double>::infinity();
  double high = -std::numeric_limits<double>::infinity();
  void Add(double value) {
    if (!std::isfinite(value)) return;
    low = std::min(low, value);
    high = std::max(high, value);
  }
  bool Empty() const { return !(low <= high); }
  // Widened by a share of its length on either side (a point by a fixed amount).
  void Pad(double share, double at_least) {
    const double pad = std::max(share * (high - low), at_least);
    low -= pad;
    high += pad;
  }
};

// A red cross on a clear ground, the separation mark (the marker shapes have none).
QImage CrossImage() {
  QImage image(24, 24, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(QColor(220, 0, 0), 5, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(4, 4), QPointF(20, 20));
  painter.drawLine(QPointF(4, 20), QPointF(20, 4));
  return image;
}

QString Degrees(double alpha) {
  return FixedText(alpha, 1) + QStringLiteral("\u00B0");
}

QString Html(const std::string& text) {
  return QString::fromStdString(text).toHtmlEscaped();
}

}  // namespace

QLineSeries* NewChartLine(const QString& name, const QColor& colour, Qt::PenStyle style,
                          double width) {
  auto* series = new QLineSeries;
  series->setName(name);
  QPen pen(colour, width, style);
  pen.setCosmetic(true);  // a fixed width in pixels: drawn without the general stroker
  series->setPen(pen);
  return series;
}

QCategoryAxis* NewChartAxis(const QString& title) {
  auto* axis = new QCategoryAxis;
  axis->setTitleText(title);
  axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  return axis;
}

void AttachSeries(QChart* chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y) {
  chart->addSeries(series);
  series->attachAxis(x);
  series->attachAxis(y);
}

QChart* NewExplorerChart() {
  auto* chart = new QChart;
  chart->legend()->setAlignment(Qt::AlignBottom);
  QFont small = chart->legend()->font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  chart->legend()->setFont(small);
  chart->setMargins(QMargins(4, 4, 4, 4));
  return chart;
}

namespace {

// Where a chart keeps what SetNiceAxis was asked for, so that a resize can label the axis
// again for its new length.
constexpr const char* kWantedLow = "velquin_low";
constexpr const char* kWantedHigh = "velquin_high";
constexpr const char* kWantedTicks = "velquin_ticks";
constexpr const char* kAxisPixels = "velquin_pixels";

// The most ticks an axis of `pixels` can label without eliding them: a label such as
// "-0.05" and a gap across, two lines of lettering up.
int TicksThatFit(const QCategoryAxis* axis, double pixels) {
  const QFontMetricsF metrics(axis->labelsFont());
  const bool across = axis->orientation() == Qt::Horizontal;
  const double spacing =
      across ? metrics.horizontalAdvance(QStringLiteral("\u22120.05")) + 10 : 2 * metrics.height();
  return std::max(2, static_cast<int>(pixels / spacing));
}

}  // namespace

double SetNiceAxis(QCategoryAxis* axis, double low, double high, int ticks) {
  axis->setProperty(kWantedLow, low);
  axis->setProperty(kWantedHigh, high);
  axis->setProperty(kWantedTicks, ticks);
  const QVariant pixels = axis->property(kAxisPixels);
  if (pixels.isValid()) ticks = std::min(ticks, TicksThatFit(axis, pixels.toDouble()));
  if (!(high > low)) {
    low -= 0.5;
    high += 0.5;
  }
  const double raw = (high - low) / ticks;
  const double power = std::pow(10, std::floor(std::log10(raw)));
  double step = 10 * power;
  for (double factor : {1.0, 2.0, 5.0}) {
    if (raw <= factor * power) {
      step = factor * power;
      break;
    }
  }
  // At least two labelled ticks: the step rounded up could leave one (H from 1 to 7.3 in
  // three ticks took a step of 5, labelled "5" alone).
  const auto labelled = [low, high](double s) {
    return std::floor(high / s + 1e-9) - std::ceil(low / s - 1e-9) + 1;
  };
  // As many as fit: on a short axis one label stays one (three would be elided).
  const double most_labels =
      pixels.isValid() ? TicksThatFit(axis, pixels.toDouble()) : std::numeric_limits<double>::max();
  while (labelled(step) < 2) {
    const double mantissa = std::round(step / std::pow(10, std::floor(std::log10(step) + 1e-9)));
    const double finer = step * (mantissa == 5 ? 0.4 : 0.5);  // 5 -> 2 -> 1 -> 0.5 ...
    if (labelled(finer) > most_labels) break;
    step = finer;
  }
  const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
  for (const QString& label : axis->categoriesLabels()) axis->remove(label);
  axis->setRange(low, high);
  axis->setStartValue(low);
  // Ticks at whole multiples of the step, each computed afresh (k step, not a running
  // sum), so that no rounding piles up into a label.
  const long first = static_cast<long>(std::ceil(low / step - 1e-9));
  const long last = static_cast<long>(std::floor(high / step + 1e-9));
  for (long k = first; k <= last; ++k) {
    const double value = k * step;
    axis->append(FixedText(value, decimals), std::clamp(value, low, high));
  }
  return step;
}

void FitAxesToPlot(QChart* chart) {
  const QRectF plot = chart->plotArea();
  if (plot.isEmpty()) return;
  for (QAbstractAxis* abstract : chart->axes()) {
    auto* axis = qobject_cast<QCategoryAxis*>(abstract);
    if (axis == nullptr || !axis->property(kWantedTicks).isValid()) continue;
    const double pixels = axis->orientation() == Qt::Horizontal ? plot.width() : plot.height();
    const QVariant before = axis->property(kAxisPixels);
    if (before.isValid() && TicksThatFit(axis, before.toDouble()) == TicksThatFit(axis, pixels)) {
      axis->setProperty(kAxisPixels, pixels);
      continue;
    }
    axis->setProperty(kAxisPixels, pixels);
    SetNiceAxis(axis, axis->property(kWantedLow).toDouble(), axis->property(kWantedHigh).toDouble(),
                axis->property(kWantedTicks).toInt());
  }
}

void FitAxesOnResize(QChartView* view) {
  // The chart lays itself out after the resize event: its plot area is known then.
  class Fitter : public QObject {
   public:
    explicit Fitter(QChartView* view) : QObject(view), view_(view) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
      if (event->type() == QEvent::Resize) {
        QTimer::singleShot(0, view_, [view = view_] { FitAxesToPlot(view->chart()); });
      }
      return QObject::eventFilter(watched, event);
    }

   private:
    QChartView* view_;
  };
  view->installEventFilter(new Fitter(view));
}

void ScaleChartLettering(QChart* chart, double factor) {
  const auto scaled = [factor](QFont font) {
    font.setPointSizeF(font.pointSizeF() * factor);
    return font;
  };
  chart->setTitleFont(scaled(chart->titleFont()));
  chart->legend()->setFont(scaled(chart->legend()->font()));
  for (QAbstractAxis* axis : chart->axes()) {
    axis->setLabelsFont(scaled(axis->labelsFont()));
    axis->setTitleFont(scaled(axis->titleFont()));
  }
  for (QAbstractSeries* series : chart->series()) {
    if (auto* points = qobject_cast<QScatterSeries*>(series)) {
      points->setMarkerSize(points->markerSize() * factor);
    }
  }
}

PressureChart::PressureChart(QWidget* parent) : QChartView(parent) {
  setObjectName(QStringLiteral("View_Pressure"));
  FitAxesOnResize(this);
  setContextMenuPolicy(Qt::CustomContextMenu);
  setRenderHint(QPainter::Antialiasing, true);
  setMouseTracking(true);
  setToolTip(QStringLiteral(
      "The pressure coefficient along the surface, \u2212Cp upwards; the second set dashed.\n"
      "Hover: the nearest point. Right click: save as PNG, SVG or CSV."));
  QChart* plot = NewExplorerChart();
  plot->setTitle(QStringLiteral("Pressure coefficient along the surface"));
  setChart(plot);
  upper_ = NewChartLine(QStringLiteral("Upper surface"), kUpperColour);
  lower_ = NewChartLine(QStringLiteral("Lower surface"), kLowerColour);
  exact_ = NewChartLine(QStringLiteral("Exact"), Qt::black, Qt::DashLine, 1.2);
  second_upper_ = NewChartLine(QStringLiteral("Dashed: upper"), kSecondColour, Qt::DashLine);
  second_lower_ = NewChartLine(QStringLiteral("Dashed: lower"), kSecondLowerColour, Qt::DashLine);
  viscous_upper_ =
      NewChartLine(QStringLiteral("Viscous upper"), kUpperColour.darker(140), Qt::DotLine, 2);
  viscous_lower_ =
      NewChartLine(QStringLiteral("Viscous lower"), kLowerColour.darker(140), Qt::DotLine, 2);
  transition_marks_ = new QScatterSeries;
  transition_marks_->setName(QStringLiteral("Transition"));
  transition_marks_->setMarkerShape(QScatterSeries::MarkerShapeRotatedRectangle);
  transition_marks_->setMarkerSize(11);
  transition_marks_->setColor(QColor(0, 190, 60));
  transition_marks_->setBorderColor(Qt::black);
  separation_marks_ = new QScatterSeries;
  separation_marks_->setName(QStringLiteral("Separation"));
  separation_marks_->setMarkerSize(12);
  separation_marks_->setColor(QColor(220, 0, 0));
  separation_marks_->setLightMarker(CrossImage());
  x_axis_ = NewChartAxis(QStringLiteral("x/c"));
  y_axis_ = NewChartAxis(QStringLiteral("Cp  (\u2212Cp upwards)"));
  y_axis_->setReverse(true);
  plot->addAxis(x_axis_, Qt::AlignBottom);
  plot->addAxis(y_axis_, Qt::AlignLeft);
  for (QAbstractSeries* series : std::initializer_list<QAbstractSeries*>{
           upper_, lower_, exact_, second_upper_, second_lower_, viscous_upper_, viscous_lower_,
           transition_marks_, separation_marks_}) {
    AttachSeries(plot, series, x_axis_, y_axis_);
  }
  for (QAbstractSeries* series : std::initializer_list<QAbstractSeries*>{
           viscous_upper_, viscous_lower_, transition_marks_, separation_marks_}) {
    series->setVisible(false);
  }
  second_upper_->setVisible(false);
  second_lower_->setVisible(false);
  hover_ = new QGraphicsSimpleTextItem(plot);
  hover_->setZValue(10);
}

void PressureChart::AddElementSeries(std::vector<QLineSeries*>& series, std::size_t count,
                                     const QString& kind, Qt::PenStyle style) {
  while (series.size() < count) {
    const std::size_t k = series.size();
    const QString name = QStringLiteral("Element %1 %2%3")
                             .arg(k / 2 + 2)
                             .arg(kind)
                             .arg(k % 2 == 0 ? QStringLiteral("upper") : QStringLiteral("lower"));
    const QColor colour = (k % 2 == 0 ? kUpperColour : kLowerColour).lighter(150);
    QLineSeries* line =
        NewChartLine(name, style == Qt::SolidLine ? colour : colour.darker(140), style);
    AttachSeries(chart(), line, x_axis_, y_axis_);
    // The dotted viscous lines of the first element name the kind in the legend.
    if (style != Qt::SolidLine) HideFromLegend(chart(), line);
    series.push_back(line);
  }
}

void PressureChart::SetFrame(const ExplorerGeometry& geometry, const ExplorerFrame& frame) {
  ExplorerScene scene;
  scene.geometry = &geometry;
  scene.frame = &frame;
  SetFrame(scene);
}

void PressureChart::SetFrame(const ExplorerScene& scene) {
  const ExplorerGeometry& geometry = *scene.geometry;
  const ExplorerFrame& frame = *scene.frame;
  Span x_span, cp_span;
  const auto points = [&](const ExplorerGeometry& g, const std::vector<int>& panels,
                          const std::vector<double>& cp) {
    QList<QPointF> list;
    list.reserve(static_cast<int>(panels.size()));
    for (int i : panels) {
      const double x = g.panels.setup.panels.Xc[i];
      list.append(QPointF(x, cp[i - 1]));
      x_span.Add(x);
      cp_span.Add(cp[i - 1]);
    }
    return list;
  };
  upper_->replace(points(geometry, geometry.upper, frame.Cp));
  lower_->replace(points(geometry, geometry.lower, frame.Cp));
  // Every further element of the general problem: its own pair of lines, lighter.
  const std::size_t extra =
      2 * (geometry.surfaces.size() - std::min<std::size_t>(geometry.surfaces.size(), 1));
  AddElementSeries(element_series_, extra, QString(), Qt::SolidLine);
  for (std::size_t k = 0; k < element_series_.size(); ++k) {
    QLineSeries* series = element_series_[k];
    series->setVisible(k < extra);
    if (k >= extra) continue;
    const ElementSurfaces& surfaces = geometry.surfaces[k / 2 + 1];
    series->replace(points(geometry, k % 2 == 0 ? surfaces.upper : surfaces.lower, frame.Cp));
  }
  const ExplorerExactCurve exact_curve = ExplorerExactPressure(geometry, frame);
  if (!exact_curve.x.empty()) {
    QList<QPointF> curve;
    for (std::size_t k = 0; k < exact_curve.x.size(); ++k) {
      curve.append(QPointF(exact_curve.x[k], exact_curve.cp[k]));
      cp_span.Add(exact_curve.cp[k]);
    }
    exact_->replace(curve);
  } else if (frame.exact_cp.size() == frame.Cp.size()) {
    // Around the contour: the upper surface from the trailing edge, then the lower.
    std::vector<int> around(geometry.upper.rbegin(), geometry.upper.rend());
    around.insert(around.end(), geometry.lower.begin(), geometry.lower.end());
    exact_->replace(points(geometry, around, frame.exact_cp));
  } else {
    exact_->clear();
  }
  exact_->setVisible(exact_->count() > 0);

  const bool second = scene.second_geometry && scene.second_frame;
  if (second) {
    second_upper_->replace(
        points(*scene.second_geometry, scene.second_geometry->upper, scene.second_frame->Cp));
    second_lower_->replace(
        points(*scene.second_geometry, scene.second_geometry->lower, scene.second_frame->Cp));
  }
  second_upper_->setVisible(second);
  second_lower_->setVisible(second);

  const bool viscous = frame.viscous.has_value();
  if (viscous) {
    const ExplorerViscousFrame& v = *frame.viscous;
    const auto line = [&](const ExplorerLayerSide& side) {
      QList<QPointF> list;
      list.reserve(static_cast<int>(side.cp.size()));
      for (std::size_t k = 0; k < side.cp.size(); ++k) {
        list.append(QPointF(side.cp_x[k], side.cp[k]));
        cp_span.Add(side.cp[k]);
      }
      return list;
    };
    const ExplorerElementLayers none;
    const ExplorerElementLayers& first = v.elements.empty() ? none : v.elements.front();
    viscous_upper_->replace(line(first.upper));
    viscous_lower_->replace(line(first.lower));
    const std::size_t viscous_extra =
        2 * (v.elements.size() - std::min<std::size_t>(v.elements.size(), 1));
    AddElementSeries(viscous_element_series_, viscous_extra, QStringLiteral("viscous "),
                     Qt::DotLine);
    for (std::size_t k = 0; k < viscous_extra; ++k) {
      const ExplorerElementLayers& element = v.elements[k / 2 + 1];
      viscous_element_series_[k]->replace(line(k % 2 == 0 ? element.upper : element.lower));
    }
    QList<QPointF> transition, separation;
    for (const ExplorerLayerMark& mark : v.marks) {
      (mark.separation ? separation : transition).append(QPointF(mark.x, mark.cp));
    }
    transition_marks_->replace(transition);
    separation_marks_->replace(separation);
  }
  for (QAbstractSeries* series : std::initializer_list<QAbstractSeries*>{
           viscous_upper_, viscous_lower_, transition_marks_, separation_marks_}) {
    series->setVisible(viscous);
  }
  for (std::size_t k = 0; k < viscous_element_series_.size(); ++k) {
    viscous_element_series_[k]->setVisible(viscous && k + 2 < 2 * frame.viscous->elements.size());
  }

  // The curves of Cp files, made again only when their number changes.
  const std::vector<OverlayCurve> none;
  const std::vector<OverlayCurve>& files = scene.overlays ? *scene.overlays : none;
  std::vector<const OverlayCurve*> pressure_files;
  for (const OverlayCurve& curve : files) {
    if (curve.kind == OverlayKind::kPressure) pressure_files.push_back(&curve);
  }
  if (overlays_.size() != pressure_files.size()) {
    for (QLineSeries* s : overlays_) {
      chart()->removeSeries(s);
      delete s;
    }
    overlays_.clear();
    for (std::size_t k = 0; k < pressure_files.size(); ++k) {
      QLineSeries* s = NewChartLine(QString(), kOverlayColours[k % std::size(kOverlayColours)],
                                    Qt::DashDotLine, 1.5);
      AttachSeries(chart(), s, x_axis_, y_axis_);
      overlays_.push_back(s);
    }
  }
  for (std::size_t k = 0; k < pressure_files.size(); ++k) {
    const OverlayCurve& curve = *pressure_files[k];
    QList<QPointF> list;
    for (std::size_t p = 0; p < curve.x.size(); ++p) {
      list.append(QPointF(curve.x[p], curve.cp[p]));
      x_span.Add(curve.x[p]);
      cp_span.Add(curve.cp[p]);
    }
    overlays_[k]->setName(QString::fromStdString(curve.name));
    overlays_[k]->replace(list);
  }

  // Fitted to what is drawn, a few per cent to spare.
  if (x_span.Empty()) x_span = {0, 1};
  if (cp_span.Empty()) cp_span = {-1, 1};
  x_span.Pad(0.03, 0.01);
  cp_span.Pad(0.05, 0.02);
  SetNiceAxis(x_axis_, x_span.low, x_span.high, 10);
  // Five ticks at most: with the boundary-layer row open the chart is about a hundred
  // pixels high, and eight labels there overlapped and were elided to "...".
  SetNiceAxis(y_axis_, cp_span.low, cp_span.high, 5);

  QString title = QStringLiteral("<b>Pressure coefficient at \u03B1 = %1</b><br>%2")
                      .arg(Degrees(frame.alpha_degrees), Html(ExplorerGeometryLabel(geometry)));
  if (second) {
    title += QStringLiteral("<br>dashed: ") + Html(ExplorerGeometryLabel(*scene.second_geometry));
  }
  chart()->setTitle(title);
  ShortenLegend(extra / 2);
  FitAxisTitle();
  csv_ = ExplorerPressureCsv(geometry, frame);
}

void PressureChart::ShortenLegend(std::size_t further) {
  QLegend* legend = chart()->legend();
  // A series' marker follows its visibility: set again on every frame. (Not compared
  // with isVisible() first: that is false for every marker until the chart is shown.)
  const auto show = [legend](QAbstractSeries* series, const QString& label) {
    for (QLegendMarker* marker : legend->markers(series)) {
      marker->setVisible(series->isVisible() && !label.isEmpty());
      if (!label.isEmpty() && marker->label() != label) marker->setLabel(label);
    }
  };
  show(upper_, QStringLiteral("Upper"));
  show(lower_, QStringLiteral("Lower"));
  show(second_upper_, QStringLiteral("Dashed"));
  show(second_lower_, QString());
  show(viscous_upper_, QStringLiteral("Viscous"));
  show(viscous_lower_, QString());
  // One entry for the further elements' lighter lines.
  const QString elements = further > 1 ? QStringLiteral("Elements 2\u2013%1").arg(further + 1)
                                       : QStringLiteral("Element 2");
  for (std::size_t k = 0; k < element_series_.size(); ++k) {
    show(element_series_[k], k == 0 ? elements : QString());
  }
  for (QLineSeries* series : viscous_element_series_) show(series, QString());
}

void PressureChart::resizeEvent(QResizeEvent* event) {
  QChartView::resizeEvent(event);
  // The chart lays itself out after the event: fit the title to the new plot area then.
  QTimer::singleShot(0, this, &PressureChart::FitAxisTitle);
}

void PressureChart::FitAxisTitle() {
  // The axis title in full where the plot is tall enough to hold it, else the bare "Cp":
  // elided it read "Cp (-Cp upwar...". The reversed ticks say which way is up.
  const QString full = QStringLiteral("Cp  (\u2212Cp upwards)");
  const int needed = QFontMetrics(y_axis_->titleFont()).horizontalAdvance(full) + 12;
  const QString title = chart()->plotArea().height() >= needed ? full : QStringLiteral("Cp");
  if (y_axis_->titleText() != title) y_axis_->setTitleText(title);
}

QList<QPointF> PressureChart::TransitionMarks() const {
  return transition_marks_->isVisible() ? transition_marks_->points() : QList<QPointF>();
}

QList<QPointF> PressureChart::SeparationMarks() const {
  return separation_marks_->isVisible() ? separation_marks_->points() : QList<QPointF>();
}

void PressureChart::ShowNearest(const QPointF& position) {
  double best = std::numeric_limits<double>::infinity();
  QPointF nearest;
  const QLineSeries* nearest_series = nullptr;
  for (const QLineSeries* series : {upper_, lower_}) {
    for (const QPointF& p : series->points()) {
      const QPointF d = chart()->mapToPosition(p, const_cast<QLineSeries*>(series)) - position;
      const double distance = d.x() * d.x() + d.y() * d.y();
      if (distance < best) {
        best = distance;
        nearest = p;
        nearest_series = series;
      }
    }
  }
  if (!nearest_series) {
    hover_->setText(QString());
    return;
  }
  hover_->setText(nearest_series->name() + QStringLiteral(": x = ") + FixedText(nearest.x(), 4) +
                  QStringLiteral(", Cp = ") + FixedText(nearest.y(), 4));
  const QRectF area = chart()->plotArea();
  hover_->setPos(area.right() - hover_->boundingRect().width() - 6, area.top() + 4);
}

QString PressureChart::HoverText() const {
  return hover_->text();
}

void PressureChart::mouseMoveEvent(QMouseEvent* event) {
  ShowNearest(event->position());
  QChartView::mouseMoveEvent(event);
}

void PressureChart::leaveEvent(QEvent* event) {
  hover_->setText(QString());
  QChartView::leaveEvent(event);
}

PolarChart::PolarChart(QWidget* parent) : QChartView(parent) {
  setObjectName(QStringLiteral("View_Polar"));
  FitAxesOnResize(this);
  setContextMenuPolicy(Qt::CustomContextMenu);
  setRenderHint(QPainter::Antialiasing, true);
  setToolTip(QStringLiteral(
      "Lift against the angle of attack, the quarter-chord moment on the right axis;\n"
      "the dot is the current angle. Right click: save as PNG, SVG or CSV."));
  QChart* plot = NewExplorerChart();
  setChart(plot);
  cl_circulation_ = NewChartLine(QStringLiteral("Cl (\u0393)"), kUpperColour);
  cl_pressure_ = NewChartLine(QStringLiteral("Cl (p)"), kLowerColour, Qt::DashLine);
  thin_airfoil_ = NewChartLine(QStringLiteral("2\u03C0(\u03B1 \u2212 \u03B1\u2080)"), Qt::darkGray,
                               Qt::DotLine, 1.5);
  cm_ = NewChartLine(QStringLiteral("Cm (right)"), QColor(20, 140, 60));
  second_cl_ = NewChartLine(QStringLiteral("Dashed: Cl, Cm"), kSecondColour, Qt::DashLine);
  second_cm_ = NewChartLine(QStringLiteral("Dashed: Cm"), QColor(100, 180, 60), Qt::DashLine);
  marker_ = new QScatterSeries;
  marker_->setName(QStringLiteral("\u03B1 now"));
  marker_->setMarkerSize(11);
  marker_->setColor(Qt::black);
  marked_ = new QScatterSeries;
  marked_->setName(QStringLiteral("Swept angles"));
  marked_->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
  marked_->setMarkerSize(7);
  marked_->setColor(kUpperColour);
  alpha_axis_ = NewChartAxis(QStringLiteral("\u03B1 (degrees)"));
  cl_axis_ = NewChartAxis(QStringLiteral("Cl"));
  cm_axis_ = NewChartAxis(QStringLiteral("Cm c/4"));
  plot->addAxis(alpha_axis_, Qt::AlignBottom);
  plot->addAxis(cl_axis_, Qt::AlignLeft);
  plot->addAxis(cm_axis_, Qt::AlignRight);
  for (QAbstractSeries* series : std::initializer_list<QAbstractSeries*>{
           thin_airfoil_, cl_circulation_, cl_pressure_, second_cl_, marked_, marker_}) {
    AttachSeries(plot, series, alpha_axis_, cl_axis_);
  }
  AttachSeries(plot, cm_, alpha_axis_, cm_axis_);
  AttachSeries(plot, second_cm_, alpha_axis_, cm_axis_);
  second_cl_->setVisible(false);
  second_cm_->setVisible(false);
  marked_->setVisible(false);
  // The legend names one entry for each set: the dot and the dashed Cm are said in the
  // title and in the dashed Cl's entry.
  HideFromLegend(plot, marker_);
}

void PolarChart::SetGeometry(const ExplorerGeometry& geometry) {
  ExplorerScene scene;
  scene.geometry = &geometry;
  SetGeometry(scene);
}

void PolarChart::SetGeometry(const ExplorerScene& scene) {
  const ExplorerGeometry& geometry = *scene.geometry;
  const std::vector<PolarPoint>& polar = scene.polar ? *scene.polar : geometry.polar;
  // The thin-airfoil line belongs to a section that lifts through its circulation.
  const bool thin_shown =
      geometry.C && geometry.inputs.circulation && geometry.inputs.body != CircleBody();
  Span alpha_span, cl_span, cm_span;
  cl_span.Add(0);
  cm_span.Add(0);
  QList<QPointF> circulation, pressure, thin, moment;
  for (const PolarPoint& p : polar) {
    alpha_span.Add(p.alpha_degrees);
    circulation.append(QPointF(p.alpha_degrees, p.cl_circulation));
    pressure.append(QPointF(p.alpha_degrees, p.cl_pressure));
    moment.append(QPointF(p.alpha_degrees, p.cm_quarter_chord));
    cl_span.Add(p.cl_circulation);
    cl_span.Add(p.cl_pressure);
    cm_span.Add(p.cm_quarter_chord);
    if (thin_shown) {
      const double thin_cl = 2 * geometry.panels.setup.k.Pi *
                             AlphaRadians(p.alpha_degrees - geometry.zero_lift_alpha_degrees);
      thin.append(QPointF(p.alpha_degrees, thin_cl));
      cl_span.Add(thin_cl);
    }
  }
  cl_circulation_->replace(circulation);
  cl_circulation_->setVisible(geometry.inputs.circulation);
  cl_pressure_->replace(pressure);
  thin_airfoil_->replace(thin);
  thin_airfoil_->setVisible(thin_shown);
  cm_->replace(moment);

  const bool second = scene.second_geometry != nullptr;
  if (second) {
    const ExplorerGeometry& g2 = *scene.second_geometry;
    QList<QPointF> cl2, cm2;
    for (const PolarPoint& p : g2.polar) {
      if (!alpha_span.Empty() &&
          (p.alpha_degrees < alpha_span.low || p.alpha_degrees > alpha_span.high))
        continue;
      const double cl = g2.inputs.circulation ? p.cl_circulation : p.cl_pressure;
      cl2.append(QPointF(p.alpha_degrees, cl));
      cm2.append(QPointF(p.alpha_degrees, p.cm_quarter_chord));
      cl_span.Add(cl);
      cm_span.Add(p.cm_quarter_chord);
    }
    second_cl_->replace(cl2);
    second_cm_->replace(cm2);
  }
  second_cl_->setVisible(second);
  second_cm_->setVisible(second);
  HideFromLegend(chart(), second_cm_);

  RemoveSeries(chart(), overlays_);
  if (scene.overlays) {
    std::size_t colour = 0;
    for (const OverlayCurve& curve : *scene.overlays) {
      if (curve.kind != OverlayKind::kPolar) continue;
      const QColor c = kOverlayColours[colour++ % std::size(kOverlayColours)];
      const QString name = QString::fromStdString(curve.name);
      auto* line = NewChartLine(
          name + (curve.cm.empty() ? QStringLiteral(" Cl") : QStringLiteral(" Cl, Cm")), c,
          Qt::DashDotLine, 1.5);
      auto* points = new QScatterSeries;
      points->setMarkerSize(7);
      points->setColor(c);
      points->setBorderColor(c);
      for (std::size_t k = 0; k < curve.alpha.size(); ++k) {
        line->append(curve.alpha[k], curve.cl[k]);
        points->append(curve.alpha[k], curve.cl[k]);
        cl_span.Add(curve.cl[k]);
      }
      AttachSeries(chart(), line, alpha_axis_, cl_axis_);
      AttachSeries(chart(), points, alpha_axis_, cl_axis_);
      overlays_.push_back(line);
      overlays_.push_back(points);
      if (!curve.cm.empty()) {
        auto* moment_line = NewChartLine(name + QStringLiteral(" Cm"), c, Qt::DotLine, 1.5);
        for (std::size_t k = 0; k < curve.alpha.size(); ++k) {
          moment_line->append(curve.alpha[k], curve.cm[k]);
          cm_span.Add(curve.cm[k]);
        }
        AttachSeries(chart(), moment_line, alpha_axis_, cm_axis_);
        overlays_.push_back(moment_line);
        HideFromLegend(chart(), moment_line);
      }
      HideFromLegend(chart(), points);
    }
  }

  QList<QPointF> marks;
  for (const PolarPoint& p : scene.marked) {
    marks.append(
        QPointF(p.alpha_degrees, geometry.inputs.circulation ? p.cl_circulation : p.cl_pressure));
  }
  marked_->replace(marks);
  marked_->setVisible(!marks.isEmpty());

  if (alpha_span.Empty()) alpha_span = {kExplorerAlphaMin, kExplorerAlphaMax};
  SetNiceAxis(alpha_axis_, alpha_span.low, alpha_span.high, 8);
  cl_span.Pad(0.05, 0.05);
  SetNiceAxis(cl_axis_, cl_span.low, cl_span.high, 8);
  // Cm about zero, so that the two axes share their zero when Cl's range holds it.
  const double cm_reach = std::max({std::fabs(cm_span.low), std::fabs(cm_span.high), 0.01});
  SetNiceAxis(cm_axis_, -1.1 * cm_reach, 1.1 * cm_reach, 8);

  title_ = QStringLiteral("<b>Lift and moment against the angle of attack</b><br>") +
           Html(ExplorerGeometryLabel(geometry));
  if (!scene.marked.empty()) {
    const auto [first, last] = std::minmax_element(
        scene.marked.begin(), scene.marked.end(),
        [](const PolarPoint& a, const PolarPoint& b) { return a.alpha_degrees < b.alpha_degrees; });
    // A line of its own: after the inputs it was cut off in the picture's title.
    title_ += QStringLiteral("<br>swept \u03B1 = %1 to %2 (%3 angles)")
                  .arg(Degrees(first->alpha_degrees), Degrees(last->alpha_degrees))
                  .arg(scene.marked.size());
  }
  if (second) {
    title_ += QStringLiteral("<br>dashed: ") + Html(ExplorerGeometryLabel(*scene.second_geometry));
  }
  chart()->setTitle(title_);
  csv_ = ExplorerPolarCsv(geometry, polar);
}

void PolarChart::SetFrame(const ExplorerGeometry& geometry, const ExplorerFrame& frame) {
  ExplorerScene scene;
  scene.geometry = &geometry;
  scene.frame = &frame;
  SetFrame(scene);
}

void PolarChart::SetFrame(const ExplorerScene& scene) {
  const ExplorerGeometry& geometry = *scene.geometry;
  const ExplorerFrame& frame = *scene.frame;
  // Without circulation the pressure is all that lifts (by rounding only).
  const double cl =
      geometry.inputs.circulation ? frame.results.cl_circulation : frame.results.cl_pressure;
  marker_->replace(QList<QPointF>{QPointF(frame.alpha_degrees, cl)});
  if (!title_.isEmpty()) {
    chart()->setTitle(title_ + QStringLiteral("<br>dot: \u03B1 = ") + Degrees(frame.alpha_degrees));
  }
}

QPointF PolarChart::Marker() const {
  return marker_->points().isEmpty() ? QPointF() : marker_->points().front();
}

bool PolarChart::ThinAirfoilShown() const {
  return thin_airfoil_->isVisible();
}

int PolarChart::MarkedCount() const {
  return marked_->isVisible() ? static_cast<int>(marked_->count()) : 0;
}

}  // namespace velquin
