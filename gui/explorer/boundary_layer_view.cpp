#include "gui/explorer/boundary_layer_view.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/viscous_text.h"
#include "gui/explorer/explorer_charts.h"
#include "gui/explorer/explorer_text.h"

namespace velquin {
namespace {

const QColor kUpperColour(200, 30, 30);
const QColor kLowerColour(30, 80, 200);

const char* const kAxisTitles[] = {"H", "Cf", "N", "\u03B4*/c"};

const std::vector<double>& Values(const ExplorerLayerSide& side, int quantity) {
  switch (quantity) {
    case BoundaryLayerView::kShape:
      return side.h;
    case BoundaryLayerView::kFriction:
      return side.cf;
    case BoundaryLayerView::kAmplification:
      return side.n;
    default:
      return side.dstar;
  }
}

}  // namespace

BoundaryLayerView::BoundaryLayerView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("View_BoundaryLayer"));
  setContextMenuPolicy(Qt::CustomContextMenu);
  setMinimumSize(320, 200);
  setToolTip(QStringLiteral(
      "The boundary layers against x/c: shape factor, skin friction, amplification (dotted:\n"
      "Ncrit) and displacement thickness; upper surface red, lower blue. Right click: save."));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  title_ = new QLabel(this);
  title_->setObjectName(QStringLiteral("Label_BoundaryLayer"));
  title_->setWordWrap(true);
  title_->setAlignment(Qt::AlignCenter);
  element_box_ = new QComboBox(this);
  element_box_->setObjectName(QStringLiteral("Combo_BoundaryLayerElement"));
  element_box_->setToolTip(QStringLiteral("The element whose boundary layers are shown"));
  element_box_->setVisible(false);
  auto* heading = new QHBoxLayout;
  heading->addWidget(title_, 1);
  heading->addWidget(element_box_);
  column->addLayout(heading);
  connect(element_box_, &QComboBox::currentIndexChanged, this, [this] {
    if (layers_) Draw();
  });
  auto* grid = new QGridLayout;
  grid->setSpacing(0);
  column->addLayout(grid, 1);
  for (int q = 0; q < kQuantities; ++q) {
    Plot& plot = plots_[static_cast<std::size_t>(q)];
    QChart* chart = NewExplorerChart();
    chart->legend()->hide();
    chart->setMargins(QMargins(0, 0, 2, 0));
    plot.upper = NewChartLine(QStringLiteral("Upper"), kUpperColour, Qt::SolidLine, 1.5);
    plot.lower = NewChartLine(QStringLiteral("Lower"), kLowerColour, Qt::SolidLine, 1.5);
    plot.x_axis = NewChartAxis(QString());
    plot.y_axis = NewChartAxis(QString::fromUtf8(kAxisTitles[q]));
    QFont small = plot.x_axis->labelsFont();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    plot.x_axis->setLabelsFont(small);
    plot.y_axis->setLabelsFont(small);
    plot.x_axis->setTitleFont(small);
    plot.y_axis->setTitleFont(small);
    chart->addAxis(plot.x_axis, Qt::AlignBottom);
    chart->addAxis(plot.y_axis, Qt::AlignLeft);
    AttachSeries(chart, plot.upper, plot.x_axis, plot.y_axis);
    AttachSeries(chart, plot.lower, plot.x_axis, plot.y_axis);
    if (q == kAmplification) {
      ncrit_line_ = NewChartLine(QStringLiteral("Ncrit"), Qt::darkGray, Qt::DotLine, 1.2);
      AttachSeries(chart, ncrit_line_, plot.x_axis, plot.y_axis);
    }
    SetNiceAxis(plot.x_axis, 0, 1, 5);
    plot.view = new QChartView(chart, this);
    plot.view->setObjectName(QStringLiteral("Chart_BoundaryLayer%1").arg(q));
    plot.view->setRenderHint(QPainter::Antialiasing, true);
    FitAxesOnResize(plot.view);
    plot.view->setContextMenuPolicy(Qt::NoContextMenu);  // the view's menu, not the chart's
    plot.view->setAttribute(Qt::WA_TransparentForMouseEvents);
    grid->addWidget(plot.view, q / 2, q % 2);
  }
}

