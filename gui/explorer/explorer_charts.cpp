#include "gui/explorer/explorer_charts.h"

#include <QGraphicsSimpleTextItem>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPen>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

namespace velquin {
namespace {

// Numbers in the charts' texts: a point as the separator, a true minus sign.
QString Number(double value, int decimals) {
  return QString::number(value, 'f', decimals).replace(QLatin1Char('-'), QChar(0x2212));
}

QLineSeries* NewLine(const QString& name, const QColor& colour, Qt::PenStyle style = Qt::SolidLine,
                     double width = 2) {
  auto* series = new QLineSeries;
  series->setName(name);
  QPen pen(colour, width, style);
  pen.setCosmetic(true);  // a fixed width in pixels: drawn without the general stroker
  series->setPen(pen);
  return series;
}

QValueAxis* NewAxis(const QString& title) {
  auto* axis = new QValueAxis;
  axis->setTitleText(title);
  return axis;
}

// A range that starts and ends on ticks 1, 2 or 5 times a power of ten apart, about
// `ticks` of them, labelled with as many decimals as the step needs: every label is
// the exact value of its tick.
void SetNiceRange(QValueAxis* axis, double low, double high, int ticks) {
  const double raw = (high - low) / ticks;
  const double power = std::pow(10, std::floor(std::log10(raw)));
  double step = 10 * power;
  for (double factor : {1.0, 2.0, 5.0}) {
    if (raw <= factor * power) {
      step = factor * power;
      break;
    }
  }
  axis->setTickType(QValueAxis::TicksDynamic);
  axis->setTickAnchor(0);
  axis->setTickInterval(step);
  axis->setRange(std::floor(low / step + 1e-9) * step, std::ceil(high / step - 1e-9) * step);
  const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
  axis->setLabelFormat(QStringLiteral("%.") + QString::number(decimals) + QStringLiteral("f"));
}

void Attach(QChart* chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y) {
  chart->addSeries(series);
  series->attachAxis(x);
  series->attachAxis(y);
}

QChart* NewChart(const QString& title) {
  auto* chart = new QChart;
  chart->setTitle(title);
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->setMargins(QMargins(4, 4, 4, 4));
  return chart;
}

}  // namespace

PressureChart::PressureChart(QWidget* parent) : QChartView(parent) {
  setObjectName(QStringLiteral("View_Pressure"));
  setContextMenuPolicy(Qt::CustomContextMenu);
  setRenderHint(QPainter::Antialiasing, true);
  setMouseTracking(true);
  QChart* plot = NewChart(QStringLiteral("Pressure coefficient along the surface"));
  setChart(plot);
  upper_ = NewLine(QStringLiteral("Upper surface"), QColor(200, 30, 30));
  lower_ = NewLine(QStringLiteral("Lower surface"), QColor(30, 80, 200));
  exact_ = NewLine(QStringLiteral("Exact"), Qt::black, Qt::DashLine, 1.2);
  x_axis_ = NewAxis(QStringLiteral("x/c"));
  y_axis_ = NewAxis(QStringLiteral("Cp  (\u2212Cp upwards)"));
  y_axis_->setReverse(true);
  plot->addAxis(x_axis_, Qt::AlignBottom);
  plot->addAxis(y_axis_, Qt::AlignLeft);
  for (QLineSeries* series : {upper_, lower_, exact_}) Attach(plot, series, x_axis_, y_axis_);
  hover_ = new QGraphicsSimpleTextItem(plot);
  hover_->setZValue(10);
}

void PressureChart::SetFrame(const ExplorerGeometry& geometry, const ExplorerFrame& frame) {
  const Module_Common& C = *geometry.C;
  double lowest = -1;
  const auto points = [&](const std::vector<int>& panels, const std::vector<double>& cp) {
    QList<QPointF> list;
    list.reserve(static_cast<int>(panels.size()));
    for (int i : panels) {
      list.append(QPointF(C.Xc(i), cp[i - 1]));
      lowest = std::min(lowest, cp[i - 1]);
    }
    return list;
  };
  upper_->replace(points(geometry.upper, frame.Cp));
  lower_->replace(points(geometry.lower, frame.Cp));
  if (frame.exact_cp.size() == frame.Cp.size()) {
    // Around the contour: the upper surface from the trailing edge, then the lower.
    std::vector<int> around(geometry.upper.rbegin(), geometry.upper.rend());
    around.insert(around.end(), geometry.lower.begin(), geometry.lower.end());
    exact_->replace(points(around, frame.exact_cp));
  } else {
    exact_->clear();
  }
  exact_->setVisible(!frame.exact_cp.empty());
  const auto [x0, x1] = std::minmax_element(geometry.contour.x.begin(), geometry.contour.x.end());
  const double pad = 0.05 * (*x1 - *x0);
  SetNiceRange(x_axis_, *x0 - pad, *x1 + pad, 10);
  // Whole ticks, so that the scale moves in steps while the angle changes.
  SetNiceRange(y_axis_, lowest, 1.2, 8);
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
  hover_->setText(nearest_series->name() + QStringLiteral(": x = ") + Number(nearest.x(), 4) +
                  QStringLiteral(", Cp = ") + Number(nearest.y(), 4));
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
  setContextMenuPolicy(Qt::CustomContextMenu);
  setRenderHint(QPainter::Antialiasing, true);
  QChart* plot = NewChart(QStringLiteral("Lift and moment against the angle of attack"));
  setChart(plot);
  cl_circulation_ = NewLine(QStringLiteral("Cl circulation"), QColor(200, 30, 30));
  cl_pressure_ = NewLine(QStringLiteral("Cl pressure"), QColor(30, 80, 200), Qt::DashLine);
  thin_airfoil_ = NewLine(QStringLiteral("2\u03C0(\u03B1 \u2212 \u03B1\u2080)"), Qt::darkGray,
                          Qt::DotLine, 1.5);
  cm_ = NewLine(QStringLiteral("Cm c/4 (right)"), QColor(20, 140, 60));
  marker_ = new QScatterSeries;
  marker_->setName(QStringLiteral("Now"));
  marker_->setMarkerSize(11);
  marker_->setColor(Qt::black);
  auto* alpha_axis = NewAxis(QStringLiteral("\u03B1 (degrees)"));
  SetNiceRange(alpha_axis, kExplorerAlphaMin, kExplorerAlphaMax, 8);
  cl_axis_ = NewAxis(QStringLiteral("Cl"));
  cm_axis_ = NewAxis(QStringLiteral("Cm c/4"));
  plot->addAxis(alpha_axis, Qt::AlignBottom);
  plot->addAxis(cl_axis_, Qt::AlignLeft);
  plot->addAxis(cm_axis_, Qt::AlignRight);
  for (QAbstractSeries* series : std::initializer_list<QAbstractSeries*>{
           thin_airfoil_, cl_circulation_, cl_pressure_, marker_}) {
    Attach(plot, series, alpha_axis, cl_axis_);
  }
  Attach(plot, cm_, alpha_axis, cm_axis_);
}

void PolarChart::SetGeometry(const ExplorerGeometry& geometry) {
  QList<QPointF> circulation, pressure, thin, moment;
  double cl_low = -0.5, cl_high = 0.5, cm_low = -0.05, cm_high = 0.05;
  for (const PolarPoint& p : geometry.polar) {
    circulation.append(QPointF(p.alpha_degrees, p.cl_circulation));
    pressure.append(QPointF(p.alpha_degrees, p.cl_pressure));
    const double thin_cl =
        2 * geometry.C->Pi * AlphaRadians(p.alpha_degrees - geometry.zero_lift_alpha_degrees);
    thin.append(QPointF(p.alpha_degrees, thin_cl));
    moment.append(QPointF(p.alpha_degrees, p.cm_quarter_chord));
    for (double cl : {p.cl_circulation, p.cl_pressure, thin_cl}) {
      cl_low = std::min(cl_low, cl);
      cl_high = std::max(cl_high, cl);
    }
    cm_low = std::min(cm_low, p.cm_quarter_chord);
    cm_high = std::max(cm_high, p.cm_quarter_chord);
  }
  cl_circulation_->replace(circulation);
  cl_pressure_->replace(pressure);
  thin_airfoil_->replace(thin);
  cm_->replace(moment);
  SetNiceRange(cl_axis_, cl_low, cl_high, 8);
  const double cm_span = std::max(std::fabs(cm_low), std::fabs(cm_high));
  SetNiceRange(cm_axis_, -cm_span, cm_span, 8);
}

void PolarChart::SetFrame(const ExplorerGeometry& geometry, const ExplorerFrame& frame) {
  // Without circulation the pressure is all that lifts (by rounding only).
  const double cl =
      geometry.inputs.circulation ? frame.results.cl_circulation : frame.results.cl_pressure;
  marker_->replace(QList<QPointF>{QPointF(frame.alpha_degrees, cl)});
}

QPointF PolarChart::Marker() const {
  return marker_->points().isEmpty() ? QPointF() : marker_->points().front();
}

}  // namespace velquin