void BoundaryLayerView::SetFrame(const ExplorerScene& scene) {
  const ExplorerFrame& frame = *scene.frame;
  layers_ = frame.viscous;
  alpha_degrees_ = frame.alpha_degrees;
  if (!frame.viscous) {
    for (Plot& plot : plots_) {
      plot.upper->clear();
      plot.lower->clear();
    }
    ncrit_line_->clear();
    title_->setText(scene.viscous
                        ? QStringLiteral("Computing the boundary layers at \u03B1 = %1\u00B0\u2026")
                              .arg(FixedText(frame.alpha_degrees, 1))
                        : QStringLiteral("No boundary layer: the flow is inviscid."));
    csv_.clear();
    return;
  }
  // The list names every element; a choice is kept while the count stays.
  const int count = static_cast<int>(frame.viscous->elements.size());
  if (element_box_->count() != count) {
    const QSignalBlocker blocker(element_box_);
    element_box_->clear();
    for (int e = 1; e <= count; ++e) element_box_->addItem(QStringLiteral("Element %1").arg(e));
    element_box_->setCurrentIndex(0);
  }
  element_box_->setVisible(count > 1);
  Draw();
}

void BoundaryLayerView::Draw() {
  const ExplorerViscousFrame& v = *layers_;
  const int chosen = std::max(element_box_->currentIndex(), 0);
  const ExplorerElementLayers none;
  const ExplorerElementLayers& element =
      chosen < static_cast<int>(v.elements.size()) ? v.elements[chosen] : none;
  const double ncrit = v.options.ncrit;
  double x_low = 1e300, x_high = -1e300;
  for (int q = 0; q < kQuantities; ++q) {
    Plot& plot = plots_[static_cast<std::size_t>(q)];
    double low = q == kShape ? 1.0 : 0.0, high = q == kAmplification ? 1.1 * ncrit : low;
    const auto points = [&](const ExplorerLayerSide& side) {
      const std::vector<double>& y = Values(side, q);
      QList<QPointF> list;
      list.reserve(static_cast<int>(y.size()));
      for (std::size_t k = 0; k < y.size(); ++k) {
        list.append(QPointF(side.x[k], y[k]));
        x_low = std::min(x_low, side.x[k]);
        x_high = std::max(x_high, side.x[k]);
        if (std::isfinite(y[k])) {
          low = std::min(low, y[k]);
          high = std::max(high, y[k]);
        }
      }
      return list;
    };
    plot.upper->replace(points(element.upper));
    plot.lower->replace(points(element.lower));
    // Within the range the closures give (a layer that has left it, beyond stall, is
    // cut off rather than squeezing the attached part flat).
    const double most[] = {8.0, 0.05, 3 * ncrit, 0.2};
    low = std::max(low, q == kFriction ? -0.01 : low);
    high = std::min(high, most[q]);
    // The axis is labelled again only when the layer leaves it or fills less than half
    // of it: relabelling lays the chart out anew, which costs more than drawing it, and
    // the scale holds still while the angle moves a little.
    high += 0.05 * (high - low);
    const bool fits =
        low >= plot.low && high <= plot.high && high - low >= 0.5 * (plot.high - plot.low);
    if (!fits) {
      plot.low = low;
      plot.high = high;
      SetNiceAxis(plot.y_axis, low, high, 3);
    }
  }
  // A single section against 0 to 1; an element of several over its own span, widened
  // to twentieths of the chord so that the axis holds still while the angle moves.
  if (v.elements.size() > 1 && x_high > x_low) {
    x_low = std::floor(20 * x_low) / 20;
    x_high = std::ceil(20 * x_high) / 20;
  } else {
    x_low = 0;
    x_high = 1;
  }
  if (x_range_ != std::make_pair(x_low, x_high)) {
    x_range_ = {x_low, x_high};
    for (Plot& plot : plots_) SetNiceAxis(plot.x_axis, x_low, x_high, 5);
  }
  ncrit_line_->replace(QList<QPointF>{QPointF(x_low, ncrit), QPointF(x_high, ncrit)});
  QString title =
      QStringLiteral("<b>Boundary layers at \u03B1 = %1\u00B0</b>, upper red, lower blue")
          .arg(FixedText(alpha_degrees_, 1));
  title += QStringLiteral(", ") + QString::fromStdString(ExplorerConditionsLabel(v.options));
  if (!v.result.converged)
    title += QStringLiteral(" <span style='color:#b00000'>(not converged)</span>");
  title_->setText(title);
  csv_ = BoundaryLayerTable(v.result);
}

int BoundaryLayerView::PointCount(Quantity quantity, bool upper) const {
  const Plot& plot = plots_[static_cast<std::size_t>(quantity)];
  return static_cast<int>((upper ? plot.upper : plot.lower)->count());
}

bool BoundaryLayerView::AllFinite() const {
  for (const Plot& plot : plots_) {
    for (const QLineSeries* series : {plot.upper, plot.lower}) {
      for (const QPointF& p : series->points()) {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y())) return false;
      }
    }
  }
  return true;
}

}  // namespace velquin
